#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/readable_file.h"
#include "document/document.h"
#include "merge/text_keys.h"

namespace brenvale {

// "No Topic": the top level as a parent, or no counterpart in the other version.
inline constexpr int32_t kNoTopic = -1;

// A version of a document as comparing and merging read it: its Topics in tree order,
// numbered by that order, each with its parent, the end of its subtree, its caption (also as
// a key shared with the other versions, see TextKeys), icon and folding, and its check list.
//
// Over a Document (which must outlive the tree and stay unchanged), or detached from one just
// read from a file: then the tree keeps copies of the captions and, for each list, only its
// length, a hash of its stored forms and where its first Item lies in the file, and reads a
// list from the file again when it is asked for. A merge of three large versions thus holds
// one whole Document (the one it changes) and about 60 bytes a Topic of the other two.
class FlatTree {
public:
    FlatTree(const Document& doc, TextKeys& captions);
    // doc must be what ReadDocument read from path with keepFileImage, unchanged. A list read again
    // that no longer hashes the same (the file changed since) throws Error.
    static FlatTree Detached(const Document& doc, const std::string& path, TextKeys& captions);

    FlatTree(FlatTree&&) noexcept;
    FlatTree& operator=(FlatTree&&) noexcept;
    ~FlatTree();

    std::vector<int32_t> parent;  // kNoTopic on the top level
    std::vector<uint32_t> end;    // one past the last Topic of the subtree
    std::vector<uint32_t> captionKey;

    size_t size() const { return parent.size(); }
    bool hasChildren(int32_t i) const { return end[at(i)] > static_cast<uint32_t>(i) + 1; }
    std::string_view caption(int32_t i) const { return captions_[at(i)]; }
    int icon(int32_t i) const { return icons_[at(i)]; }
    bool expanded(int32_t i) const { return expanded_[at(i)] != 0; }
    // Its row among its siblings (counted for every Topic when first asked for).
    size_t row(int32_t i) const;

    size_t itemCount(int32_t i) const { return counts_[at(i)]; }
    // The check list; a detached tree reads it from the file the first time.
    const ItemList& items(int32_t i) const;
    // Whether Topic i's list holds what Topic j's of other does: the stored forms compared,
    // or their hashes when either tree is detached.
    bool sameItems(int32_t i, const FlatTree& other, int32_t j) const;

    // The Topic itself (a tree over a Document only).
    Topic* topic(int32_t i) const { return const_cast<Topic*>(topics_[at(i)]); }

    // The children of parent (kNoTopic: the top level), in order.
    template <typename Fn>
    void forEachChild(int32_t parent, Fn&& fn) const {
        uint32_t last =
            parent == kNoTopic ? static_cast<uint32_t>(size()) : end[static_cast<size_t>(parent)];
        for (uint32_t c = static_cast<uint32_t>(parent + 1); c < last; c = end[c]) {
            fn(static_cast<int32_t>(c));
        }
    }

private:
    FlatTree() = default;
    static size_t at(int32_t i) { return static_cast<size_t>(i); }
    void addStructure(const Document& doc, TextKeys& captions, bool copyCaptions);
    const ItemList& load(int32_t i) const;
    uint64_t hash(int32_t i) const;

    std::vector<const Topic*> topics_;  // over a Document only
    std::vector<std::string_view> captions_;
    std::vector<int> icons_;
    std::vector<uint8_t> expanded_;
    std::vector<uint32_t> counts_;
    mutable std::vector<uint64_t> hashes_;  // over a Document: worked out when first asked for
    mutable std::vector<uint8_t> hashed_;
    mutable std::vector<uint32_t> rows_;

    // Detached: the copied captions, the file and where each list's first Item starts in it,
    // and the lists read again so far.
    std::unique_ptr<std::string> captionBytes_;
    std::string path_;
    std::vector<uint64_t> offsets_;
    mutable std::unique_ptr<ReadableFile> file_;  // opened to read the first list again
    mutable bool lineFeedsEndLines_ = false;
    mutable std::unique_ptr<Document> loaded_;
    mutable std::unordered_map<int32_t, DetachedTopic> loadedLists_;
};

// The caption path of Topic i ("A > B > C"), in CP932 as the captions are.
std::string TopicPath(const FlatTree& tree, int32_t i);

// A hash of a list's stored forms in order, with their number: equal lists hash equal, and
// lists that differ in one stored form (or in one word of eight bytes of it) never do.
uint64_t ItemsHash(const ItemList& items);

}  // namespace brenvale
