#include "document/document_search.h"

#include <utility>

namespace brenvale {

namespace {

std::optional<SearchHit> Find(const Document& doc, const TextMatcher& matcher, SearchStart start,
                              bool forward, bool* wrapped) {
    FindRun run(doc, matcher, start, forward);
    run.run(SearchBudget::Unlimited());
    if (wrapped) {
        *wrapped = run.wrapped();
    }
    return run.hit();
}

}  // namespace

std::optional<SearchHit> FindForward(const Document& doc, const TextMatcher& matcher,
                                     SearchStart start, bool* wrapped) {
    return Find(doc, matcher, start, true, wrapped);
}

std::optional<SearchHit> FindBackward(const Document& doc, const TextMatcher& matcher,
                                      SearchStart start, bool* wrapped) {
    return Find(doc, matcher, start, false, wrapped);
}

HitCount CountHits(const Document& doc, const TextMatcher& matcher, const SearchHit* of) {
    HitTally tally(doc, matcher, of, 0);
    tally.run(SearchBudget::Unlimited());
    return tally.count();
}

size_t CollectHits(const Document& doc, const TextMatcher& matcher, size_t max,
                   std::vector<SearchHit>& out) {
    HitTally tally(doc, matcher, nullptr, max);
    tally.run(SearchBudget::Unlimited());
    for (SearchHit& hit : tally.hits()) {
        out.push_back(hit);
    }
    return tally.count().total;
}

}  // namespace brenvale
