#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "document/document.h"
#include "merge/text_keys.h"

namespace brenvale {

// "No Topic": the top level as a parent, or no counterpart in the other version.
inline constexpr int32_t kNoTopic = -1;

// A Document's Topics in tree order, numbered by that order, with what comparing two
// versions looks up: each Topic's parent and the end of its subtree, and its caption as a key
// shared with the other versions (see TextKeys). Costs 20 bytes a Topic; the Topics are read
// where they are, so the Document must outlive it and stay unchanged.
struct FlatTree {
    std::vector<const Topic*> topics;
    std::vector<int32_t> parent;  // kNoTopic on the top level
    std::vector<uint32_t> end;    // one past the last Topic of the subtree
    std::vector<uint32_t> captionKey;

    size_t size() const { return topics.size(); }
    const Topic& at(int32_t i) const { return *topics[static_cast<size_t>(i)]; }

    // The children of parent (kNoTopic: the top level), in order.
    template <typename Fn>
    void forEachChild(int32_t parent, Fn&& fn) const {
        uint32_t last =
            parent == kNoTopic ? static_cast<uint32_t>(size()) : end[static_cast<size_t>(parent)];
        for (uint32_t c = static_cast<uint32_t>(parent + 1); c < last; c = end[c]) {
            fn(static_cast<int32_t>(c));
        }
    }
};

FlatTree Flatten(const Document& doc, TextKeys& captions);

// The caption path of Topic i ("A > B > C"), in CP932 as the captions are.
std::string TopicPath(const FlatTree& tree, int32_t i);

}  // namespace brenvale
