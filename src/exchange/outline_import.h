#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/byte_block.h"
#include "common/cp932.h"
#include "document/document.h"
#include "exchange/import_messages.h"

namespace brenvale {

// The Topics an import added to a Document, in the order they were made.
struct ImportedTopics {
    std::vector<Topic*> topLevel;  // the new top-level Topics
    size_t topics = 0;
    size_t items = 0;
};

// An outline read from a file in another format (Markdown, OPML). A reader hands it Topics and
// Items in reading order with their texts in UTF-8, which become CP932 as they come, so no
// text is kept twice; build() adds the Topics to a Document. Every character is kept, one
// CP932 cannot hold as its character reference. Bytes that are not UTF-8 are noted with their
// place and left out; check() and build() then throw before the Document changes, naming the
// first few: nothing is ever turned into "?". An outline whose document would grow too large
// to be opened again stops the reading at once.
class OutlineImport {
public:
    static constexpr size_t kNoTopic = SIZE_MAX;

    // fallbackCaption: the CP932 caption of the Topic made for Items that come before any
    // Topic (a task list without headings). sourceName names the file in messages.
    explicit OutlineImport(std::string fallbackCaption, std::string sourceName = "");
    OutlineImport(const OutlineImport&) = delete;
    OutlineImport& operator=(const OutlineImport&) = delete;

    // The size of what is read, so that the texts are kept in blocks to suit it.
    void reserve(size_t bytes);
    // The file's name for messages, when the outline was not given one.
    void nameSource(std::string_view name) {
        if (sourceName_.empty()) {
            sourceName_ = name;
        }
    }
    // A caption for the fallback Topic found while reading (an OPML file's title).
    void setFallbackCaption(std::string cp932) { fallbackCaption_ = std::move(cp932); }

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

    size_t topicCount() const { return topics_.size(); }
    size_t itemCount() const { return owners_.size(); }
    size_t levelOf(size_t topic) const { return topics_[topic].level; }

    bool empty() const { return order_.empty(); }

    // Throws Error when a text held bytes that are not UTF-8; sourceName names the file in
    // the message.
    void check(std::string_view sourceName) const;
    // Adds the outline to doc as new top-level Topics after its last one (an error leaves doc
    // as it was). Icons beyond imageCount become the missing image. Can be called once.
    ImportedTopics build(Document& doc, int imageCount, std::string_view sourceName);

private:
    // Which entry each text belongs to: a Topic's index, or an Item's with kItemBit set.
    static constexpr uint32_t kItemBit = 0x80000000u;

    struct TopicEntry {
        uint32_t level;
        int32_t icon;
    };
    // A block of converted texts, each followed by a CR.
    struct Chunk {
        ByteBlock block;
        size_t used = 0;
    };
    // How far the characters of the text begun last are counted, for the places of the
    // bytes a conversion leaves out.
    struct Counted {
        size_t offset = 0;  // in the current chunk
        SourcePlace where;
    };

    void begin(uint32_t entry, SourcePlace where, uint64_t lineBytes);
    void endText();
    char* room(size_t bytes);
    void grow(uint64_t bytes);
    void noteUnconvertible(std::string_view utf8, const std::vector<Unconvertible>& bad,
                           size_t textEnd);
    SourcePlace countedToHere(size_t end);

    std::string fallbackCaption_;
    std::string sourceName_;
    size_t fallback_ = kNoTopic;
    size_t chunkSize_ = 64 << 10;

    std::vector<Chunk> chunks_;
    size_t entryStart_ = 0;  // where the text begun last starts in the last chunk
    size_t textStart_ = 0;   // the same after an Item's mark
    bool open_ = false;      // a text is begun and not ended by its CR yet
    bool exact_ = false;     // the text begun last has exact bytes
    Counted counted_;

    std::vector<uint32_t> order_;  // one per text, in order
    std::vector<TopicEntry> topics_;
    std::vector<uint32_t> owners_;                          // the Topic of each Item
    std::unordered_map<uint32_t, std::string> exactTexts_;  // by entry
    std::unordered_map<uint32_t, std::string> exactMarks_;  // by Item index

    std::vector<Unconvertible> found_;  // scratch of one conversion
    std::vector<UnconvertiblePlace> bad_;
    size_t badCount_ = 0;
    size_t textBadPlaces_ = 0;  // bad_ and badCount_ when the text begun last began
    size_t textBadCount_ = 0;

    uint64_t documentBytes_ = 0;  // the size of the document file so far, at least
    size_t deepest_ = 0;
};

}  // namespace brenvale
