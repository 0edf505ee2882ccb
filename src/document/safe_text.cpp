#include "document/safe_text.h"

#include <cstring>

#include "common/check_mark.h"
#include "common/cp932.h"

namespace brenvale {

namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kEof = '\x1A';

bool HasUnsafeByte(std::string_view text) {
    return std::memchr(text.data(), kCr, text.size()) ||
           std::memchr(text.data(), kEof, text.size());
}

bool HasUnsafeStart(std::string_view caption, int level) {
    return !caption.empty() &&
           ((caption[0] == '\x07' && level == 0) || caption[0] == '\x08' || caption[0] == '\t');
}

}  // namespace

bool IsFileSafeCaption(std::string_view caption, int level) {
    return !HasUnsafeStart(caption, level) && !HasUnsafeByte(caption);
}

bool IsFileSafeText(std::string_view text) {
    return !HasUnsafeByte(text);
}

bool IsFileSafeItem(const Item& item) {
    return IsFileSafeStored(item.stored());
}

bool IsFileSafeStored(std::string_view stored) {
    return !HasUnsafeByte(stored);
}

std::string FileSafeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == kEof) {
            continue;
        }
        if (c == kCr) {
            out += kLf;
            if (i + 1 < text.size() && text[i + 1] == kLf) {
                ++i;
            }
            continue;
        }
        out += c;
    }
    return out;
}

std::string FileSafeCaption(std::string_view caption, int level) {
    std::string out = FileSafeText(caption);
    size_t start = 0;
    while (start < out.size() && HasUnsafeStart(std::string_view(out).substr(start), level)) {
        ++start;
    }
    return out.substr(start);
}

Item FileSafeItem(const Item& item) {
    if (IsFileSafeItem(item)) {
        return item;
    }
    return Item::FromStored(FileSafeStored(item.stored()));
}

std::string FileSafeStored(std::string_view stored) {
    std::string_view mark = StoredMark(stored);
    if (HasUnsafeByte(mark)) {
        mark = kUncheckedMark;
    }
    return std::string(mark) + FileSafeText(StoredText(stored));
}

bool MarkCutsReference(std::string_view stored) {
    return InsideReference(stored, 2);
}

std::string AllTextUnchecked(std::string_view stored) {
    std::string out(kUncheckedMark);
    out += stored;
    return out;
}

std::string ClipboardSafeText(std::string_view text) {
    if (text.find_first_of("\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == kCr || text[i] == kLf) {
            out += ' ';
            if (text[i] == kCr && i + 1 < text.size() && text[i + 1] == kLf) {
                ++i;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace brenvale
