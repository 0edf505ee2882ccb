#include "document/tree_clipboard.h"

#include <cstring>

#include "common/byte_block.h"
#include "common/check_mark.h"
#include "common/icon_suffix.h"
#include "document/item_batch.h"
#include "document/line_scan.h"
#include "document/model.h"
#include "document/safe_text.h"
#include "document/storage.h"
#include "document/tree_builder.h"

namespace brenvale {

namespace {

// Appends text with each of its line breaks replaced by one space.
void AppendClipboardSafe(std::string& out, std::string_view text) {
    if (text.find_first_of("\r\n") == std::string_view::npos) {
        out += text;
    } else {
        out += ClipboardSafeText(text);
    }
}

}  // namespace

std::string BuildTreeClipboardText(const Topic& topic) {
    std::string out;
    std::string tabs;
    ForEachInSubtree(topic, [&](const Topic& t, int depth) {
        tabs.assign(static_cast<size_t>(depth), '\t');
        out += tabs;
        AppendClipboardSafe(out, t.caption);
        out += FormatIconSuffix(t.icon);
        out += "\r\n";
        for (size_t i = 0; i < t.items.size(); ++i) {
            ItemView item = t.items[i];
            out += tabs;
            out += '\x08';
            out += CheckMarkText(item.checked());
            AppendClipboardSafe(out, item.text());
            out += "\r\n";
        }
    });
    return out;
}

std::vector<std::string_view> SplitClipboardLines(std::string_view text) {
    std::vector<std::string_view> lines;
    ForEachClipboardLine(text, [&](std::string_view line) { lines.push_back(line); });
    return lines;
}

PasteResult PasteTreeText(Document& doc, Topic* current, std::string_view text, int imageCount) {
    ByteBlock block(text.size() + 1);
    if (!text.empty()) {
        std::memcpy(block.data(), text.data(), text.size());
    }
    return PasteTreeBlock(doc, current, std::move(block), text.size(), imageCount);
}

namespace {

PasteResult PasteLines(Document& doc, Topic* current, ByteBlock block, size_t size,
                       int imageCount) {
    PasteResult result;
    TextStore& texts = doc.texts();
    // The pasted bytes become a block of the Document (a Document too full for them refuses
    // here, before anything changes): Items are used where they lie, each line's end turned
    // into the CR a stored form ends at.
    char* bytes = block.data();
    bytes[size] = '\r';
    TextRef base = texts.adopt(std::move(block), size + 1);

    TreeBuilder tree(doc, current);
    ItemBatch batch(doc.storage().arena);
    size_t previousDepth = 0;
    auto line = [&](size_t begin, size_t end) {
        std::string_view whole(bytes + begin, end - begin);
        size_t depth = 0;
        while (depth < whole.size() && whole[depth] == '\t') {
            ++depth;
        }
        std::string_view rest = whole.substr(depth);
        if (!rest.empty() && rest.front() == '\x08') {
            if (current) {
                std::string_view stored = rest.substr(1);
                if (MarkCutsReference(stored)) {
                    batch.add(current, texts.add(FileSafeStored(AllTextUnchecked(stored))));
                } else {
                    batch.add(current, IsFileSafeStored(stored)
                                           ? TextStore::Offset(base, begin + depth + 1)
                                           : texts.add(FileSafeStored(stored)));
                }
            }
            return;
        }
        std::string_view safe = rest;
        if (!IsFileSafeCaption(rest)) {
            safe = texts.keep(FileSafeCaption(rest));
        }
        Topic* parent = nullptr;
        if (depth > 0 && depth > previousDepth) {
            parent = current;
        } else if (depth > 0) {
            for (size_t up = previousDepth - depth; up > 0 && current && current->parent(); --up) {
                current = current->parent();
            }
            parent = current ? current->parent() : nullptr;
        }
        Topic* added = &tree.add(parent, StripIconSuffix(safe), ResolveIcon(0, safe, imageCount));
        if (depth == 0) {
            result.lastTopLevel = added;
        }
        result.created.push_back(added);
        current = added;
        previousDepth = depth;
    };
    size_t begin = 0;
    size_t skip = std::string_view::npos;  // the LF of a CR LF
    ForEachByteOf(bytes, size, '\r', '\n', [&](size_t at) {
        if (at == skip) {
            begin = at + 1;
            return true;
        }
        if (bytes[at] == '\r' && at + 1 < size && bytes[at + 1] == '\n') {
            skip = at + 1;
        }
        line(begin, at);
        bytes[at] = '\r';
        begin = at + 1;
        return true;
    });
    if (begin < size) {
        line(begin, size);
    }
    batch.flush();
    tree.finish();
    result.current = current;
    return result;
}

}  // namespace

PasteResult PasteTreeBlock(Document& doc, Topic* current, ByteBlock block, size_t size,
                           int imageCount) {
    size_t itemsBefore = current ? current->items.size() : 0;
    try {
        return PasteLines(doc, current, std::move(block), size, imageCount);
    } catch (...) {
        // A paste that stops halfway (memory ran out) leaves the tree as it was: its Topics
        // were never linked in, and the Items it gave the current Topic go again.
        while (current && current->items.size() > itemsBefore) {
            current->items.erase(current->items.size() - 1);
        }
        throw;
    }
}

size_t ClipboardTopicLines(std::string_view text) {
    size_t lines = 0;
    size_t at = 0;
    while (at < text.size()) {
        size_t start = text.find_first_not_of('\t', at);
        lines += start == std::string_view::npos || text[start] != '\x08';
        size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) {
            break;
        }
        at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

}  // namespace brenvale
