#include "document/document_reader.h"

#include <charconv>
#include <cstring>

#include "common/file_io.h"
#include "document/item_batch.h"
#include "document/safe_text.h"

namespace brenvale {

namespace {

constexpr char kGeometryByte = '\x07';
constexpr char kItemByte = '\x08';

std::optional<int> ParseInt(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

void ReadGeometryLine(std::string_view rest, GeometryRead& geometry) {
    struct Key {
        std::string_view name;
        std::optional<int> GeometryRead::*field;
    };
    static constexpr Key kKeys[] = {
        {"Height", &GeometryRead::height},
        {"Width", &GeometryRead::width},
        {"Top", &GeometryRead::top},
        {"Left", &GeometryRead::left},
        {"TreeWidth", &GeometryRead::treeWidth},
    };
    for (const Key& key : kKeys) {
        if (rest.substr(0, key.name.size()) == key.name) {
            // A value that is not a number is skipped; the window keeps that dimension.
            if (auto value = ParseInt(rest.substr(key.name.size()))) {
                geometry.*key.field = *value;
            }
        }
    }
    geometry.sawGeometryLine = true;
}

class Reader {
public:
    Reader(Document& doc, const ReadOptions& options) : doc_(doc), options_(options) {}

    void line(std::string_view line, GeometryRead& geometry) {
        if (!line.empty() && line.front() == kGeometryByte) {
            if (options_.everyS) {
                ReadGeometryLine(line.substr(1), geometry);
            }
            return;
        }
        size_t tabs = 0;
        while (tabs < line.size() && line[tabs] == '\t') {
            ++tabs;
        }
        std::string_view rest = line.substr(tabs);
        if (!rest.empty() && rest.front() == kItemByte) {
            if (current_) {
                items_.add(current_, Item::FromStored(rest.substr(1)));
            }
            return;
        }
        if (tabs == 0) {
            current_ = &AddTopic(doc_, nullptr, line, 0, options_.imageCount);
        } else if (depth_ < tabs) {
            current_ = &AddChildTopic(doc_, current_, rest, 0, options_.imageCount);
        } else {
            // A line may climb more levels than there are; it then stops at the top level.
            for (size_t up = depth_ - tabs; up > 0 && current_ && current_->parent(); --up) {
                current_ = current_->parent();
            }
            current_ = &AddTopic(doc_, current_, rest, 0, options_.imageCount);
        }
        if (tabs > 0 && !current_->parent() && !IsFileSafeCaption(current_->caption)) {
            // A line with TABs that lands on the top level (the first Topic line, or one that
            // climbs too far) keeps only what a top-level line can carry.
            current_->caption = FileSafeCaption(current_->caption);
        }
        depth_ = tabs;
    }

    void finish() { items_.flush(); }

private:
    Document& doc_;
    const ReadOptions& options_;
    Topic* current_ = nullptr;
    size_t depth_ = 0;
    ItemBatch items_;
};

}  // namespace

ReadResult ParseDocument(std::string_view bytes, const ReadOptions& options) {
    ReadResult result;
    result.document = std::make_unique<Document>();
    if (const void* eof = std::memchr(bytes.data(), '\x1A', bytes.size())) {
        bytes = bytes.substr(0, static_cast<size_t>(static_cast<const char*>(eof) - bytes.data()));
    }
    Reader reader(*result.document, options);
    size_t pos = 0;
    while (pos < bytes.size()) {
        const void* cr = std::memchr(bytes.data() + pos, '\r', bytes.size() - pos);
        size_t end =
            cr ? static_cast<size_t>(static_cast<const char*>(cr) - bytes.data()) : bytes.size();
        reader.line(bytes.substr(pos, end - pos), result.geometry);
        pos = end + 1;
        if (cr && pos < bytes.size() && bytes[pos] == '\n') {
            ++pos;
        }
    }
    reader.finish();
    return result;
}

ReadResult ReadDocument(const std::string& path, const ReadOptions& options) {
    return ParseDocument(ReadWholeFile(path), options);
}

}  // namespace brenvale
