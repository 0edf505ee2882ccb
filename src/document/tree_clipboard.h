#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_block.h"
#include "document/document.h"

namespace brenvale {

// The tree clipboard text of a Topic and its subtree: a line per Topic (TABs by depth below
// the copied Topic, caption, icon suffix) followed by a line per Item (the same TABs, BS,
// "■" or "□", text), each ended by CR LF.
std::string BuildTreeClipboardText(const Topic& topic);

// Splits a text into lines at CR LF, lone CR and lone LF; a break at the very end adds no line.
std::vector<std::string_view> SplitClipboardLines(std::string_view text);

// Lines of a tree clipboard text that make Topics (every line but the Item lines), so that
// room for their rows can be taken before a paste.
size_t ClipboardTopicLines(std::string_view text);

template <typename Fn>
void ForEachClipboardLine(std::string_view text, Fn&& fn) {
    // The next CR and the next LF are each searched once, so a text without one of them is
    // not scanned again for every line.
    const char* p = text.data();
    const char* end = p + text.size();
    auto find = [&](char c, const char* from) {
        const void* hit = std::memchr(from, c, static_cast<size_t>(end - from));
        return hit ? static_cast<const char*>(hit) : end;
    };
    const char* nextCr = find('\r', p);
    const char* nextLf = find('\n', p);
    while (p < end) {
        if (nextCr < p) {
            nextCr = find('\r', p);
        }
        if (nextLf < p) {
            nextLf = find('\n', p);
        }
        const char* brk = std::min(nextCr, nextLf);
        fn(std::string_view(p, static_cast<size_t>(brk - p)));
        if (brk == end) {
            break;
        }
        p = brk + ((*brk == '\r' && brk + 1 < end && brk[1] == '\n') ? 2 : 1);
    }
}

struct PasteResult {
    std::vector<Topic*> created;    // in the order they were made
    Topic* current = nullptr;       // the Topic selected when the last line was read
    Topic* lastTopLevel = nullptr;  // the last Topic made from a line without TAB
};

// Pastes a text into doc: lines without a leading TAB become top-level Topics, indented
// lines children or siblings of the current Topic (which starts as `current`), Item lines
// Items of the current Topic. Texts are made safe for the document file as they enter.
PasteResult PasteTreeText(Document& doc, Topic* current, std::string_view text, int imageCount);
// The same for the first size bytes of block (which has room for one more), which the
// Document then keeps: nothing is copied.
PasteResult PasteTreeBlock(Document& doc, Topic* current, ByteBlock block, size_t size,
                           int imageCount);

}  // namespace brenvale
