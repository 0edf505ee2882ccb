// The options dialog driven by real keys on a private X display.
#include <QDialog>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include "test_window.h"
#include "ui_test_registry.h"

using namespace brenvale;

class OptionsDialogX11Test : public QObject {
    Q_OBJECT
private slots:
    void ctrlPThenEnterWritesTheOptionsAndCloses();
};

void OptionsDialogX11Test::ctrlPThenEnterWritesTheOptionsAndCloses() {
    test::TempDir dir;
    QTRY_VERIFY_WITH_TIMEOUT(QProcess::execute("xdotool", {"get_desktop"}) == 0, 5000);
    std::unique_ptr<MainWindow> window = test::MakeWindow(dir);
    window->activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(window->isActiveWindow(), 5000);

    // The keys come from outside while the dialog runs its own loop. A dialog that Enter
    // leaves open is noted and cancelled, so that the test goes on.
    QString opened;
    QTimer::singleShot(1000, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = modal->windowTitle();
        }
    });
    bool leftOpen = false;
    QTimer::singleShot(6000, [&] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            leftOpen = true;
            modal->reject();
        }
    });
    QProcess xdotool;
    xdotool.start("xdotool", {"key", "--clearmodifiers", "ctrl+p", "sleep", "2", "key",
                              "--clearmodifiers", "Return"});
    // The dialog's loop runs inside this wait until the dialog closes.
    QTest::qWait(7000);
    if (xdotool.state() != QProcess::NotRunning) {
        QVERIFY(xdotool.waitForFinished(10000));
    }
    QCOMPARE(xdotool.exitStatus(), QProcess::NormalExit);
    QCOMPARE(xdotool.exitCode(), 0);
    QCOMPARE(opened, QStringLiteral("オプション設定"));
    QVERIFY2(!leftOpen, "Enter left the options dialog open");
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    // OK wrote every option, the colours left to the desktop aside.
    const std::string written = test::ReadBytes(dir.file("brenvale.ini"));
    QVERIFY(written.find("[Window]\r\nMoving=0\r\n") != std::string::npos);
    QVERIFY(written.find("\r\nLCUnde=0\r\n") != std::string::npos);
    QVERIFY(written.find("Color=") == std::string::npos);

    window->editor().session().setModified(false);
    window->close();
}

BRENVALE_UI_TEST(ui_options_dialog_x11_tests, OptionsDialogX11Test);
#include "options_dialog_x11_test.moc"
