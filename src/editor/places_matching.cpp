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

// Up to this many wanted children of one parent are looked for one by one; more, and all the
// children are matched at once.
constexpr size_t kFewWanted = 8;

std::string_view CaptionOf(const Document& doc, const Topic* parent, size_t row) {
    return doc.sibling(parent, row)->caption.view();
}

// Finds the match of each wanted child (old rows) of the old parent among the children of the
// new one: the child with the same caption and as many siblings of that caption before it.
template <typename Fn>
void MatchChildren(const Document& old, const Document& fresh, Pair parent,
                   const std::vector<size_t>& wanted, Fn&& matched) {
    const size_t oldCount = old.siblingCount(parent.old);
    const size_t freshCount = fresh.siblingCount(parent.fresh);
    if (wanted.size() <= kFewWanted) {
        for (size_t row : wanted) {
            std::string_view caption = CaptionOf(old, parent.old, row);
            size_t occurrence = 0;
            for (size_t i = 0; i < row; ++i) {
                occurrence += CaptionOf(old, parent.old, i) == caption;
            }
            for (size_t i = 0; i < freshCount; ++i) {
                if (CaptionOf(fresh, parent.fresh, i) == caption && occurrence-- == 0) {
                    matched(old.sibling(parent.old, row), fresh.sibling(parent.fresh, i));
                    break;
                }
            }
        }
        return;
    }
    // Every caption in its place (a file saved again with few changes): by position.
    bool samePlaces = oldCount == freshCount;
    for (size_t i = 0; samePlaces && i < oldCount; ++i) {
        samePlaces = CaptionOf(old, parent.old, i) == CaptionOf(fresh, parent.fresh, i);
    }
    if (samePlaces) {
        for (size_t row : wanted) {
            matched(old.sibling(parent.old, row), fresh.sibling(parent.fresh, row));
        }
        return;
    }
    std::unordered_map<std::string_view, std::vector<Topic*>> byCaption;
    for (size_t i = 0; i < freshCount; ++i) {
        Topic* t = fresh.sibling(parent.fresh, i);
        byCaption[t->caption.view()].push_back(t);
    }
    std::unordered_map<std::string_view, size_t> seen;
    size_t next = 0;
    for (size_t i = 0; i < oldCount && next < wanted.size(); ++i) {
        const Topic* t = old.sibling(parent.old, i);
        size_t occurrence = seen[t->caption.view()]++;
        if (wanted[next] != i) {
            continue;
        }
        ++next;
        auto it = byCaption.find(t->caption.view());
        if (it != byCaption.end() && occurrence < it->second.size()) {
            matched(t, it->second[occurrence]);
        }
    }
}

}  // namespace

MatchedSelection MatchPlaces(const Document& old, const Topic* oldSelected, const Document& fresh,
                             const std::function<void(Topic*, bool)>& setExpanded) {
    // Only a folded Topic has a state the new document lacks (the reader expands every
    // Topic), and the selected one a place: they and their ancestors are all that is looked
    // for, so that a big document costs little more than its folded Topics.
    std::unordered_set<const Topic*> wanted;
    auto want = [&](const Topic* t) {
        for (; t && wanted.insert(t).second; t = t->parent()) {
        }
    };
    ForEachTopic(old, [&](const Topic& t, int) {
        if (!t.expanded && t.hasChildren()) {
            want(&t);
        }
    });
    want(oldSelected);
    std::unordered_set<const Topic*> selectedPath;
    for (const Topic* t = oldSelected; t; t = t->parent()) {
        selectedPath.insert(t);
    }

    MatchedSelection selected;
    // Without recursion: documents may nest thousands of levels deep.
    std::vector<Pair> parents{{nullptr, nullptr}};
    std::vector<size_t> rows;
    while (!parents.empty()) {
        Pair parent = parents.back();
        parents.pop_back();
        rows.clear();
        for (size_t i = 0, n = old.siblingCount(parent.old); i < n; ++i) {
            if (wanted.count(old.sibling(parent.old, i))) {
                rows.push_back(i);
            }
        }
        MatchChildren(old, fresh, parent, rows, [&](const Topic* o, Topic* n) {
            if (o->hasChildren() && o->expanded != n->expanded) {
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
