#include "exchange/outline_import.h"

#include <algorithm>
#include <cstring>

#include "common/byte_block.h"
#include "common/check_mark.h"
#include "common/error.h"
#include "document/item_batch.h"
#include "document/model.h"
#include "document/safe_text.h"
#include "document/storage.h"
#include "document/tree_builder.h"

namespace brenvale {

namespace {

// "□" and "■" in UTF-8: an Item's text goes into the conversion after its mark, so that the
// converted bytes are its stored form.
constexpr std::string_view kUncheckedUtf8 = "\xE2\x96\xA1";
constexpr std::string_view kCheckedUtf8 = "\xE2\x96\xA0";

// Characters a message shows by their code instead: they would show as nothing.
bool Invisible(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x0300 && c <= 0x036F) ||
           (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
           (c >= 0x2060 && c <= 0x206F) || (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF ||
           (c >= 0xE0000 && c <= 0xE01EF);
}

char32_t DecodeOne(std::string_view utf8) {
    auto b = [&](size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(utf8[i])); };
    switch (utf8.size()) {
        case 1:
            return b(0);
        case 2:
            return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
        case 3:
            return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
        default:
            return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) |
                   (b(3) & 0x3F);
    }
}

std::string Hex(char32_t value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        out += kDigits[(value >> shift) & 0xF];
    }
    return out;
}

std::string ShownCharacter(const std::string& utf8) {
    char32_t c = DecodeOne(utf8);
    if (Invisible(c)) {
        return "U+" + Hex(c, c > 0xFFFF ? 5 : 4);
    }
    return utf8;
}

std::string ShownBytes(const std::string& bytes) {
    std::string out;
    for (char b : bytes) {
        out += (out.empty() ? "0x" : " 0x") + Hex(static_cast<unsigned char>(b), 2);
    }
    return out;
}

std::string Place(SourcePlace where) {
    return "(" + std::to_string(where.line) + " 行 " + std::to_string(where.column) + " 桁)";
}

}  // namespace

std::string UnconvertibleText(std::string_view sourceName,
                              const std::vector<UnconvertiblePlace>& places, size_t count) {
    std::string characters;
    std::string bytes;
    for (const UnconvertiblePlace& p : places) {
        std::string& list = p.character.empty() ? bytes : characters;
        list += (list.empty() ? "" : "、") +
                (p.character.empty() ? ShownBytes(p.bytes) : ShownCharacter(p.character)) + " " +
                Place(p.where);
    }
    std::string text =
        "「" + std::string(sourceName) + "」を読み込めません。何も変更していません。";
    if (!characters.empty()) {
        text += "\nCP932 で表せない文字: " + characters;
    }
    if (!bytes.empty()) {
        text += "\nUTF-8 として読めないバイト: " + bytes;
    }
    if (count > places.size()) {
        text += "\nほかに " + std::to_string(count - places.size()) + " 箇所あります。";
    }
    return text;
}

OutlineImport::OutlineImport(std::string fallbackCaption)
    : fallbackCaption_(std::move(fallbackCaption)) {}

void OutlineImport::reserve(size_t bytes) {
    utf8_.reserve(bytes + bytes / 8 + 64);
}

void OutlineImport::begin(uint32_t owner) {
    if (!owners_.empty()) {
        utf8_ += '\r';
    }
    owners_.push_back(owner);
    textStart_ = utf8_.size();
    exact_ = false;
}

size_t OutlineImport::topic(size_t level, int icon, SourcePlace where) {
    size_t limit = topics_.empty() ? 0 : topics_.back().level + 1;
    level = std::min(level, limit);
    size_t index = topics_.size();
    begin(static_cast<uint32_t>(index));
    topics_.push_back({static_cast<uint32_t>(level), icon, where});
    return index;
}

void OutlineImport::item(size_t owner, bool checked, SourcePlace where) {
    if (owner == kNoTopic) {
        if (fallback_ == kNoTopic) {
            fallback_ = topic(0, 0, where);
            exactText(fallbackCaption_);
        }
        owner = fallback_;
    }
    begin(static_cast<uint32_t>(items_.size()) | kItemBit);
    items_.push_back({static_cast<uint32_t>(owner), where});
    utf8_ += checked ? kCheckedUtf8 : kUncheckedUtf8;
    textStart_ = utf8_.size();
}

void OutlineImport::text(std::string_view utf8) {
    if (exact_ || owners_.empty()) {
        return;
    }
    // A CR ends a text in utf8_, so one inside a text is kept as a line break.
    if (utf8.find('\r') == std::string_view::npos) {
        utf8_ += utf8;
        return;
    }
    for (char c : utf8) {
        utf8_ += c == '\r' ? '\n' : c;
    }
}

void OutlineImport::exactText(std::string cp932) {
    if (owners_.empty()) {
        return;
    }
    utf8_.resize(textStart_);
    exact_ = true;
    exactTexts_[owners_.back()] = std::move(cp932);
}

void OutlineImport::exactMark(std::string bytes) {
    if (!owners_.empty() && (owners_.back() & kItemBit)) {
        exactMarks_[owners_.back() & ~kItemBit] = std::move(bytes);
    }
}

std::string_view OutlineImport::currentText() const {
    return std::string_view(utf8_).substr(textStart_);
}

SourcePlace OutlineImport::placeOf(size_t offset, size_t length) const {
    // Which text holds the offset, and how far into it: the CRs before it count the texts.
    size_t text = static_cast<size_t>(std::count(utf8_.begin(), utf8_.begin() + offset, '\r'));
    size_t start = text == 0 ? 0 : utf8_.rfind('\r', offset) + 1;
    uint32_t owner = owners_[text];
    SourcePlace where = (owner & kItemBit) ? items_[owner & ~kItemBit].where : topics_[owner].where;
    if (owner & kItemBit) {
        start += kUncheckedUtf8.size();  // the mark is not in the file
    }
    if (locator_) {
        std::string_view text(utf8_.data() + start, offset - start);
        std::string_view character(utf8_.data() + offset, length);
        size_t occurrence = 0;
        for (size_t at = text.find(character); at != std::string_view::npos;
             at = text.find(character, at + 1)) {
            ++occurrence;
        }
        return locator_(where, character, occurrence);
    }
    // Characters counted from the text's start; a line break in the text starts a line.
    for (size_t i = start; i < offset; ++i) {
        auto b = static_cast<unsigned char>(utf8_[i]);
        if (b == '\n') {
            ++where.line;
            where.column = 1;
        } else if ((b & 0xC0) != 0x80) {
            ++where.column;
        }
    }
    return where;
}

void OutlineImport::refuse(const std::vector<Unconvertible>& bad, size_t count,
                           std::string_view sourceName) const {
    std::vector<UnconvertiblePlace> places;
    for (const Unconvertible& u : bad) {
        std::string bytes = utf8_.substr(u.offset, u.length);
        places.push_back({u.notUtf8 ? std::string() : bytes, u.notUtf8 ? bytes : std::string(),
                          placeOf(u.offset, u.length)});
    }
    throw Error(UnconvertibleText(sourceName, places, count));
}

void OutlineImport::convert(std::string_view sourceName) {
    if (isConverted_ || owners_.empty()) {
        return;
    }
    utf8_ += '\r';
    ByteBlock block(utf8_.size() + 1);
    std::vector<Unconvertible> bad;
    size_t badCount = 0;
    size_t size = ConvertUtf8ToCp932(utf8_, block.data(), &bad, kNamedCharacters, &badCount);
    if (badCount > 0) {
        utf8_.pop_back();
        refuse(bad, badCount, sourceName);
    }
    std::string().swap(utf8_);
    converted_ = std::move(block);
    convertedSize_ = size;
    isConverted_ = true;
}

ImportedTopics OutlineImport::build(Document& doc, int imageCount, std::string_view sourceName) {
    ImportedTopics result;
    if (owners_.empty()) {
        return result;
    }
    convert(sourceName);
    ByteBlock block = std::move(converted_);
    size_t size = convertedSize_;

    // Where each converted text starts: the n-th CR ends the n-th text.
    const char* bytes = block.data();
    size_t at = 0;
    for (uint32_t owner : owners_) {
        if (owner & kItemBit) {
            items_[owner & ~kItemBit].offset = static_cast<uint32_t>(at);
        } else {
            topics_[owner].offset = static_cast<uint32_t>(at);
        }
        at = static_cast<size_t>(
                 static_cast<const char*>(std::memchr(bytes + at, '\r', size - at)) - bytes) +
             1;
    }
    auto textAt = [&](uint32_t offset) {
        const char* p = bytes + offset;
        return std::string_view(
            p,
            static_cast<size_t>(static_cast<const char*>(std::memchr(p, '\r', size - offset)) - p));
    };

    TextStore& texts = doc.texts();
    TextRef base = texts.adopt(std::move(block), size);
    bytes = texts.at(base);

    std::vector<Topic*> made(topics_.size(), nullptr);
    std::vector<Topic*> path;  // the last Topic made at each level
    {
        TreeBuilder tree(doc);
        ItemBatch batch(doc.storage().arena);
        for (uint32_t owner : owners_) {
            if (!(owner & kItemBit)) {
                const TopicEntry& e = topics_[owner];
                auto exact = exactTexts_.find(owner);
                std::string_view caption =
                    exact != exactTexts_.end() ? texts.keep(exact->second) : textAt(e.offset);
                if (!IsFileSafeCaption(caption, static_cast<int>(e.level))) {
                    caption = texts.keep(FileSafeCaption(caption, static_cast<int>(e.level)));
                }
                int icon = e.icon < 0 || e.icon > imageCount - 1 ? kIconMissing : e.icon;
                path.resize(e.level);
                Topic& t = tree.add(e.level == 0 ? nullptr : path.back(), caption,
                                    icon == 1 ? kIconFolder : icon);
                t.expanded = true;
                path.push_back(&t);
                made[owner] = &t;
                if (e.level == 0) {
                    result.topLevel.push_back(&t);
                }
                continue;
            }
            uint32_t index = owner & ~kItemBit;
            const ItemEntry& e = items_[index];
            std::string_view stored = textAt(e.offset);
            TextRef ref = TextStore::Offset(base, e.offset);
            auto exactText = exactTexts_.find(owner);
            auto exactMark = exactMarks_.find(index);
            if (exactText != exactTexts_.end() || exactMark != exactMarks_.end()) {
                std::string mark = exactMark != exactMarks_.end() ? exactMark->second
                                                                  : std::string(StoredMark(stored));
                std::string text = exactText != exactTexts_.end() ? exactText->second
                                                                  : std::string(StoredText(stored));
                ref = texts.add(FileSafeStored(mark + text));
            } else if (!IsFileSafeStored(stored)) {
                ref = texts.add(FileSafeStored(stored));
            }
            batch.add(made[e.owner], ref);
        }
        batch.flush();
        tree.finish();
    }
    result.topics = topics_.size();
    result.items = items_.size();
    return result;
}

}  // namespace brenvale
