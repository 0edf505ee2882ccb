#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "document/document.h"
#include "document/search_walk.h"
#include "document/text_matcher.h"

namespace brenvale {

// The first match at or after start, in tree order; past the document's end the search goes
// on from its start up to where it began (*wrapped then tells so).
std::optional<SearchHit> FindForward(const Document& doc, const TextMatcher& matcher,
                                     SearchStart start, bool* wrapped = nullptr);
// The last match before start (one beginning at start's offset does not count); before the
// document's start the search goes on from its end back to where it began.
std::optional<SearchHit> FindBackward(const Document& doc, const TextMatcher& matcher,
                                      SearchStart start, bool* wrapped = nullptr);

HitCount CountHits(const Document& doc, const TextMatcher& matcher, const SearchHit* of = nullptr);

// Every match in tree order, up to max of them in out; returns how many there are in all.
size_t CollectHits(const Document& doc, const TextMatcher& matcher, size_t max,
                   std::vector<SearchHit>& out);

// The text at a place; empty when the place holds none (an item past the list's end).
std::string_view TextAt(const Topic& topic, long item);

// The Topic before t in tree order, or nullptr at the start.
Topic* PreviousInTreeOrder(const Topic* t);
// The last Topic in tree order.
Topic* LastInTreeOrder(const Document& doc);

}  // namespace brenvale
