#include "editor/places_matching.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "document/document.h"

namespace brenvale {

namespace {

// A parent in both documents whose children are matched; nullptr for the top level.
struct Pair {
    const Topic* old;
    Topic* fresh;
};

size_t ChildCount(const Document& doc, const Topic* parent) {
    return doc.siblingCount(parent);
}

// Pairs the children of the old parent with those of the new one: by position when every
// caption is the same there (a file saved again with few changes), else by caption and
// occurrence.
template <typename Fn>
void MatchChildren(const Document& old, const Document& fresh, Pair parent, Fn&& matched) {
    size_t oldCount = ChildCount(old, parent.old);
    size_t freshCount = ChildCount(fresh, parent.fresh);
    bool samePlaces = oldCount == freshCount;
    for (size_t i = 0; samePlaces && i < oldCount; ++i) {
        samePlaces = old.sibling(parent.old, i)->caption.view() ==
                     fresh.sibling(parent.fresh, i)->caption.view();
    }
    if (samePlaces) {
        for (size_t i = 0; i < oldCount; ++i) {
            matched(old.sibling(parent.old, i), fresh.sibling(parent.fresh, i));
        }
        return;
    }
    std::unordered_map<std::string_view, std::vector<Topic*>> byCaption;
    for (size_t i = 0; i < freshCount; ++i) {
        Topic* t = fresh.sibling(parent.fresh, i);
        byCaption[t->caption.view()].push_back(t);
    }
    std::unordered_map<std::string_view, size_t> seen;
    for (size_t i = 0; i < oldCount; ++i) {
        const Topic* t = old.sibling(parent.old, i);
        size_t occurrence = seen[t->caption.view()]++;
        auto it = byCaption.find(t->caption.view());
        if (it != byCaption.end() && occurrence < it->second.size()) {
            matched(t, it->second[occurrence]);
        }
    }
}

}  // namespace

MatchedSelection MatchPlaces(const Document& old, const Topic* oldSelected, const Document& fresh,
                             const std::function<void(Topic*, bool)>& setExpanded) {
    std::unordered_set<const Topic*> selectedPath;
    for (const Topic* t = oldSelected; t; t = t->parent()) {
        selectedPath.insert(t);
    }
    MatchedSelection selected;
    // Without recursion: documents may nest thousands of levels deep.
    std::vector<Pair> parents{{nullptr, nullptr}};
    while (!parents.empty()) {
        Pair parent = parents.back();
        parents.pop_back();
        MatchChildren(old, fresh, parent, [&](const Topic* o, Topic* n) {
            if (o->expanded != n->expanded) {
                setExpanded(n, o->expanded);
            }
            // Ancestors are matched before what lies below them: the last one found is the
            // deepest.
            if (selectedPath.count(o)) {
                selected = {n, o == oldSelected};
            }
            if (o->hasChildren() && n->hasChildren()) {
                parents.push_back({o, n});
            }
        });
    }
    return selected;
}

}  // namespace brenvale
