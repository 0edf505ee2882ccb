// Finding texts in the document: the find bar's typing, the next and previous hits, the count
// and the list of every hit.
#include "document/topic.h"
#include "editor/command_handlers.h"
#include "editor/document_session.h"
#include "editor/editor_parts.h"
#include "editor/find_state.h"
#include "editor/hint_panel.h"
#include "editor/selection.h"
#include "editor/visible_list.h"

namespace brenvale {

namespace {

constexpr const char* kWrappedToStart = "文書の最後まで検索しました。先頭から続けて検索しました。";
constexpr const char* kWrappedToEnd = "文書の先頭まで検索しました。最後から続けて検索しました。";

void Notify(EditorParts& p) {
    p.views.all([](EditorObserver& o) { o.findChanged(); });
}

// Repaints the row of a hit in the list shown.
void RepaintHitRow(EditorParts& p, const std::optional<SearchHit>& hit) {
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
SearchStart CurrentPlace(const EditorParts& p) {
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
void ShowHit(EditorParts& p, const SearchHit& hit) {
    SelectTopic(p, hit.topic);
    if (hit.item != kCaption && p.list.topic() == hit.topic) {
        p.list.select(static_cast<int>(p.list.reveal(static_cast<size_t>(hit.item))));
    }
}

void Found(EditorParts& p, std::optional<SearchHit> hit) {
    RepaintHitRow(p, p.find.hit());
    p.find.found(hit);
    if (hit) {
        ShowHit(p, *hit);
        RepaintHitRow(p, hit);
    }
}

}  // namespace

void FindExecute(EditorParts& p) {
    p.host.ShowFindBar();
}

void FindNextExecute(EditorParts& p) {
    if (p.find.query().empty()) {
        p.host.ShowFindBar();
    } else {
        FindStep(p, true);
    }
}

void FindPreviousExecute(EditorParts& p) {
    if (p.find.query().empty()) {
        p.host.ShowFindBar();
    } else {
        FindStep(p, false);
    }
}

void FindTyped(EditorParts& p, std::string query, bool kanaBlind) {
    SearchStart start = CurrentPlace(p);
    std::optional<SearchHit> previous = p.find.hit();
    if (!p.find.setQuery(std::move(query), kanaBlind)) {
        return;
    }
    RepaintHitRow(p, previous);
    if (const TextMatcher* matcher = p.find.matcher()) {
        Found(p, FindForward(p.doc(), *matcher, start));
    }
    Notify(p);
}

void FindStep(EditorParts& p, bool forward) {
    const TextMatcher* matcher = p.find.matcher();
    if (!matcher) {
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
    bool wrapped = false;
    std::optional<SearchHit> hit = forward ? FindForward(p.doc(), *matcher, start, &wrapped)
                                           : FindBackward(p.doc(), *matcher, start, &wrapped);
    Found(p, hit);
    if (hit && count.index > 0) {
        size_t index =
            forward ? (wrapped ? 1 : count.index + 1) : (wrapped ? count.total : count.index - 1);
        p.find.setCount({count.total, index});
    }
    if (hit && wrapped) {
        p.hint.show(forward ? kWrappedToStart : kWrappedToEnd);
    }
    Notify(p);
}

void CountFindHits(EditorParts& p) {
    const TextMatcher* matcher = p.find.matcher();
    if (!matcher) {
        return;
    }
    std::optional<SearchHit> hit = p.find.hit();
    p.find.setCount(CountHits(p.doc(), *matcher, hit ? &*hit : nullptr));
    Notify(p);
}

void CollectFindResults(EditorParts& p) {
    const TextMatcher* matcher = p.find.matcher();
    if (!matcher) {
        return;
    }
    std::vector<SearchHit> hits;
    size_t total = CollectHits(p.doc(), *matcher, FindState::kMaxResults, hits);
    std::vector<FindState::Result> results;
    results.reserve(hits.size());
    for (const SearchHit& hit : hits) {
        results.push_back({hit, ResultText(hit)});
    }
    p.find.setResults(std::move(results), total);
    Notify(p);
}

void GoToFindResult(EditorParts& p, size_t index) {
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
        CollectFindResults(p);
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
