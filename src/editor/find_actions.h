#pragma once

#include <cstddef>
#include <string>

#include "editor/command_parts.h"

namespace brenvale {

class ActionRunner;

// The find bar and the list of hits: what is typed, the steps from hit to hit, the counter,
// and the slices of the searches under way.
class FindActions {
public:
    FindActions(ActionRunner& runner, FindParts parts) : runner_(runner), parts_(parts) {}
    FindActions(const FindActions&) = delete;
    FindActions& operator=(const FindActions&) = delete;

    const FindState& state() const { return parts_.find; }
    // The find box's text (CP932) and option: the first hit from the current position on.
    void findTyped(std::string query, bool kanaBlind);
    void findNext();
    void findPrevious();
    // Counts every hit (the counter "12 件中 3 件目"); the find bar asks for it once typing
    // pauses.
    void countFindHits();
    // The list of every hit, and a click on one of them.
    void collectFindResults();
    void goToFindResult(size_t index);
    // The next slice of the searches under way, which the window runs from its event loop when
    // asked to (EditorHost::ScheduleFindSlice).
    void findSlice();

private:
    // How long a slice of the find waits while another action runs.
    static constexpr int kSliceRetryMs = 100;

    ActionRunner& runner_;
    FindParts parts_;
};

}  // namespace brenvale
