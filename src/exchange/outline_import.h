#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/byte_block.h"
#include "common/cp932.h"
#include "document/document.h"

namespace brenvale {

// Where a text begins in the file it was read from: line and column counted from 1, the
// column in characters.
struct SourcePlace {
    uint32_t line = 0;
    uint32_t column = 0;
};

// The Topics an import added to a Document, in the order they were made.
struct ImportedTopics {
    std::vector<Topic*> topLevel;  // the new top-level Topics
    size_t topics = 0;
    size_t items = 0;
};

// An outline read from a file in another format (Markdown, OPML, UTF-8 text). A reader
// hands it Topics and Items in reading order, their texts as UTF-8; build() converts every
// text to CP932 in one pass and adds the Topics to a Document. A character CP932 cannot
// carry stops build() before the Document changes, naming the first few such characters
// with their lines and columns: nothing is ever turned into "?".
class OutlineImport {
public:
    static constexpr size_t kNoTopic = SIZE_MAX;

    // fallbackCaption: the CP932 caption of the Topic made for Items that come before any
    // Topic (a task list without headings).
    explicit OutlineImport(std::string fallbackCaption);
    OutlineImport(const OutlineImport&) = delete;
    OutlineImport& operator=(const OutlineImport&) = delete;

    // Room for about `bytes` bytes of texts.
    void reserve(size_t bytes);
    // A caption for the fallback Topic found while reading (an OPML file's title).
    void setFallbackCaption(std::string cp932) { fallbackCaption_ = std::move(cp932); }

    // Finds a character of a text in the file, for the message of a refused import: given
    // where the text was said to be, the character's UTF-8 and how often it came earlier in
    // the text. Without one, the place is the text's place plus the characters before it.
    using Locator =
        std::function<SourcePlace(SourcePlace text, std::string_view character, size_t occurrence)>;
    void setLocator(Locator locator) { locator_ = std::move(locator); }

    // Begins a Topic at level (0: top level). A level more than one below the Topic before
    // is taken as one below it. Returns the Topic's index.
    size_t topic(size_t level, int icon, SourcePlace where);
    // Begins an Item of Topic `owner` (kNoTopic: the fallback Topic, made at the first need).
    void item(size_t owner, bool checked, SourcePlace where);

    // Appends UTF-8 to the text begun last. A CR becomes an LF: texts end at CRs here.
    void text(std::string_view utf8);
    // Gives the text begun last these exact CP932 bytes instead of its converted UTF-8 (for
    // texts whose bytes a conversion would not give back); later text() calls are ignored.
    void exactText(std::string cp932);
    // Gives the Item begun last these exact mark bytes instead of "■" or "□".
    void exactMark(std::string bytes);
    // The UTF-8 of the text begun last, as far as it has come.
    std::string_view currentText() const;

    size_t topicCount() const { return topics_.size(); }
    size_t itemCount() const { return items_.size(); }
    size_t levelOf(size_t topic) const { return topics_[topic].level; }

    bool empty() const { return owners_.empty(); }

    // Converts every text to CP932. Throws Error when a text holds a character CP932 cannot
    // carry or bytes that are not UTF-8; sourceName names the file in the message.
    void convert(std::string_view sourceName);
    // Adds the outline to doc as new top-level Topics after its last one (converting first
    // where convert() has not run; an error leaves doc as it was). Icons beyond imageCount
    // become the missing image. Can be called once.
    ImportedTopics build(Document& doc, int imageCount, std::string_view sourceName);

private:
    // Which entry each text belongs to: a Topic's index, or an Item's with kItemBit set.
    static constexpr uint32_t kItemBit = 0x80000000u;

    struct TopicEntry {
        uint32_t level;
        int32_t icon;
        SourcePlace where;
        uint32_t offset = 0;  // of the converted caption, once converted
    };
    struct ItemEntry {
        uint32_t owner;
        SourcePlace where;
        uint32_t offset = 0;  // of the converted stored form, once converted
    };

    void begin(uint32_t owner);
    [[noreturn]] void refuse(const std::vector<Unconvertible>& bad, size_t count,
                             std::string_view sourceName) const;
    SourcePlace placeOf(size_t offset, size_t length) const;

    std::string fallbackCaption_;
    Locator locator_;
    size_t fallback_ = kNoTopic;
    std::string utf8_;     // every text, each ended by a CR
    ByteBlock converted_;  // the texts in CP932, once converted
    size_t convertedSize_ = 0;
    bool isConverted_ = false;
    std::vector<uint32_t> owners_;  // one per text, in order
    std::vector<TopicEntry> topics_;
    std::vector<ItemEntry> items_;
    size_t textStart_ = 0;  // where the text begun last starts in utf8_
    bool exact_ = false;    // the text begun last has exact bytes
    std::unordered_map<uint32_t, std::string> exactTexts_;  // by owner
    std::unordered_map<uint32_t, std::string> exactMarks_;  // by Item index
};

// The message of an import refused for characters CP932 cannot carry. places lists the
// first few: the character's UTF-8 (empty for bytes that are not UTF-8, then `bytes` holds
// them) and where it is; count is how many there were in all.
struct UnconvertiblePlace {
    std::string character;
    std::string bytes;
    SourcePlace where;
};
std::string UnconvertibleText(std::string_view sourceName,
                              const std::vector<UnconvertiblePlace>& places, size_t count);

// How many of the first characters an import refusal names.
inline constexpr size_t kNamedCharacters = 5;

}  // namespace brenvale
