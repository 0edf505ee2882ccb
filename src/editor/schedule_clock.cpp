// Reminders, routines and the day: what the editor does by the clock.
#include "editor/schedule_clock.h"

#include <algorithm>
#include <utility>

#include "common/cp932.h"
#include "common/path.h"
#include "document/topic.h"
#include "editor/agenda_view.h"
#include "editor/command_handlers.h"
#include "editor/document_session.h"
#include "editor/editor_parts.h"
#include "editor/hint_panel.h"
#include "editor/schedule_index.h"
#include "editor/view_notifier.h"

namespace brenvale {

namespace {

constexpr int64_t kDaySeconds = 86400;
// Texts of the Items a notification of several lists.
constexpr size_t kListedTexts = 5;

const std::vector<std::pair<std::string, std::string>>& ItemActions() {
    static const std::vector<std::pair<std::string, std::string>> actions = {
        {"done", "完了"}, {"snooze", "10分後"}, {"open", "開く"}};
    return actions;
}

std::string DocumentName(const EditorParts& p) {
    const std::string& name = p.session.fileName();
    return name.empty() ? std::string(DocumentSession::kUntitledName)
                        : std::string(FileNamePart(name));
}

void Show(EditorParts& p, Notification note, ReminderTarget target) {
    note.key = p.schedule.nextKey++;
    p.schedule.notes[note.key] = std::move(target);
    p.host.ShowNotification(note);
}

// One notification for one Item: its text, and where it is.
void NotifyItem(EditorParts& p, Topic* topic, const DueDate& due, std::string_view text) {
    Notification note;
    note.summary = Cp932ToUtf8(text);
    std::string place = AgendaView::PlaceText(*topic, "");
    place.resize(place.size() - std::string_view(" › ").size());
    note.body = place + "\n" + DocumentName(p);
    note.actions = ItemActions();
    Show(p, std::move(note), {topic, due, std::string(text)});
}

// One notification for many: how many, and the first few texts. It leads to the agenda.
void NotifyMany(EditorParts& p, const std::vector<TimedItem>& items, bool passed) {
    Notification note;
    note.summary = std::to_string(items.size()) +
                   (passed ? " 件の期限が過ぎています" : " 件の期限になりました");
    for (size_t i = 0; i < items.size() && i < kListedTexts; ++i) {
        note.body += Cp932ToUtf8(std::as_const(items[i].topic->items)[items[i].item].text());
        note.body += "\n";
    }
    if (items.size() > kListedTexts) {
        note.body += "…\n";
    }
    note.body += DocumentName(p);
    note.actions = {{"open", "予定を表示"}};
    Show(p, std::move(note), {});
}

void Notify(EditorParts& p, const std::vector<TimedItem>& items, bool passed) {
    if (items.empty()) {
        return;
    }
    if (passed || items.size() > ScheduleClock::kSingleNotes) {
        NotifyMany(p, items, passed);
        return;
    }
    for (const TimedItem& item : items) {
        NotifyItem(p, item.topic, item.due, std::as_const(item.topic->items)[item.item].text());
    }
}

void NoteSeen(EditorParts& p, LocalTime now) {
    // A save under another name makes it another document from then on.
    p.schedule.documentPath = p.session.hasName() ? p.session.fileName() : std::string();
    p.schedule.seen().write(p.schedule.documentPath, now.count());
}

// The timer runs to the next thing due: a reminder, a snooze, or midnight.
void ArmTimer(EditorParts& p, LocalTime now) {
    ScheduleClock& s = p.schedule;
    int64_t next = (DayNumber(now.day) + 1) * kDaySeconds;
    if (std::optional<LocalTime> due = NextTimedDue(p.index, p.settings.listKindOptions(), now)) {
        next = std::min(next, due->count());
    }
    for (const ScheduleClock::Snooze& snooze : s.snoozes) {
        next = std::min(next, snooze.at);
    }
    int64_t ms = std::max<int64_t>(0, next - now.count()) * 1000;
    p.host.SetClockTimer(static_cast<int>(std::min<int64_t>(ms, ScheduleClock::kLongestWaitMs)));
}

void NewDay(EditorParts& p, Date today) {
    if (p.schedule.routineDay == today) {
        return;
    }
    p.schedule.routineDay = today;
    RenewRoutines(p, today);
    p.views.all([](EditorObserver& o) { o.dayChanged(); });
}

}  // namespace

ScheduleClock::ScheduleClock() : clock_(&system_) {}

void ScheduleClock::beginResetTree() {
    // Not while the passed reminders wait to be listed: the next open lists them.
    if (checkedUpTo && !passed) {
        seen_.write(documentPath, now().count());
    }
    passed.reset();
    notes.clear();
    snoozes.clear();
}

void StartSchedule(EditorParts& p, ScheduleStart how) {
    ScheduleClock& s = p.schedule;
    LocalTime now = s.now();
    s.documentPath = p.session.hasName() ? p.session.fileName() : std::string();
    s.routineDay = now.day;
    if (how == ScheduleStart::Opened) {
        RenewRoutines(p, now.day);
        std::optional<LocalTime> seen;
        if (std::optional<int64_t> count = s.seen().read(s.documentPath)) {
            seen = LocalTime::FromCount(*count);
        }
        s.passed = ScheduleClock::Passed{seen, now};
    }
    if (how != ScheduleStart::Reloaded || !s.checkedUpTo) {
        s.checkedUpTo = now;
    }
    // The rest by the next tick: the passed reminders, the seen time and the timer.
    p.host.SetClockTimer(0);
}

void ClockTick(EditorParts& p) {
    ScheduleClock& s = p.schedule;
    if (std::optional<ScheduleClock::Passed> passed = std::exchange(s.passed, std::nullopt)) {
        // Listed once: from now on this document was seen until its open (and then on).
        Notify(p,
               TimedDuesBetween(p.index, p.settings.listKindOptions(), passed->since, passed->upTo),
               true);
    }
    LocalTime now = s.now();
    NewDay(p, now.day);
    if (s.checkedUpTo && now > *s.checkedUpTo) {
        std::vector<TimedItem> due =
            TimedDuesBetween(p.index, p.settings.listKindOptions(), s.checkedUpTo, now);
        s.checkedUpTo = now;
        Notify(p, due, false);
    }
    std::vector<ReminderTarget> again;
    std::erase_if(s.snoozes, [&](ScheduleClock::Snooze& snooze) {
        if (snooze.at > now.count()) {
            return false;
        }
        again.push_back(std::move(snooze.target));
        return true;
    });
    for (const ReminderTarget& target : again) {
        if (FindReminderItem(p.index, p.settings.listKindOptions(), target)) {
            NotifyItem(p, target.topic, target.due, target.text);
        }
    }
    if (s.checkedUpTo) {
        NoteSeen(p, now);
    }
    ArmTimer(p, now);
}

void NotificationAction(EditorParts& p, uint64_t key, std::string_view action) {
    ScheduleClock& s = p.schedule;
    auto note = s.notes.find(key);
    if (note == s.notes.end()) {
        return;
    }
    ReminderTarget target = std::move(note->second);
    s.notes.erase(note);
    if (!target.topic) {
        p.host.RaiseWindow();
        p.host.ShowAgenda();
        return;
    }
    std::optional<size_t> item = FindReminderItem(p.index, p.settings.listKindOptions(), target);
    if (!item) {
        p.hint.show("通知の項目は変更されたか、もうありません。");
        return;
    }
    if (action == "done") {
        TickItem(p, target.topic, *item);
    } else if (action == "snooze") {
        LocalTime now = s.now();
        s.snoozes.push_back({now.count() + ScheduleClock::kSnoozeSeconds, std::move(target)});
        p.hint.show("10分後にもう一度通知します。");
        ArmTimer(p, now);
    } else {
        p.host.RaiseWindow();
        GoToItem(p, target.topic, *item);
    }
}

void NotificationFailed(EditorParts& p) {
    if (!p.schedule.serverMissingTold) {
        p.schedule.serverMissingTold = true;
        p.hint.show(
            "デスクトップ通知を表示できません（通知サーバーがありません）。期限は「予定」で確認"
            "して下さい。");
    }
}

void ScheduleWindowClosed(EditorParts& p) {
    if (p.schedule.checkedUpTo && !p.schedule.passed) {
        NoteSeen(p, p.schedule.now());
    }
}

}  // namespace brenvale
