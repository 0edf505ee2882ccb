#include "merge/flat_tree.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>

#include "common/error.h"
#include "common/readable_file.h"
#include "document/line_rules.h"
#include "merge/item_matching.h"

namespace brenvale {

namespace {

// One step of the list hash: a bijection of the state for a given word, so that two lists that
// differ in a single word (a tick, one edited character) never hash alike.
inline uint64_t Mix(uint64_t h, uint64_t word) {
    h = (h ^ word) * 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 32);
}

}  // namespace

uint64_t ItemsHash(const ItemList& items) {
    uint64_t h = Mix(0x243F6A8885A308D3ull, items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        std::string_view stored = items[i].stored();
        h = Mix(h, stored.size());
        const char* p = stored.data();
        size_t n = stored.size();
        for (; n >= 8; p += 8, n -= 8) {
            uint64_t word;
            std::memcpy(&word, p, 8);
            h = Mix(h, word);
        }
        if (n > 0) {
            uint64_t word = 0;
            std::memcpy(&word, p, n);
            h = Mix(h, word);
        }
    }
    return h;
}

FlatTree::FlatTree(FlatTree&&) noexcept = default;
FlatTree& FlatTree::operator=(FlatTree&&) noexcept = default;
FlatTree::~FlatTree() = default;

void FlatTree::addStructure(const Document& doc, TextKeys& captions, bool copyCaptions) {
    size_t n = doc.topicCount();
    parent.reserve(n);
    captions_.reserve(n);
    icons_.reserve(n);
    expanded_.reserve(n);
    counts_.reserve(n);
    hashes_.reserve(n);
    if (copyCaptions) {
        // One block for every caption, so that the views into it stay where they are.
        size_t bytes = 0;
        ForEachTopic(doc, [&](const Topic& t, int) { bytes += t.caption.size(); });
        captionBytes_ = std::make_unique<std::string>();
        captionBytes_->reserve(bytes);
    }
    // The Topics on the path from the top level down to the last one visited.
    std::vector<int32_t> path;
    ForEachTopic(doc, [&](const Topic& t, int level) {
        path.resize(static_cast<size_t>(level));
        parent.push_back(path.empty() ? kNoTopic : path.back());
        path.push_back(static_cast<int32_t>(parent.size() - 1));
        std::string_view caption = t.caption.view();
        if (copyCaptions) {
            size_t at = captionBytes_->size();
            captionBytes_->append(caption);
            caption = std::string_view(captionBytes_->data() + at, caption.size());
        } else {
            topics_.push_back(&t);
        }
        captions_.push_back(caption);
        captionKey.push_back(captions.key(caption));
        icons_.push_back(t.icon);
        expanded_.push_back(t.expanded ? 1 : 0);
        counts_.push_back(static_cast<uint32_t>(t.items.size()));
        // A tree over a Document hashes its lists when compared with a detached one.
        if (copyCaptions) {
            hashes_.push_back(ItemsHash(t.items));
        }
    });
    // A subtree ends where the next Topic at its level or above begins.
    end.assign(parent.size(), static_cast<uint32_t>(parent.size()));
    std::vector<uint32_t> open;
    for (uint32_t i = 0; i < parent.size(); ++i) {
        while (!open.empty() && static_cast<int32_t>(open.back()) != parent[i]) {
            end[open.back()] = i;
            open.pop_back();
        }
        open.push_back(i);
    }
}

FlatTree::FlatTree(const Document& doc, TextKeys& captions) {
    addStructure(doc, captions, false);
}

FlatTree FlatTree::Detached(const Document& doc, const std::string& path, TextKeys& captions) {
    FlatTree tree;
    tree.addStructure(doc, captions, true);
    tree.path_ = path;
    // The file's bytes are the first block of a Document just read; an Item read from the
    // file lies in it at its offset in the file.
    const char* block = doc.texts().at(TextRef(0));
    const char* limit = doc.texts().limit(TextRef(0));
    tree.offsets_.reserve(tree.size());
    ForEachTopic(doc, [&](const Topic& t, int) {
        uint64_t offset = 0;
        if (!t.items.empty()) {
            const char* first = t.items[0].stored().data();
            if (first < block || first >= limit) {
                throw Error("ファイル " + path + " の項目を読み直せません。");
            }
            offset = static_cast<uint64_t>(first - block);
        }
        tree.offsets_.push_back(offset);
    });
    return tree;
}

size_t FlatTree::row(int32_t i) const {
    if (rows_.empty()) {
        rows_.assign(size(), 0);
        auto number = [&](int32_t parent) {
            uint32_t row = 0;
            forEachChild(parent, [&](int32_t c) { rows_[at(c)] = row++; });
        };
        number(kNoTopic);
        for (size_t p = 0; p < size(); ++p) {
            if (hasChildren(static_cast<int32_t>(p))) {
                number(static_cast<int32_t>(p));
            }
        }
    }
    return rows_[at(i)];
}

const ItemList& FlatTree::items(int32_t i) const {
    if (!topics_.empty()) {
        return topics_[at(i)]->items;
    }
    return load(i);
}

bool FlatTree::sameItems(int32_t i, const FlatTree& other, int32_t j) const {
    if (itemCount(i) != other.itemCount(j)) {
        return false;
    }
    if (!topics_.empty() && !other.topics_.empty()) {
        return SameItems(items(i), other.items(j));
    }
    return hash(i) == other.hash(j);
}

uint64_t FlatTree::hash(int32_t i) const {
    if (topics_.empty()) {
        return hashes_[at(i)];
    }
    if (hashes_.empty()) {
        hashes_.assign(size(), 0);
        hashed_.assign(size(), 0);
    }
    if (!hashed_[at(i)]) {
        hashes_[at(i)] = ItemsHash(topics_[at(i)]->items);
        hashed_[at(i)] = 1;
    }
    return hashes_[at(i)];
}

namespace {

// Reads a file from an offset on, a piece at a time, as far as asked.
class FileWindow {
public:
    FileWindow(const ReadableFile& file, uint64_t offset) : file_(file) {
        if (::lseek(file_.fd(), static_cast<off_t>(offset), SEEK_SET) < 0) {
            throw Error("ファイル " + file.path() + " を読み込めません。 " + std::strerror(errno));
        }
    }

    // Byte k from the offset on; false past the end of the file.
    bool byte(size_t k, char& c) {
        while (k >= bytes_.size() && !ended_) {
            size_t had = bytes_.size();
            bytes_.resize(had + kPiece);
            size_t got = ReadFully(file_.fd(), bytes_.data() + had, kPiece, file_.path());
            bytes_.resize(had + got);
            ended_ = got < kPiece;
        }
        if (k >= bytes_.size()) {
            return false;
        }
        c = bytes_[k];
        return true;
    }
    std::string_view view(size_t from, size_t to) const {
        return std::string_view(bytes_.data() + from, to - from);
    }

private:
    static constexpr size_t kPiece = 16 << 10;
    const ReadableFile& file_;
    std::string bytes_;
    bool ended_ = false;
};

// Whether any byte of the file is a CR: in a file without one, LF ends the lines.
bool HoldsCarriageReturn(const ReadableFile& file) {
    FileWindow window(file, 0);
    char c;
    for (size_t k = 0; window.byte(k, c); ++k) {
        if (c == '\r') {
            return true;
        }
    }
    return false;
}

}  // namespace

const ItemList& FlatTree::load(int32_t i) const {
    auto found = loadedLists_.find(i);
    if (found != loadedLists_.end()) {
        return found->second->items;
    }
    if (!loaded_) {
        file_ = std::make_unique<ReadableFile>(path_);
        lineFeedsEndLines_ = !HoldsCarriageReturn(*file_);
        loaded_ = std::make_unique<Document>();
    }
    DetachedTopic topic = loaded_->create();
    ItemList& list = topic->items;
    size_t count = counts_[at(i)];
    FileWindow window(*file_, offsets_[at(i)]);
    const char end = lineFeedsEndLines_ ? '\n' : '\r';
    // The first Item's stored form starts the window; each Item line after it is read as the
    // reader reads it: TABs, the Item byte, the stored form up to the line end. Geometry lines
    // between them are passed over.
    size_t k = 0;
    char c = 0;
    bool item = true;
    while (list.size() < count) {
        size_t start = k;
        while (window.byte(k, c) && c != end) {
            ++k;
        }
        if (item) {
            std::string_view stored = window.view(start, k);
            list.insert(list.size(), StoredMark(stored), StoredText(stored));
        }
        if (!window.byte(k, c)) {
            break;
        }
        ++k;
        if (!lineFeedsEndLines_ && window.byte(k, c) && c == '\n') {
            ++k;  // an LF right after the CR belongs to the line end
        }
        size_t tabs = 0;
        while (window.byte(k, c) && c == '\t') {
            ++k;
            ++tabs;
        }
        if (!window.byte(k, c)) {
            break;
        }
        item = c == kItemByte;
        if (!item && !(tabs == 0 && c == kGeometryByte)) {
            break;  // a Topic line: the list has ended
        }
        ++k;
    }
    if (list.size() != count || ItemsHash(list) != hashes_[at(i)]) {
        throw Error("ファイル " + path_ + " が統合の途中で変わりました。");
    }
    return loadedLists_.emplace(i, std::move(topic)).first->second->items;
}

std::string TopicPath(const FlatTree& tree, int32_t i) {
    std::vector<std::string_view> captions;
    for (; i != kNoTopic; i = tree.parent[static_cast<size_t>(i)]) {
        captions.push_back(tree.caption(i));
    }
    std::string path;
    for (auto it = captions.rbegin(); it != captions.rend(); ++it) {
        if (!path.empty()) {
            path += " > ";
        }
        path.append(*it);
    }
    return path;
}

}  // namespace brenvale
