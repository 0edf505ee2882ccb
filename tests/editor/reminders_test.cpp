// Reminders by the editor's clock: due at their time, the buttons of a notification, the ones
// that passed while the document was closed listed once, and no notification server.
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::Sjis;
using V = std::vector<std::string>;

constexpr Date kThursday{2026, 12, 24};

class Reminders : public test::EditorTest {
protected:
    Reminders() {
        editor.schedule().setClock(clock);
        editor.schedule().setSeenTimes(SeenTimes(dir.file("seen")));
    }

    void Open() {
        test::WriteBytes(path, Sjis("仕事@00@\r\n"
                                    "\b□a due:2026-12-24T09:00\r\n"
                                    "\b□b due:2026-12-24T09:00 rec:1d\r\n"
                                    "\b□c due:2026-12-23T20:00\r\n"
                                    "\b■d due:2026-12-24T08:30\r\n"
                                    "\b□e due:2026-12-24\r\n"));
        editor.session().setModified(false);
        editor.files().openDocument(path);
        // The open leaves the reminders to a tick as soon as the document is shown, as the
        // window's event loop runs it after the first paint.
        ASSERT_EQ(host.clockTimers.back(), 0);
        editor.schedule().clockTick();
    }

    V Summaries() {
        V out;
        for (const Notification& note : host.notifications) {
            out.push_back(note.summary);
        }
        return out;
    }

    const Notification& Last() { return host.notifications.back(); }

    test::FakeClock clock{{kThursday, 8 * 3600}};
    test::TempDir dir;
    std::string path = dir.file("todo.bnv");
};

TEST_F(Reminders, ComeAtTheirTimeWithTheItemAndWhereItIs) {
    Open();
    // The one that passed before the document was opened, listed in one notification.
    EXPECT_EQ(Summaries(), (V{"1 件の期限が過ぎています"}));
    EXPECT_EQ(Last().body, "c due:2026-12-23T20:00\ntodo.bnv");
    // The timer never sleeps longer than a few minutes.
    ASSERT_FALSE(host.clockTimers.empty());
    EXPECT_EQ(host.clockTimers.back(), ScheduleClock::kLongestWaitMs);
    host.notifications.clear();
    clock.set(kThursday, 8, 59);
    editor.schedule().clockTick();
    EXPECT_EQ(host.clockTimers.back(), 60 * 1000);
    EXPECT_TRUE(host.notifications.empty());
    clock.set(kThursday, 9);
    editor.schedule().clockTick();
    EXPECT_EQ(Summaries(), (V{"a due:2026-12-24T09:00", "b due:2026-12-24T09:00 rec:1d"}));
    EXPECT_EQ(Last().body, "仕事\ntodo.bnv");
    ASSERT_EQ(Last().actions.size(), 3u);
    EXPECT_EQ(Last().actions[0], (std::pair<std::string, std::string>{"done", "完了"}));
    // Once each.
    clock.set(kThursday, 9, 1);
    editor.schedule().clockTick();
    EXPECT_EQ(host.notifications.size(), 2u);
}

TEST_F(Reminders, DoneTicksTheItemSnoozeComesBackOpenGoesThere) {
    Open();
    clock.set(kThursday, 9);
    editor.schedule().clockTick();
    ASSERT_EQ(host.notifications.size(), 3u);
    uint64_t a = host.notifications[1].key;
    uint64_t b = host.notifications[2].key;
    // A repeating one is re-armed, as its box would do.
    editor.schedule().notificationAction(b, "done");
    const ItemList& items = editor.document().first()->items;
    EXPECT_EQ(items[1].text(), "b due:2026-12-25T09:00 rec:1d");
    EXPECT_FALSE(items[1].checked());
    editor.execute(CommandId::Undo);
    EXPECT_EQ(items[1].text(), "b due:2026-12-24T09:00 rec:1d");
    // A button of a notification already answered does nothing.
    editor.schedule().notificationAction(b, "done");
    EXPECT_EQ(items[1].text(), "b due:2026-12-24T09:00 rec:1d");

    editor.schedule().notificationAction(a, "snooze");
    EXPECT_EQ(host.clockTimers.back(), ScheduleClock::kLongestWaitMs);
    clock.set(kThursday, 9, 9);
    editor.schedule().clockTick();
    EXPECT_EQ(host.notifications.size(), 3u);
    EXPECT_EQ(host.clockTimers.back(), 60 * 1000);
    clock.set(kThursday, 9, 10);
    editor.schedule().clockTick();
    ASSERT_EQ(host.notifications.size(), 4u);
    EXPECT_EQ(Last().summary, "a due:2026-12-24T09:00");
    editor.tree().selectTopic(nullptr);
    editor.schedule().notificationAction(Last().key, "open");
    EXPECT_EQ(host.windowCommands, (V{"raise"}));
    EXPECT_EQ(editor.list().rowText(editor.list().selectedRow()), "a due:2026-12-24T09:00");
    // The notification of those that passed leads to the agenda.
    editor.schedule().notificationAction(host.notifications[0].key, "open");
    EXPECT_EQ(host.windowCommands, (V{"raise", "raise", "agenda"}));
}

TEST_F(Reminders, ThoseThatPassedWhileClosedAreListedOnce) {
    Open();
    ASSERT_EQ(host.notifications.size(), 1u);
    std::string other = dir.file("other.bnv");
    test::WriteBytes(other, "other@00@\r\n");
    editor.files().openDocument(other);
    // Opened again after 9:00: the two of 9:00 passed while it was closed.
    clock.set(kThursday, 12);
    Open();
    EXPECT_EQ(Summaries(), (V{"1 件の期限が過ぎています", "2 件の期限が過ぎています"}));
    EXPECT_EQ(Last().body, "a due:2026-12-24T09:00\nb due:2026-12-24T09:00 rec:1d\ntodo.bnv");
    // They were listed: the next open lists nothing.
    editor.files().openDocument(other);
    clock.set(kThursday, 12, 30);
    Open();
    EXPECT_EQ(host.notifications.size(), 2u);
    // Nor after the window was closed with it.
    editor.files().windowClosed();
    clock.set(kThursday, 13);
    Open();
    EXPECT_EQ(host.notifications.size(), 2u);
}

TEST_F(Reminders, ThosePassedWaitForTheFirstTickAndStayForTheNextOpenWithoutIt) {
    Open();
    host.notifications.clear();
    std::string other = dir.file("other.bnv");
    test::WriteBytes(other, "other@00@\r\n");
    editor.files().openDocument(other);
    // Opened at 12:00 and closed before the window showed it: nothing listed, nothing lost.
    clock.set(kThursday, 12);
    editor.files().openDocument(path);
    EXPECT_TRUE(host.notifications.empty());
    editor.files().windowClosed();
    clock.set(kThursday, 13);
    Open();
    EXPECT_EQ(Summaries(), (V{"2 件の期限が過ぎています"}));
}

TEST_F(Reminders, WithoutANotificationServerTheHintSaysSoOnce) {
    Open();
    editor.schedule().notificationFailed();
    std::string hint = editor.hintText();
    EXPECT_NE(hint.find("通知"), std::string::npos);
    editor.setHint("|other");
    editor.schedule().notificationFailed();
    EXPECT_EQ(editor.hintText(), "other");
}

}  // namespace
}  // namespace brenvale
