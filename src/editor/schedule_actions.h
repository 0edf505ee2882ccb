#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "editor/agenda_view.h"
#include "editor/clock.h"
#include "editor/editor_host.h"
#include "editor/row_tokens.h"
#include "editor/seen_times.h"

namespace brenvale {

class ActionRunner;
class RowTokenCache;
class ScheduleClock;
class VisibleList;
struct EditorParts;

// Dates, repeats and reminders as the window meets them: the clock and its timer, the
// notifications' buttons, the date words of a committed edit box, how a row shows its due,
// and the agenda.
class ScheduleActions {
public:
    ScheduleActions(ActionRunner& runner, EditorParts& parts, ScheduleClock& clock,
                    const VisibleList& list, RowTokenCache& rowTokens, AgendaView& agenda)
        : runner_(runner),
          parts_(parts),
          clock_(clock),
          list_(list),
          rowTokens_(rowTokens),
          agenda_(agenda) {}
    ScheduleActions(const ScheduleActions&) = delete;
    ScheduleActions& operator=(const ScheduleActions&) = delete;

    // The clock the editor reads (the system's unless a test gives another).
    void setClock(const Clock& clock);
    // Where the times each document was last open are kept (see SeenTimes).
    void setSeenTimes(SeenTimes seen);
    LocalTime now() const;
    // The clock's timer ran out (EditorHost::SetClockTimer).
    void clockTick();
    // A button of a notification was chosen; no notification could be shown.
    void notificationAction(uint64_t key, std::string_view action);
    void notificationFailed();
    // An edit box was left or Enter pressed in it: what it committed has its date words
    // turned into days.
    void editBoxCommitted(EditBox box);
    // How a row of the list shows its due, and where its tokens are (byte offsets in its text).
    DueLook rowDueLook(size_t row) const;
    const std::vector<TextSpan>& rowTokenSpans(size_t row) const;

    // The agenda: refreshAgenda makes it afresh for today; a row leads to its Item.
    AgendaView& agenda() { return agenda_; }
    const AgendaView& agenda() const { return agenda_; }
    void refreshAgenda();
    // False when the agenda was stale: it was made afresh and nothing else happened.
    bool goToAgendaRow(AgendaGroup group, size_t k);

private:
    ActionRunner& runner_;
    EditorParts& parts_;
    ScheduleClock& clock_;
    const VisibleList& list_;
    RowTokenCache& rowTokens_;
    AgendaView& agenda_;
};

}  // namespace brenvale
