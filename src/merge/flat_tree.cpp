#include "merge/flat_tree.h"

#include <algorithm>
#include <string>

namespace brenvale {

FlatTree Flatten(const Document& doc, TextKeys& captions) {
    FlatTree tree;
    size_t n = doc.topicCount();
    tree.topics.reserve(n);
    tree.parent.reserve(n);
    tree.captionKey.reserve(n);
    // The Topics on the path from the top level down to the last one visited.
    std::vector<int32_t> path;
    ForEachTopic(doc, [&](const Topic& t, int level) {
        path.resize(static_cast<size_t>(level));
        tree.parent.push_back(path.empty() ? kNoTopic : path.back());
        path.push_back(static_cast<int32_t>(tree.topics.size()));
        tree.topics.push_back(&t);
        tree.captionKey.push_back(captions.key(t.caption.view()));
    });
    // A subtree ends where the next Topic at its level or above begins.
    tree.end.assign(tree.topics.size(), static_cast<uint32_t>(tree.topics.size()));
    std::vector<uint32_t> open;
    for (uint32_t i = 0; i < tree.topics.size(); ++i) {
        int32_t parent = tree.parent[i];
        while (!open.empty() && static_cast<int32_t>(open.back()) != parent) {
            tree.end[open.back()] = i;
            open.pop_back();
        }
        open.push_back(i);
    }
    return tree;
}

std::string TopicPath(const FlatTree& tree, int32_t i) {
    std::vector<std::string_view> captions;
    for (; i != kNoTopic; i = tree.parent[static_cast<size_t>(i)]) {
        captions.push_back(tree.at(i).caption.view());
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
