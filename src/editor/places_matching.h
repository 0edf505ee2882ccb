#pragma once

#include <functional>

namespace brenvale {

class Document;
class Topic;

// What a document read again takes over from the one it replaces: each Topic of the new
// document is matched to the old one at the same path of captions (the n-th sibling of that
// caption under the matched parent, so that siblings of one caption keep their order) and
// takes its expanded or folded state through setExpanded; Topics the old document did not
// have keep the state the reader gave them. Returns the Topic of the new document matched to
// oldSelected, or the deepest matched one of its ancestors.
struct MatchedSelection {
    Topic* topic = nullptr;  // nullptr when none matches
    bool exact = false;      // oldSelected itself was matched
};
MatchedSelection MatchPlaces(const Document& old, const Topic* oldSelected, const Document& fresh,
                             const std::function<void(Topic*, bool)>& setExpanded);

}  // namespace brenvale
