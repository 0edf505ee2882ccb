#include "document/document_search.h"

#include "document/item.h"

namespace brenvale {

namespace {

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
    const TextStore& store = items.store();
    for (size_t i = static_cast<size_t>(from); i < items.size(); ++i) {
        TextRef ref = items.ref(i);
        const char* p = store.at(ref);
        bool may = false;
        const char* end = matcher.scanStored(p, store.limit(ref), may);
        if (may && visit(static_cast<long>(i),
                         StoredText(std::string_view(p, static_cast<size_t>(end - p))))) {
            return true;
        }
    }
    return false;
}

// The same backwards, from place `from` down to the caption.
template <typename Visit>
bool ScanBackward(const Topic& t, long from, const TextMatcher& matcher, Visit&& visit) {
    const ItemList& items = t.items;
    if (from >= static_cast<long>(items.size())) {
        from = static_cast<long>(items.size()) - 1;
    }
    const TextStore& store = items.store();
    for (long i = from; i >= 0; --i) {
        TextRef ref = items.ref(static_cast<size_t>(i));
        const char* p = store.at(ref);
        bool may = false;
        const char* end = matcher.scanStored(p, store.limit(ref), may);
        if (may && visit(i, StoredText(std::string_view(p, static_cast<size_t>(end - p))))) {
            return true;
        }
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
