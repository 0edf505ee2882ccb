#include "editor/schedule_actions.h"

#include <utility>

#include "editor/action_runner.h"
#include "editor/command_handlers.h"
#include "editor/schedule_clock.h"
#include "editor/visible_list.h"
#include "schedule/item_tokens.h"

namespace brenvale {

void ScheduleActions::setClock(const Clock& clock) {
    clock_.setClock(clock);
}

void ScheduleActions::setSeenTimes(SeenTimes seen) {
    clock_.setSeenTimes(std::move(seen));
}

LocalTime ScheduleActions::now() const {
    return clock_.now();
}

void ScheduleActions::clockTick() {
    runner_.act([&] { ClockTick(parts_); });
}

void ScheduleActions::notificationAction(uint64_t key, std::string_view action) {
    runner_.act([&] { NotificationAction(parts_, key, action); });
}

void ScheduleActions::notificationFailed() {
    runner_.act([&] { NotificationFailed(parts_); });
}

void ScheduleActions::editBoxCommitted(EditBox box) {
    if (box == EditBox::Tree) {
        runner_.act([&] { CommitTopicCaption(parts_); });
    }
}

DueLook ScheduleActions::rowDueLook(size_t row) const {
    if (row >= list_.rowCount() || list_.rowChecked(row) ||
        list_.rowKind(row) != ItemKind::Ordinary) {
        return DueLook::None;
    }
    std::string_view text = list_.rowText(row);
    if (!MayHoldTokens(text)) {
        return DueLook::None;
    }
    const RowTokens& tokens = rowTokens_.of(list_.rowRef(row), text);
    if (!tokens.due) {
        return DueLook::None;
    }
    Date today = clock_.today();
    return tokens.due->day < today    ? DueLook::Overdue
           : tokens.due->day == today ? DueLook::Today
                                      : DueLook::Later;
}

const std::vector<TextSpan>& ScheduleActions::rowTokenSpans(size_t row) const {
    static const std::vector<TextSpan> none;
    if (row >= list_.rowCount()) {
        return none;
    }
    std::string_view text = list_.rowText(row);
    if (!MayHoldTokens(text)) {
        return none;
    }
    return rowTokens_.of(list_.rowRef(row), text).spans;
}

void ScheduleActions::refreshAgenda() {
    agenda_.refresh(clock_.today());
}

bool ScheduleActions::goToAgendaRow(AgendaGroup group, size_t k) {
    if (agenda_.stale()) {
        refreshAgenda();
        return false;
    }
    const AgendaRow* row = agenda_.row(group, k);
    if (!row) {
        return false;
    }
    AgendaRow target = *row;
    runner_.act([&] { GoToItem(parts_, target.topic, target.item); });
    return true;
}

}  // namespace brenvale
