#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "editor/clock.h"
#include "editor/editor_observer.h"
#include "editor/reminders.h"
#include "editor/seen_times.h"

namespace brenvale {

struct EditorParts;

// What the editor does by the clock: the reminders of open Items due at a time of day, the
// routines renewed when a day begins, and what today is. The window runs its timer
// (EditorHost::SetClockTimer) and gives it the system's clock; tests give a clock of their own.
class ScheduleClock : public EditorObserver {
public:
    // The time a reminder waits when the user asks for it again later.
    static constexpr int kSnoozeSeconds = 10 * 60;
    // The timer looks at the clock at least this often, so that a clock set forward or a
    // machine woken from sleep is noticed soon.
    static constexpr int kLongestWaitMs = 5 * 60 * 1000;
    // More reminders than this at one time come as one notification.
    static constexpr size_t kSingleNotes = 3;

    ScheduleClock();
    void setClock(const Clock& clock) { clock_ = &clock; }
    LocalTime now() const { return clock_->now(); }
    Date today() const { return now().day; }
    void setSeenTimes(SeenTimes seen) { seen_ = std::move(seen); }

    // ---- Worked by the functions below
    // Reminders were given for every time up to here; nothing before a document was shown.
    std::optional<LocalTime> checkedUpTo;
    // The day the routines were last renewed for.
    std::optional<Date> routineDay;
    struct Snooze {
        int64_t at = 0;  // LocalTime count
        ReminderTarget target;
    };
    std::vector<Snooze> snoozes;
    // What each notification shown is about; an empty target stands for the agenda.
    std::map<uint64_t, ReminderTarget> notes;
    uint64_t nextKey = 1;
    bool serverMissingTold = false;
    // An open's reminders that passed while no window had the document: those due after
    // `since` (the last time it was seen; none: ever) up to `upTo` (the open). They are
    // listed by the next tick, which the window runs once it has shown the document, as the
    // index they are looked up in is built then; until then the seen time stays as it was.
    struct Passed {
        std::optional<LocalTime> since;
        LocalTime upTo;
    };
    std::optional<Passed> passed;
    std::string documentPath;  // whose seen time is kept; empty: none
    const SeenTimes& seen() const { return seen_; }

private:
    // A new document: the Topics the reminders name are gone.
    void beginResetTree() override;

    SystemClock system_;
    const Clock* clock_;
    SeenTimes seen_;
};

// A document was shown: opened (its routines are renewed and the reminders that passed since
// it was last open anywhere are listed in one notification), made new, or read again after
// another program changed it (the reminders go on from where they were). What needs the
// schedule index (the list of passed reminders, the next reminder's timer) waits for the
// next ClockTick, which the host is asked to run at once (a timer of 0 ms): the window runs it
// after its first paint, so that a big document is shown before its dates are gathered.
enum class ScheduleStart { Opened, New, Reloaded };
void StartSchedule(EditorParts& p, ScheduleStart how);
// The window's timer ran out: a new day, reminders due, snoozes over; the timer is set again.
void ClockTick(EditorParts& p);
// The user chose a button of a notification (or the notification itself: "default").
void NotificationAction(EditorParts& p, uint64_t key, std::string_view action);
// No notification could be shown (no notification server).
void NotificationFailed(EditorParts& p);
// The window closes: the document was open until now.
void ScheduleWindowClosed(EditorParts& p);

}  // namespace brenvale
