#include "document/document_search.h"

#include <utility>
#include <vector>

#include "document/item.h"

namespace brenvale {

namespace {

// Items whose stored forms follow one another this closely in one block are looked over in
// one sweep (a list read from a file lies in it like that, with a line end and the indent
// between two forms).
constexpr size_t kRunGap = 4096;

// Calls visit(item, text) for the Items first..last-1 of a list, in order, whose text may hold
// a match; stops when visit returns true (and returns true then). With the quick look, the
// forms that lie one after the other in their block are swept at once, and only an Item in
// which a form of the rarest character turns up is looked at alone.
template <typename Visit>
bool ScanItems(const ItemList& items, size_t first, size_t last, const TextMatcher& matcher,
               Visit&& visit) {
    const TextStore& store = items.store();
    auto textOf = [](const char* p, const char* end) {
        return StoredText(std::string_view(p, static_cast<size_t>(end - p)));
    };
    if (!matcher.looksQuickly()) {
        for (size_t i = first; i < last; ++i) {
            TextRef ref = items.ref(i);
            const char* p = store.at(ref);
            bool may = false;
            const char* end = matcher.scanStored(p, store.limit(ref), may);
            if (may && visit(static_cast<long>(i), textOf(p, end))) {
                return true;
            }
        }
        return false;
    }
    for (size_t i = first; i < last;) {
        const char* start = store.at(items.ref(i));
        const char* limit = store.limit(items.ref(i));
        // The run of forms i..j-1 that lie in order in this block.
        size_t j = i + 1;
        for (const char* previous = start; j < last; ++j) {
            TextRef ref = items.ref(j);
            const char* p = store.at(ref);
            if (store.limit(ref) != limit || p <= previous ||
                static_cast<size_t>(p - previous) > kRunGap) {
                break;
            }
            previous = p;
        }
        const char* runEnd = FindStoredEnd(store.at(items.ref(j - 1)), limit);
        size_t k = i;
        for (const char* c = matcher.nextCandidate(start, runEnd, limit); c < runEnd;) {
            // The form c lies in, if any: the last one starting at or before it.
            while (k + 1 < j && store.at(items.ref(k + 1)) <= c) {
                ++k;
            }
            const char* p = store.at(items.ref(k));
            const char* end = FindStoredEnd(p, limit);
            if (c >= end) {
                ++c;  // between two forms
            } else if (c - p < 2) {
                c = p + 2;  // in the marks, which are no part of the text
            } else {
                if (visit(static_cast<long>(k), textOf(p, end))) {
                    return true;
                }
                c = end;
            }
            c = matcher.nextCandidate(c, runEnd, limit);
        }
        i = j;
    }
    return false;
}

// Calls visit(item, text) for the texts of t from place `from` on, in order, that may hold a
// match; stops when visit returns true (and returns true then).
template <typename Visit>
bool ScanForward(const Topic& t, long from, const TextMatcher& matcher, Visit&& visit) {
    if (from == kCaption) {
        std::string_view caption = t.caption;
        if (matcher.mayMatch(caption, caption.data() + caption.size()) &&
            visit(kCaption, caption)) {
            return true;
        }
        from = 0;
    }
    const ItemList& items = t.items;
    return static_cast<size_t>(from) < items.size() &&
           ScanItems(items, static_cast<size_t>(from), items.size(), matcher, visit);
}

// The same backwards, from place `from` down to the caption: the Items are looked over a
// batch at a time, and the batch's candidates visited last first.
template <typename Visit>
bool ScanBackward(const Topic& t, long from, const TextMatcher& matcher, Visit&& visit) {
    constexpr size_t kBatch = 256;
    const ItemList& items = t.items;
    if (from >= static_cast<long>(items.size())) {
        from = static_cast<long>(items.size()) - 1;
    }
    std::vector<std::pair<long, std::string_view>> candidates;
    for (size_t end = static_cast<size_t>(from + 1); end > 0;) {
        size_t begin = end > kBatch ? end - kBatch : 0;
        candidates.clear();
        ScanItems(items, begin, end, matcher, [&](long item, std::string_view text) {
            candidates.emplace_back(item, text);
            return false;
        });
        for (auto it = candidates.rbegin(); it != candidates.rend(); ++it) {
            if (visit(it->first, it->second)) {
                return true;
            }
        }
        end = begin;
    }
    std::string_view caption = t.caption;
    return matcher.mayMatch(caption, caption.data() + caption.size()) && visit(kCaption, caption);
}

Topic* Mutable(const Topic* t) {
    return const_cast<Topic*>(t);
}

}  // namespace

std::string_view TextAt(const Topic& topic, long item) {
    if (item == kCaption) {
        return topic.caption;
    }
    if (item < 0 || static_cast<size_t>(item) >= topic.items.size()) {
        return {};
    }
    return topic.items[static_cast<size_t>(item)].text();
}

Topic* PreviousInTreeOrder(const Topic* t) {
    Topic* previous = t->previousSibling();
    if (!previous) {
        return t->parent();
    }
    while (previous->hasChildren()) {
        previous = previous->child(previous->childCount() - 1);
    }
    return previous;
}

Topic* LastInTreeOrder(const Document& doc) {
    Topic* t = doc.lastTopLevel();
    while (t && t->hasChildren()) {
        t = t->child(t->childCount() - 1);
    }
    return t;
}

std::optional<SearchHit> FindForward(const Document& doc, const TextMatcher& matcher,
                                     SearchStart start, bool* wrapped) {
    if (wrapped) {
        *wrapped = false;
    }
    if (matcher.empty() || doc.empty()) {
        return std::nullopt;
    }
    if (!start.topic) {
        start = {doc.first(), kCaption, 0};
    }
    std::optional<SearchHit> hit;
    // The text the search starts in, from the offset on.
    if (auto range = matcher.first(TextAt(*start.topic, start.item), start.offset)) {
        return SearchHit{Mutable(start.topic), start.item, *range};
    }
    auto take = [&](const Topic* t) {
        return [&hit, &matcher, t](long item, std::string_view text) {
            if (auto range = matcher.first(text)) {
                hit = SearchHit{Mutable(t), item, *range};
                return true;
            }
            return false;
        };
    };
    if (ScanForward(*start.topic, start.item + 1, matcher, take(start.topic))) {
        return hit;
    }
    for (const Topic* t = NextInTreeOrder(start.topic); t; t = NextInTreeOrder(t)) {
        if (ScanForward(*t, kCaption, matcher, take(t))) {
            return hit;
        }
    }
    // From the start of the document up to the text the search started in.
    if (wrapped) {
        *wrapped = true;
    }
    for (const Topic* t = doc.first(); t != start.topic; t = NextInTreeOrder(t)) {
        if (ScanForward(*t, kCaption, matcher, take(t))) {
            return hit;
        }
    }
    bool found =
        ScanForward(*start.topic, kCaption, matcher, [&](long item, std::string_view text) {
            if (item > start.item) {
                return true;  // past the start: stop
            }
            auto range = matcher.first(text);
            if (range && (item < start.item || range->begin < start.offset)) {
                hit = SearchHit{Mutable(start.topic), item, *range};
                return true;
            }
            return item == start.item;
        });
    return found ? hit : std::nullopt;
}

std::optional<SearchHit> FindBackward(const Document& doc, const TextMatcher& matcher,
                                      SearchStart start, bool* wrapped) {
    if (wrapped) {
        *wrapped = false;
    }
    if (matcher.empty() || doc.empty()) {
        return std::nullopt;
    }
    if (!start.topic) {
        start = {doc.first(), kCaption, 0};
    }
    std::optional<SearchHit> hit;
    if (auto range = matcher.last(TextAt(*start.topic, start.item), start.offset)) {
        return SearchHit{Mutable(start.topic), start.item, *range};
    }
    auto take = [&](const Topic* t) {
        return [&hit, &matcher, t](long item, std::string_view text) {
            if (auto range = matcher.last(text)) {
                hit = SearchHit{Mutable(t), item, *range};
                return true;
            }
            return false;
        };
    };
    if (start.item != kCaption &&
        ScanBackward(*start.topic, start.item - 1, matcher, take(start.topic))) {
        return hit;
    }
    for (const Topic* t = PreviousInTreeOrder(start.topic); t; t = PreviousInTreeOrder(t)) {
        if (ScanBackward(*t, static_cast<long>(t->items.size()) - 1, matcher, take(t))) {
            return hit;
        }
    }
    // From the end of the document back to the text the search started in.
    if (wrapped) {
        *wrapped = true;
    }
    for (const Topic* t = LastInTreeOrder(doc); t != start.topic; t = PreviousInTreeOrder(t)) {
        if (ScanBackward(*t, static_cast<long>(t->items.size()) - 1, matcher, take(t))) {
            return hit;
        }
    }
    long last = static_cast<long>(start.topic->items.size()) - 1;
    bool found = ScanBackward(*start.topic, last, matcher, [&](long item, std::string_view text) {
        if (item < start.item) {
            return true;  // before the start: stop
        }
        std::optional<TextRange> range;
        if (item > start.item) {
            range = matcher.last(text);
        } else {
            // The start's own text: a match at or after the offset.
            matcher.forEach(text, [&](TextRange r) {
                if (r.begin >= start.offset) {
                    range = r;
                }
                return true;
            });
        }
        if (range) {
            hit = SearchHit{Mutable(start.topic), item, *range};
            return true;
        }
        return item == start.item;
    });
    return found ? hit : std::nullopt;
}

HitCount CountHits(const Document& doc, const TextMatcher& matcher, const SearchHit* of) {
    HitCount count;
    if (matcher.empty()) {
        return count;
    }
    ForEachTopic(doc, [&](const Topic& t, int) {
        ScanForward(t, kCaption, matcher, [&](long item, std::string_view text) {
            if (of && of->topic == &t && of->item == item) {
                matcher.forEach(text, [&](TextRange r) {
                    ++count.total;
                    if (r.begin == of->range.begin) {
                        count.index = count.total;
                    }
                    return true;
                });
            } else {
                count.total += matcher.count(text);
            }
            return false;
        });
    });
    return count;
}

size_t CollectHits(const Document& doc, const TextMatcher& matcher, size_t max,
                   std::vector<SearchHit>& out) {
    size_t total = 0;
    if (matcher.empty()) {
        return total;
    }
    ForEachTopic(doc, [&](const Topic& t, int) {
        ScanForward(t, kCaption, matcher, [&](long item, std::string_view text) {
            matcher.forEach(text, [&](TextRange r) {
                if (out.size() < max) {
                    out.push_back({Mutable(&t), item, r});
                }
                ++total;
                return true;
            });
            return false;
        });
    });
    return total;
}

}  // namespace brenvale
