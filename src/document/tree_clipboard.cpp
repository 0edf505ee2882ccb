#include "document/tree_clipboard.h"

#include "common/check_mark.h"
#include "common/icon_suffix.h"
#include "document/item_batch.h"
#include "document/model.h"
#include "document/safe_text.h"

namespace brenvale {

std::string BuildTreeClipboardText(const Topic& topic) {
    std::string out;
    std::string tabs;
    ForEachInSubtree(topic, [&](const Topic& t, int depth) {
        tabs.assign(static_cast<size_t>(depth), '\t');
        out += tabs;
        out += ClipboardSafeText(t.caption);
        out += FormatIconSuffix(t.icon);
        out += "\r\n";
        for (size_t i = 0; i < t.items.size(); ++i) {
            const Item& item = t.items[i];
            out += tabs;
            out += '\x08';
            out += CheckMarkText(item.checked());
            out += ClipboardSafeText(item.text());
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
    PasteResult result;
    ItemBatch batch;
    size_t previousDepth = 0;
    ForEachClipboardLine(text, [&](std::string_view line) {
        size_t depth = 0;
        while (depth < line.size() && line[depth] == '\t') {
            ++depth;
        }
        std::string_view rest = line.substr(depth);
        if (!rest.empty() && rest.front() == '\x08') {
            if (current) {
                Item item = Item::FromStored(rest.substr(1));
                batch.add(current, IsFileSafeItem(item) ? std::move(item) : FileSafeItem(item));
            }
            return;
        }
        Topic* added = nullptr;
        std::string repaired;
        std::string_view safe = rest;
        if (!IsFileSafeCaption(rest)) {
            repaired = FileSafeCaption(rest);
            safe = repaired;
        }
        if (depth == 0) {
            added = &AddTopic(doc, nullptr, safe, 0, imageCount);
            result.lastTopLevel = added;
        } else if (depth > previousDepth) {
            added = &AddChildTopic(doc, current, safe, 0, imageCount);
        } else {
            for (size_t up = previousDepth - depth; up > 0 && current && current->parent(); --up) {
                current = current->parent();
            }
            added = &AddTopic(doc, current, safe, 0, imageCount);
        }
        result.created.push_back(added);
        current = added;
        previousDepth = depth;
    });
    batch.flush();
    result.current = current;
    return result;
}

}  // namespace brenvale
