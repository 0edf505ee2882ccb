#pragma once

#include <cstring>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/check_mark.h"
#include "document/item_kind.h"

namespace brenvale {

// An Item's stored form is its two mark bytes followed by its text, exactly as a document
// file carries them. A stored form shorter than two bytes is all mark.
inline std::string_view StoredMark(std::string_view stored) {
    return stored.substr(0, stored.size() < 2 ? stored.size() : 2);
}
inline std::string_view StoredText(std::string_view stored) {
    return stored.substr(stored.size() < 2 ? stored.size() : 2);
}

// One check list entry on its own, outside any Document: what is handed to an ItemList to
// add. Inside a list, Items are read through ItemView.
class Item {
public:
    Item() = default;
    Item(std::string_view mark, std::string_view text);
    static Item FromStored(std::string_view stored);
    static Item Unchecked(std::string_view text) { return Item(kUncheckedMark, text); }

    std::string_view mark() const { return StoredMark(stored_); }
    std::string_view text() const { return StoredText(stored_); }
    const std::string& stored() const { return stored_; }
    bool checked() const { return IsCheckedMark(mark()); }

    // Both give the Item a program-written mark ("■" or "□") when its mark is shorter.
    void setText(std::string_view text);
    void setChecked(bool checked);

    bool operator==(const Item&) const = default;

private:
    std::string stored_;
};

// The CR that ends the stored form at p, which lies before limit. Stored forms are short,
// so a look at 16 bytes at a time beats a call to memchr.
inline const char* FindStoredEnd(const char* p, const char* limit) {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    for (; limit - p >= 16; p += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        if (int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(v, cr))) {
            return p + __builtin_ctz(static_cast<unsigned>(mask));
        }
    }
#endif
    return static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(limit - p)));
}

// An Item in a list, read where its Document keeps it: the stored form ends at the first CR
// (which no stored form holds) before limit.
class ItemView {
public:
    ItemView(const char* stored, const char* limit) : p_(stored), limit_(limit) {}

    std::string_view stored() const {
        return std::string_view(p_, static_cast<size_t>(FindStoredEnd(p_, limit_) - p_));
    }
    std::string_view mark() const { return StoredMark(stored()); }
    std::string_view text() const { return StoredText(stored()); }
    // Read from the first two bytes alone: the CR after a shorter form never matches.
    bool checked() const { return p_[0] == kCheckedMark[0] && p_[1] == kCheckedMark[1]; }
    // KindOf(text()), read from the first bytes without finding the end.
    ItemKind kind(const ListKindOptions& options) const;

private:
    const char* p_;
    const char* limit_;
};

}  // namespace brenvale
