#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "document/document.h"
#include "document/text_matcher.h"

namespace brenvale {

// The texts of a document in tree order: each Topic's caption, then its Items from the first.
// A place names one of them: item -1 is the caption, any other value the Item of that index.
inline constexpr long kCaption = -1;

struct TextPlace {
    const Topic* topic = nullptr;
    long item = kCaption;
};

struct SearchHit {
    Topic* topic = nullptr;
    long item = kCaption;
    TextRange range;

    bool operator==(const SearchHit&) const = default;
};

// Where a search starts: the text at (topic, item), at byte offset within it. A null topic
// stands for the start of the document.
struct SearchStart {
    const Topic* topic = nullptr;
    long item = kCaption;
    size_t offset = 0;
};

struct HitCount {
    size_t total = 0;
    // Of a given hit: its number among all of them from 1, 0 when it is none of them.
    size_t index = 0;
};

// How much work one slice of a search may do: a unit for each Item looked over and one for
// every 32 bytes of a text compared. A search that has spent it stops where it is and goes
// on in the next slice, so the window can answer the user in between.
class SearchBudget {
public:
    explicit SearchBudget(size_t units) : left_(units) {}
    static SearchBudget Unlimited() { return SearchBudget(SIZE_MAX); }

    size_t left() const { return left_; }
    void spend(size_t units) { left_ = units >= left_ ? 0 : left_ - units; }

private:
    size_t left_;
};

// The places of a document from one place to another in tree order, forward or backward,
// looked over a part at a time. The walk holds Topics of the document: it is only to be
// stepped while the document's texts and shape are as they were when it began.
class TextWalk {
public:
    using Visit = std::function<bool(const Topic&, long item, std::string_view text)>;

    // Forward: from `from` on, up to `to` (not included), or to the document's end when
    // to.topic is null. Backward: from `from` back to `to` (not included), or to the start.
    // A from.topic that is null makes an empty walk.
    TextWalk(TextPlace from, TextPlace to, bool forward);
    TextWalk() = default;

    bool done() const { return !place_.topic; }
    // Calls visit for each text on the way that may hold a match, in the walk's order, until
    // visit returns true (true then; the walk stands after that text) or the budget is spent.
    bool step(const TextMatcher& matcher, SearchBudget& budget, const Visit& visit);

private:
    bool stepForward(const TextMatcher& matcher, SearchBudget& budget, const Visit& visit);
    bool stepBackward(const TextMatcher& matcher, SearchBudget& budget, const Visit& visit);

    TextPlace place_;  // the next place to look at
    TextPlace to_;
    bool forward_ = true;
};

// The next (or previous) match from a place, going round the document's end (or start) back
// to where it began, a slice at a time.
class FindRun {
public:
    FindRun(const Document& doc, const TextMatcher& matcher, SearchStart start, bool forward);

    // Searches until the budget is spent or the search is over; true once it is over.
    bool run(SearchBudget budget);
    bool finished() const { return stage_ == Stage::Finished; }
    const std::optional<SearchHit>& hit() const { return hit_; }
    // The search went past the document's end (going forward) or start (going backward).
    bool wrapped() const { return wrapped_; }

private:
    enum class Stage { StartText, Ahead, Wrapped, StartAgain, Finished };

    bool take(const Topic& t, long item, std::string_view text);
    void finish(std::optional<SearchHit> hit);

    const Document& doc_;
    const TextMatcher& matcher_;
    SearchStart start_;
    bool forward_;
    Stage stage_ = Stage::StartText;
    TextWalk walk_;
    std::optional<SearchHit> hit_;
    bool wrapped_ = false;
};

// Every match of the document in tree order, counted and the first ones kept, a slice at a
// time.
class HitTally {
public:
    // of: a hit whose number among all of them is wanted; keep: how many hits to keep.
    HitTally(const Document& doc, const TextMatcher& matcher, const SearchHit* of, size_t keep);

    bool run(SearchBudget budget);
    bool finished() const { return walk_.done(); }
    HitCount count() const { return count_; }
    std::vector<SearchHit>& hits() { return hits_; }

private:
    const TextMatcher& matcher_;
    std::optional<SearchHit> of_;
    size_t keep_;
    TextWalk walk_;
    HitCount count_;
    std::vector<SearchHit> hits_;
};

}  // namespace brenvale
