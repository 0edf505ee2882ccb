#include "editor/find_actions.h"

#include <utility>

#include "editor/action_runner.h"
#include "editor/command_handlers.h"
#include "editor/editor_host.h"

namespace brenvale {

void FindActions::findTyped(std::string query, bool kanaBlind) {
    runner_.act([&] { FindTyped(parts_, std::move(query), kanaBlind); });
}

void FindActions::findNext() {
    runner_.act([&] { FindStep(parts_, true); });
}

void FindActions::findPrevious() {
    runner_.act([&] { FindStep(parts_, false); });
}

void FindActions::countFindHits() {
    runner_.act([&] { CountFindHits(parts_); });
}

void FindActions::collectFindResults() {
    runner_.act([&] { CollectFindResults(parts_); });
}

void FindActions::goToFindResult(size_t index) {
    runner_.act([&] { GoToFindResult(parts_, index); });
}

void FindActions::findSlice() {
    // Not in the middle of another action (a dialog inside a command), whose selection a hit
    // found now would move: a moment later.
    if (runner_.busy()) {
        parts_.host.ScheduleFindSlice(kSliceRetryMs);
        return;
    }
    runner_.act([&] { FindSlice(parts_); });
}

}  // namespace brenvale
