// Finding texts in the document: the find bar's typing, the next and previous hits, the count
// and the list of every hit.
#include "document/topic.h"
#include "editor/command_handlers.h"
#include "editor/command_parts.h"
#include "editor/document_session.h"
#include "editor/find_state.h"
#include "editor/hint_panel.h"
#include "editor/selection.h"
#include "editor/visible_list.h"

namespace brenvale {

namespace {

constexpr const char* kWrappedToStart = "文書の最後まで検索しました。先頭から続けて検索しました。";
constexpr const char* kWrappedToEnd = "文書の先頭まで検索しました。最後から続けて検索しました。";

void Notify(FindParts p) {
    p.views.all([](EditorObserver& o) { o.findChanged(); });
}

// Repaints the row of a hit in the list shown.
void RepaintHitRow(FindParts p, const std::optional<SearchHit>& hit) {
    if (!hit || hit->item == kCaption || hit->topic != p.list.topic()) {
        return;
    }
    if (std::optional<size_t> row = p.list.rowOfItem(static_cast<size_t>(hit->item))) {
        p.views.list([&](EditorObserver& o) { o.itemsChanged(*row, *row); });
    }
}

// Where the user is: the last hit while the selection is still on it, else the selected
// Topic's caption, or the selected row when it is not the first (which a Topic's list
// selects by itself).
SearchStart CurrentPlace(FindParts p) {
    std::optional<SearchHit> hit = p.find.hit();
    Topic* t = p.selection.topic();
    if (hit && hit->topic == t && (hit->item == kCaption || hit->item == p.list.selectedItem())) {
        return {hit->topic, hit->item, hit->range.begin};
    }
    if (!t) {
        return {};
    }
    long item = p.list.selectedItem();
    return {t, item > 0 ? item : kCaption, 0};
}

// Selects the Topic of a hit (its ancestors expanded) and, for an Item, its row, shown even
// when the Item is hidden.
void ShowHit(FindParts p, const SearchHit& hit) {
    SelectTopic(p, hit.topic);
    if (hit.item != kCaption && p.list.topic() == hit.topic) {
        p.list.select(static_cast<int>(p.list.reveal(static_cast<size_t>(hit.item))));
    }
}

void Found(FindParts p, std::optional<SearchHit> hit) {
    RepaintHitRow(p, p.find.hit());
    p.find.found(hit);
    if (hit) {
        ShowHit(p, *hit);
        RepaintHitRow(p, hit);
    }
}

// ---- The searches under way, a slice at a time

// The work of one slice of each search, about 10 ms on a document of short texts.
constexpr size_t kSliceUnits = 250000;

bool Current(FindParts p, uint64_t revision) {
    return revision == p.session.revision();
}

void StartStep(FindParts p, SearchStart start, bool forward, bool typed, HitCount count) {
    FindState::Jobs& jobs = p.find.jobs();
    // The count belongs to the hit this step moves away from.
    jobs.counting.reset();
    jobs.step =
        FindState::Step{std::make_unique<FindRun>(p.doc(), *p.find.matcher(), start, forward),
                        forward, typed, count, p.session.revision()};
}

FindState::Tally NewTally(FindParts p, const SearchHit* of, size_t keep) {
    return {std::make_unique<HitTally>(p.doc(), *p.find.matcher(), of, keep), p.session.revision()};
}

void StepDone(FindParts p, FindState::Step& step) {
    const FindRun& run = *step.run;
    std::optional<SearchHit> hit = run.hit();
    Found(p, hit);
    const HitCount& count = step.count;
    if (hit && count.index > 0) {
        bool wrapped = run.wrapped();
        size_t index = step.forward ? (wrapped ? 1 : count.index + 1)
                                    : (wrapped ? count.total : count.index - 1);
        p.find.setCount({count.total, index});
    }
    if (hit && run.wrapped() && !step.typed) {
        p.hint.show(step.forward ? kWrappedToStart : kWrappedToEnd);
    }
}

void ResultsDone(FindParts p, HitTally& tally) {
    std::vector<FindState::Result> results;
    results.reserve(tally.hits().size());
    for (const SearchHit& hit : tally.hits()) {
        results.push_back({hit, ResultText(hit)});
    }
    p.find.setResults(std::move(results), tally.count().total);
}

// One slice of every search under way; a search that began on a document that has changed
// since begins again (a step from where the user is now).
void RunJobs(FindParts p, SearchBudget budget) {
    FindState::Jobs& jobs = p.find.jobs();
    if (jobs.step && !Current(p, jobs.step->revision)) {
        StartStep(p, CurrentPlace(p), jobs.step->forward, jobs.step->typed, {});
    }
    if (jobs.step && jobs.step->run->run(budget)) {
        FindState::Step step = std::move(*jobs.step);
        jobs.step.reset();
        StepDone(p, step);
    }
    if (jobs.counting && !Current(p, jobs.counting->revision)) {
        std::optional<SearchHit> hit = p.find.hit();
        jobs.counting = hit ? std::optional(NewTally(p, &*hit, 0)) : std::nullopt;
    }
    if (jobs.counting && jobs.counting->tally->run(budget)) {
        p.find.setCount(jobs.counting->tally->count());
        jobs.counting.reset();
    }
    if (jobs.collecting && !Current(p, jobs.collecting->revision)) {
        jobs.collecting = NewTally(p, nullptr, FindState::kMaxResults);
    }
    if (jobs.collecting && jobs.collecting->tally->run(budget)) {
        FindState::Tally done = std::move(*jobs.collecting);
        jobs.collecting.reset();
        ResultsDone(p, *done.tally);
    }
}

// Runs a slice of the searches under way, and has the window run the next one from its event
// loop; a host that cannot has them finish at once.
void DriveFind(FindParts p) {
    RunJobs(p, SearchBudget(kSliceUnits));
    if (p.find.jobs().pending() && !p.host.ScheduleFindSlice(0)) {
        RunJobs(p, SearchBudget::Unlimited());
    }
    Notify(p);
}
}  // namespace

void FindExecute(FindParts p) {
    p.host.ShowFindBar();
}

void FindNextExecute(FindParts p) {
    if (p.find.query().empty()) {
        p.host.ShowFindBar();
    } else {
        FindStep(p, true);
    }
}

void FindPreviousExecute(FindParts p) {
    if (p.find.query().empty()) {
        p.host.ShowFindBar();
    } else {
        FindStep(p, false);
    }
}

void FindTyped(FindParts p, std::string query, bool kanaBlind) {
    SearchStart start = CurrentPlace(p);
    std::optional<SearchHit> previous = p.find.hit();
    if (!p.find.setQuery(std::move(query), kanaBlind)) {
        return;
    }
    RepaintHitRow(p, previous);
    if (p.find.matcher()) {
        StartStep(p, start, true, true, {});
    }
    DriveFind(p);
}

void FindStep(FindParts p, bool forward) {
    if (!p.find.matcher()) {
        return;
    }
    SearchStart start = CurrentPlace(p);
    std::optional<SearchHit> from = p.find.hit();
    bool onHit = from && start.topic == from->topic && start.item == from->item;
    if (forward && onHit) {
        ++start.offset;  // the hit after this one
    }
    // The count follows the step without counting again, when it is known.
    HitCount count;
    if (std::optional<HitCount> known = p.find.count(); onHit && known) {
        count = *known;
    }
    StartStep(p, start, forward, false, count);
    DriveFind(p);
}

void CountFindHits(FindParts p) {
    FindState::Jobs& jobs = p.find.jobs();
    if (!p.find.matcher() || (jobs.counting && Current(p, jobs.counting->revision))) {
        return;
    }
    std::optional<SearchHit> hit = p.find.hit();
    jobs.counting = NewTally(p, hit ? &*hit : nullptr, 0);
    DriveFind(p);
}

void CollectFindResults(FindParts p) {
    FindState::Jobs& jobs = p.find.jobs();
    if (!p.find.matcher() || (jobs.collecting && Current(p, jobs.collecting->revision))) {
        return;
    }
    jobs.collecting = NewTally(p, nullptr, FindState::kMaxResults);
    DriveFind(p);
}

void FindSlice(FindParts p) {
    if (p.find.jobs().pending()) {
        DriveFind(p);
    }
}

void GoToFindResult(FindParts p, size_t index) {
    if (p.find.resultsStale()) {
        // The list clicked on is out of date: the same result in the list made anew, found by
        // its text (the n-th of those that read alike), or none when the edit took it away.
        const std::vector<FindState::Result>& old = p.find.results();
        if (index >= old.size()) {
            return;
        }
        std::string text = old[index].text;
        size_t alike = 0;
        for (size_t i = 0; i < index; ++i) {
            alike += old[i].text == text;
        }
        p.find.jobs().collecting = NewTally(p, nullptr, FindState::kMaxResults);
        RunJobs(p, SearchBudget::Unlimited());
        const std::vector<FindState::Result>& fresh = p.find.results();
        index = fresh.size();
        for (size_t i = 0; i < fresh.size(); ++i) {
            if (fresh[i].text == text && alike-- == 0) {
                index = i;
                break;
            }
        }
    }
    const std::vector<FindState::Result>& results = p.find.results();
    if (index >= results.size()) {
        return;
    }
    SearchHit hit = results[index].hit;
    Found(p, hit);
    p.find.setCount({p.find.resultTotal(), index + 1});
    Notify(p);
}

}  // namespace brenvale
