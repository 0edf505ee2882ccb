#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/document_search.h"

namespace brenvale {

class DocumentSession;

// What the find bar searches for and what it found: the text and its option, the last hit,
// the count of hits, and the list of every hit. Everything found belongs to the document as
// it was then: once a text or the tree's shape changed (the session's revision moved on) the
// hit and the count are forgotten and the list is out of date, its Topics no longer to be
// trusted, until it is collected again.
class FindState {
public:
    // The most hits the list of every hit holds.
    static constexpr size_t kMaxResults = 10000;

    struct Result {
        SearchHit hit;
        std::string text;  // UTF-8: "Topic › Topic › text"
    };

    // The searches under way, each done a slice at a time so that the window answers the
    // user in between: the next or previous hit, the count, the list of every hit. Each
    // belongs to the document as it was when it started (revision); a slice after a change
    // starts it again.
    struct Step {
        std::unique_ptr<FindRun> run;
        bool forward = true;
        bool typed = false;  // a search as the text is typed says nothing of a wrap
        HitCount count;      // the count known before the step, which the step moves on
        uint64_t revision = 0;
    };
    struct Tally {
        std::unique_ptr<HitTally> tally;
        uint64_t revision = 0;
    };
    struct Jobs {
        std::optional<Step> step;
        std::optional<Tally> counting;
        std::optional<Tally> collecting;

        bool pending() const { return step || counting || collecting; }
    };

    explicit FindState(const DocumentSession& session) : session_(session) {}
    FindState(const FindState&) = delete;
    FindState& operator=(const FindState&) = delete;

    // The text searched for (CP932); empty when there is nothing to search for.
    const std::string& query() const { return query_; }
    bool kanaBlind() const { return kanaBlind_; }
    // A new text or option: what was found for the old one goes. False when nothing changed.
    bool setQuery(std::string query, bool kanaBlind);
    // nullptr while the query is empty.
    const TextMatcher* matcher() const { return matcher_.get(); }

    // The last hit, while the document is as it was then.
    std::optional<SearchHit> hit() const;
    // The search ran: hit, or nothing found.
    void found(std::optional<SearchHit> hit);
    bool notFound() const { return notFound_; }
    // The number of hits and which of them is the hit, while known.
    std::optional<HitCount> count() const;
    void setCount(HitCount count);
    // "12 件中 3 件目", "見つかりません", "検索中…" while a hit is being looked for, or ""
    // while there is nothing to say yet.
    std::string counterText() const;
    // The bytes of an Item's text the hit covers, when the hit is in that Item.
    std::optional<TextRange> highlight(const Topic* topic, size_t item) const;

    // The list of every hit (at most kMaxResults) and how many there are in all.
    const std::vector<Result>& results() const { return results_; }
    size_t resultTotal() const { return resultTotal_; }
    bool hasResults() const { return resultsMade_; }
    // Moves on each time the list is made anew or dropped.
    uint64_t resultsVersion() const { return resultsVersion_; }
    // The document changed since the list was made.
    bool resultsStale() const;
    void setResults(std::vector<Result> results, size_t total);

    Jobs& jobs() { return jobs_; }
    const Jobs& jobs() const { return jobs_; }

private:
    bool current(uint64_t revision) const;

    const DocumentSession& session_;
    std::string query_;
    bool kanaBlind_ = false;
    std::unique_ptr<TextMatcher> matcher_;
    std::optional<SearchHit> hit_;
    uint64_t hitRevision_ = 0;
    bool notFound_ = false;
    std::optional<HitCount> count_;
    uint64_t countRevision_ = 0;
    std::vector<Result> results_;
    size_t resultTotal_ = 0;
    bool resultsMade_ = false;
    uint64_t resultsRevision_ = 0;
    uint64_t resultsVersion_ = 0;
    Jobs jobs_;
};

// The text of a hit as the list of every hit shows it: the captions from the top down to its
// Topic (the last levels of a deep one), then the Item's text.
std::string ResultText(const SearchHit& hit);

}  // namespace brenvale
