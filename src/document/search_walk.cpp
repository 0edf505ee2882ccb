#include "document/search_walk.h"

#include <algorithm>
#include <utility>

#include "document/item.h"

namespace brenvale {

namespace {

// Items whose stored forms follow one another this closely in one block are looked over in
// one sweep (a list read from a file lies in it like that, with a line end and the indent
// between two forms).
constexpr size_t kRunGap = 4096;
// The Items a backward walk looks over at once before it visits their candidates last first.
constexpr size_t kBackwardBatch = 256;
// The bytes of a compared text that cost one unit of the budget.
constexpr size_t kBytesPerUnit = 32;

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

Topic* Mutable(const Topic* t) {
    return const_cast<Topic*>(t);
}

// The last place of a Topic: its last Item, or its caption when it has none.
long LastPlace(const Topic& t) {
    return static_cast<long>(t.items.size()) - 1;
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

// ---- TextWalk

TextWalk::TextWalk(TextPlace from, TextPlace to, bool forward)
    : place_(from), to_(to), forward_(forward) {}

bool TextWalk::step(const TextMatcher& matcher, SearchBudget& budget, const Visit& visit) {
    if (matcher.empty()) {
        place_.topic = nullptr;
        return false;
    }
    return forward_ ? stepForward(matcher, budget, visit) : stepBackward(matcher, budget, visit);
}

bool TextWalk::stepForward(const TextMatcher& matcher, SearchBudget& budget, const Visit& visit) {
    auto compared = [&](std::string_view text) { budget.spend(1 + text.size() / kBytesPerUnit); };
    while (place_.topic && budget.left() > 0) {
        const Topic& t = *place_.topic;
        const bool last = &t == to_.topic;
        if (last && place_.item >= to_.item) {
            place_.topic = nullptr;
            break;
        }
        if (place_.item == kCaption) {
            std::string_view caption = t.caption;
            budget.spend(1);
            place_.item = 0;
            if (matcher.mayMatch(caption, caption.data() + caption.size())) {
                compared(caption);
                if (visit(t, kCaption, caption)) {
                    return true;
                }
            }
            continue;
        }
        const size_t end = last ? static_cast<size_t>(to_.item) : t.items.size();
        const auto from = static_cast<size_t>(place_.item);
        if (from >= end) {
            place_ = {last ? nullptr : NextInTreeOrder(&t), kCaption};
            continue;
        }
        const size_t part = from + std::min(end - from, std::max<size_t>(budget.left(), 1));
        long stopped = -1;
        bool found = ScanItems(t.items, from, part, matcher, [&](long item, std::string_view text) {
            compared(text);
            if (visit(t, item, text)) {
                stopped = item;
                return true;
            }
            return false;
        });
        budget.spend(part - from);
        place_.item = found ? stopped + 1 : static_cast<long>(part);
        if (found) {
            return true;
        }
    }
    return false;
}

bool TextWalk::stepBackward(const TextMatcher& matcher, SearchBudget& budget, const Visit& visit) {
    auto compared = [&](std::string_view text) { budget.spend(1 + text.size() / kBytesPerUnit); };
    std::vector<std::pair<long, std::string_view>> candidates;
    while (place_.topic && budget.left() > 0) {
        const Topic& t = *place_.topic;
        const bool last = &t == to_.topic;
        if (last && place_.item <= to_.item) {
            place_.topic = nullptr;
            break;
        }
        if (place_.item < kCaption) {
            const Topic* previous = PreviousInTreeOrder(&t);
            place_ = {previous, previous ? LastPlace(*previous) : kCaption};
            continue;
        }
        if (place_.item == kCaption) {
            std::string_view caption = t.caption;
            budget.spend(1);
            place_.item = kCaption - 1;
            if (matcher.mayMatch(caption, caption.data() + caption.size())) {
                compared(caption);
                if (visit(t, kCaption, caption)) {
                    return true;
                }
            }
            continue;
        }
        // The Items [begin, end) last first: those after the walk's end only.
        const size_t end = std::min(static_cast<size_t>(place_.item) + 1, t.items.size());
        const size_t low = last ? static_cast<size_t>(to_.item + 1) : 0;
        size_t batch = std::min(kBackwardBatch, std::max<size_t>(budget.left(), 1));
        const size_t begin = end > low + batch ? end - batch : low;
        candidates.clear();
        ScanItems(t.items, begin, end, matcher, [&](long item, std::string_view text) {
            candidates.emplace_back(item, text);
            return false;
        });
        budget.spend(end - begin);
        place_.item = static_cast<long>(begin) - 1;
        for (auto it = candidates.rbegin(); it != candidates.rend(); ++it) {
            compared(it->second);
            if (visit(t, it->first, it->second)) {
                place_.item = it->first - 1;
                return true;
            }
        }
    }
    return false;
}

// ---- FindRun

FindRun::FindRun(const Document& doc, const TextMatcher& matcher, SearchStart start, bool forward)
    : doc_(doc), matcher_(matcher), start_(start), forward_(forward) {
    if (matcher.empty() || doc.empty()) {
        stage_ = Stage::Finished;
        return;
    }
    if (!start_.topic) {
        start_ = {doc.first(), kCaption, 0};
    }
}

void FindRun::finish(std::optional<SearchHit> hit) {
    hit_ = hit;
    stage_ = Stage::Finished;
}

bool FindRun::take(const Topic& t, long item, std::string_view text) {
    std::optional<TextRange> range = forward_ ? matcher_.first(text) : matcher_.last(text);
    if (range) {
        finish(SearchHit{Mutable(&t), item, *range});
    }
    return range.has_value();
}

bool FindRun::run(SearchBudget budget) {
    const Topic* s = start_.topic;
    TextWalk::Visit take = [this](const Topic& t, long item, std::string_view text) {
        return this->take(t, item, text);
    };
    while (stage_ != Stage::Finished && budget.left() > 0) {
        switch (stage_) {
            case Stage::StartText: {
                // The text the search starts in: from the offset on, or before it backward.
                std::string_view text = TextAt(*s, start_.item);
                budget.spend(1 + text.size() / kBytesPerUnit);
                std::optional<TextRange> range = forward_ ? matcher_.first(text, start_.offset)
                                                          : matcher_.last(text, start_.offset);
                if (range) {
                    finish(SearchHit{Mutable(s), start_.item, *range});
                    break;
                }
                walk_ = forward_ ? TextWalk({s, start_.item + 1}, {}, true)
                                 : TextWalk({s, start_.item - 1}, {}, false);
                stage_ = Stage::Ahead;
                break;
            }
            case Stage::Ahead:
            case Stage::Wrapped:
                if (walk_.step(matcher_, budget, take)) {
                    break;  // found: finished
                }
                if (!walk_.done()) {
                    break;  // the budget is spent
                }
                if (stage_ == Stage::Ahead) {
                    // On from the other end of the document up to the start's own text.
                    wrapped_ = true;
                    const Topic* end = LastInTreeOrder(doc_);
                    walk_ = forward_ ? TextWalk({doc_.first(), kCaption}, {s, start_.item}, true)
                                     : TextWalk({end, LastPlace(*end)}, {s, start_.item}, false);
                    stage_ = Stage::Wrapped;
                } else {
                    stage_ = Stage::StartAgain;
                }
                break;
            case Stage::StartAgain: {
                // The start's own text once more: its matches before the offset going
                // forward, at or after it going backward.
                std::string_view text = TextAt(*s, start_.item);
                budget.spend(1 + text.size() / kBytesPerUnit);
                std::optional<TextRange> range;
                matcher_.forEach(text, [&](TextRange r) {
                    if (forward_) {
                        if (r.begin < start_.offset) {
                            range = r;
                        }
                        return false;  // only the first match can lie before the offset
                    }
                    if (r.begin >= start_.offset) {
                        range = r;
                    }
                    return true;
                });
                finish(range ? std::optional<SearchHit>(SearchHit{Mutable(s), start_.item, *range})
                             : std::nullopt);
                break;
            }
            case Stage::Finished:
                break;
        }
    }
    return finished();
}

// ---- HitTally

HitTally::HitTally(const Document& doc, const TextMatcher& matcher, const SearchHit* of,
                   size_t keep)
    : matcher_(matcher),
      of_(of ? std::optional<SearchHit>(*of) : std::nullopt),
      keep_(keep),
      walk_(matcher.empty() || doc.empty() ? TextWalk()
                                           : TextWalk({doc.first(), kCaption}, {}, true)) {}

bool HitTally::run(SearchBudget budget) {
    walk_.step(matcher_, budget, [this](const Topic& t, long item, std::string_view text) {
        const bool ofHere = of_ && of_->topic == &t && of_->item == item;
        matcher_.forEach(text, [&](TextRange r) {
            ++count_.total;
            if (ofHere && r.begin == of_->range.begin) {
                count_.index = count_.total;
            }
            if (hits_.size() < keep_) {
                hits_.push_back({Mutable(&t), item, r});
            }
            return true;
        });
        return false;
    });
    return finished();
}

}  // namespace brenvale
