// Reminders through a real notification server: on a private session bus with nothing started on
// demand, first with no server (the hint says so once, nothing fails), then with dunst, whose
// context menu chooses "完了" the way a user's click on the button does.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include "editor/clock.h"
#include "support/temp_dir.h"
#include "ui/desktop_notifications.h"
#include "ui_test_registry.h"
#include "window_fixture.h"

using namespace brenvale;

namespace {

constexpr Date kDay{2099, 12, 24};

// A clock the test moves; the reminders are due late in the century, so that opening the
// document by the machine's own clock finds none passed.
class MovingClock : public Clock {
public:
    LocalTime now() const override { return now_; }
    void set(int hour, int minute, int second = 0) {
        now_ = {kDay, hour * 3600 + minute * 60 + second};
    }

private:
    LocalTime now_{kDay, 8 * 3600};
};

bool ServerRuns() {
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(
        QString::fromLatin1(DesktopNotifications::kService));
}

QString Dunstctl(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("dunstctl"), arguments);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("(no answer)");
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

}  // namespace

class NotificationsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void withoutAServerTheHintSaysSoOnceAndNothingFails();
    void aReminderReachesTheServerWithoutTheFocusAndItsDoneButtonTicksTheItem();
    void cleanupTestCase();

private:
    test::TempDir dir_;
    QProcess dunst_;
};

void NotificationsTest::initTestCase() {
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under with-notification-bus.sh");
    QVERIFY(!ServerRuns());
}

void NotificationsTest::withoutAServerTheHintSaysSoOnceAndNothingFails() {
    // Declared first: the window still asks the clock while it closes.
    MovingClock clock;
    test::WindowFixture fixture("T\n\b□a due:2099-12-24T09:00\n\b□b due:2099-12-24T09:30");
    Editor& editor = fixture.editor();
    editor.schedule().setClock(clock);
    // The window settles first: its activation shows the focused part's hint, which would
    // otherwise replace the one looked for.
    QVERIFY(fixture.activate());
    QTest::qWait(200);
    QSignalSpy failures(fixture.window().notifications(), &DesktopNotifications::failed);
    clock.set(9, 0, 1);
    editor.schedule().clockTick();
    QTRY_COMPARE(failures.count(), 1);
    QVERIFY2(QString::fromStdString(editor.hintText())
                 .contains(QStringLiteral("通知サーバーがありません")),
             editor.hintText().c_str());
    // The next reminder fails as quietly: the hint is not repeated.
    editor.setHint("");
    clock.set(9, 30, 1);
    editor.schedule().clockTick();
    QTRY_COMPARE(failures.count(), 2);
    QCOMPARE(editor.hintText(), std::string());
    QCOMPARE(test::Rows(editor), (QStringList{"a due:2099-12-24T09:00", "b due:2099-12-24T09:30"}));
    QVERIFY(!editor.list().rowChecked(0));
}

void NotificationsTest::aReminderReachesTheServerWithoutTheFocusAndItsDoneButtonTicksTheItem() {
    // dunst runs its menu program over the buttons of the notifications shown; this one
    // chooses "完了".
    QString picker = QString::fromStdString(dir_.file("pick-done.sh"));
    QFile script(picker);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\ngrep -m 1 '完了'\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    QString config = QString::fromStdString(dir_.file("dunstrc"));
    QFile rc(config);
    QVERIFY(rc.open(QIODevice::WriteOnly));
    rc.write(QStringLiteral("[global]\n    dmenu = %1\n    follow = none\n").arg(picker).toUtf8());
    rc.close();
    dunst_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    dunst_.start(QStringLiteral("dunst"), {QStringLiteral("-config"), config});
    QVERIFY(dunst_.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(ServerRuns(), 15000);

    // Declared first: the window still asks the clock while it closes.
    MovingClock clock;
    test::WindowFixture fixture("T\n\b□first\n\b□call the bank due:2099-12-24T09:00");
    Editor& editor = fixture.editor();
    editor.schedule().setClock(clock);
    QVERIFY(fixture.activate());
    QSignalSpy failures(fixture.window().notifications(), &DesktopNotifications::failed);
    clock.set(8, 59, 59);
    editor.schedule().clockTick();
    QCOMPARE(Dunstctl({QStringLiteral("count"), QStringLiteral("displayed")}), QStringLiteral("0"));
    clock.set(9, 0, 1);
    editor.schedule().clockTick();
    QTRY_COMPARE_WITH_TIMEOUT(Dunstctl({QStringLiteral("count"), QStringLiteral("displayed")}),
                              QStringLiteral("1"), 10000);
    QCOMPARE(failures.count(), 0);
    // The window keeps the focus.
    QTest::qWait(200);
    QVERIFY(fixture.window().isActiveWindow());
    QVERIFY(!editor.list().rowChecked(1));
    // "完了", chosen in the server's own menu.
    Dunstctl({QStringLiteral("context")});
    QTRY_VERIFY_WITH_TIMEOUT(editor.list().rowChecked(1), 10000);
    QVERIFY(!editor.list().rowChecked(0));
    QVERIFY(editor.session().isModified());
}

void NotificationsTest::cleanupTestCase() {
    if (dunst_.state() != QProcess::NotRunning) {
        dunst_.terminate();
        if (!dunst_.waitForFinished(5000)) {
            dunst_.kill();
            dunst_.waitForFinished();
        }
    }
}

BRENVALE_UI_TEST(ui_notifications_x11_tests, NotificationsTest);
#include "notifications_x11_test.moc"
