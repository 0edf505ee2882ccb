// The main window under a real window manager: its frame, maximising and restoring, moves by
// the user, and another application taking the focus.
#include <QProcess>
#include <QScreen>
#include <QWindow>

#include <filesystem>

#include "common/path.h"
#include "test_window.h"
#include "ui_test_registry.h"

using namespace brenvale;

namespace {

constexpr char kHelperSwitch[] = "--other-application";

// The window of "another application": this program started again with kHelperSwitch.
int RunOtherApplication(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("other application"));
    window.resize(200, 100);
    window.show();
    window.activateWindow();
    return QApplication::exec();
}

std::string Ini(const std::string& path) {
    return test::ReadBytes(path);
}

bool IniHolds(const std::string& ini, const std::string& line) {
    return ini.find("\r\n" + line + "\r\n") != std::string::npos;
}

}  // namespace

class FrameX11Test : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void topLeftZeroKeepsTheTitleBarOnTheScreen();
    void aDocumentsBoundsAreTheOuterFrameToo();
    void aMaximisedStartRestoresToTheStoredPlaceWithMovingOn();
    void aWindowDraggedPastTheEdgeIsPutBack();
    void autoSaveRunsWhileAnotherApplicationHasTheFocus();

private:
    void make(const std::string& settings);
    std::string settingsFile() const { return dir_->file("brenvale.ini"); }

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
};

void FrameX11Test::initTestCase() {
    // The window manager starts beside the test: wait until it frames a new window.
    for (int tries = 0; tries < 50; ++tries) {
        QWidget probe;
        probe.show();
        QTest::qWait(200);
        if (probe.frameGeometry() != probe.geometry()) {
            return;
        }
    }
    QFAIL("no window manager frames the windows");
}

void FrameX11Test::init() {
    dir_ = std::make_unique<test::TempDir>();
}

void FrameX11Test::cleanup() {
    if (window_) {
        window_->editor().session().setModified(false);
        window_->close();
    }
    window_.reset();
    dir_.reset();
}

void FrameX11Test::make(const std::string& settings) {
    test::WriteBytes(settingsFile(), settings);
    window_ = test::MakeWindow(*dir_);
    // The window manager's frame arrives after the window is shown.
    QTest::qWait(600);
}

void FrameX11Test::topLeftZeroKeepsTheTitleBarOnTheScreen() {
    make("[Window]\r\nTop=0\r\nLeft=0\r\nWidth=573\r\nHeight=376\r\n");
    QRect frame = window_->frameGeometry();
    QCOMPARE(frame, QRect(0, 0, 573, 376));
    QVERIFY(window_->geometry().top() > 0);  // the title bar is above the client area
    QVERIFY(window_->close());
    window_.reset();
    std::string ini = Ini(settingsFile());
    for (const char* line : {"Height=376", "Width=573", "Top=0", "Left=0", "State=1"}) {
        QVERIFY2(IniHolds(ini, line), line);
    }
}

void FrameX11Test::aDocumentsBoundsAreTheOuterFrameToo() {
    make("[Window]\r\nTop=200\r\nLeft=200\r\n");
    std::string path = dir_->file("placed.bnv");
    test::WriteBytes(path, "\x07Height300\r\n\x07Width450\r\n\x07Top0\r\n\x07Left0\r\nA@00@\r\n");
    window_->editor().files().openDocument(path);
    QTRY_COMPARE_WITH_TIMEOUT(window_->frameGeometry(), QRect(0, 0, 450, 300), 3000);
    // Saved again, the document keeps those bounds.
    window_->editor().session().setModified(true);
    window_->editor().execute(CommandId::Save);
    QVERIFY(test::ReadBytes(path).starts_with(
        "\x07Height300\r\n\x07Width450\r\n\x07Top0\r\n\x07Left0\r\n"));
}

void FrameX11Test::aMaximisedStartRestoresToTheStoredPlaceWithMovingOn() {
    make("[Window]\r\nTop=100\r\nLeft=50\r\nWidth=500\r\nHeight=300\r\nState=0\r\nMoving=1\r\n");
    QVERIFY(window_->isMaximized());
    window_->showNormal();
    QTest::qWait(1000);
    QCOMPARE(window_->frameGeometry(), QRect(50, 100, 500, 300));
    // Maximising and restoring again comes back to the same place.
    window_->showMaximized();
    QTest::qWait(600);
    window_->showNormal();
    QTest::qWait(1000);
    QCOMPARE(window_->frameGeometry(), QRect(50, 100, 500, 300));
    window_->showMaximized();
    QTest::qWait(600);
    QVERIFY(window_->close());
    window_.reset();
    std::string ini = Ini(settingsFile());
    for (const char* line : {"Height=300", "Width=500", "Top=100", "Left=50", "State=0"}) {
        QVERIFY2(IniHolds(ini, line), line);
    }
}

void FrameX11Test::aWindowDraggedPastTheEdgeIsPutBack() {
    make("[Window]\r\nTop=100\r\nLeft=50\r\nMoving=1\r\n");
    // A move the window system makes, as a drag by the user does.
    QString id = QString::number(window_->winId());
    QCOMPARE(QProcess::execute("xdotool", {"windowmove", id, "-120", "80"}), 0);
    QTRY_COMPARE_WITH_TIMEOUT(window_->frameGeometry().left(), 0, 3000);
    QCOMPARE(window_->frameGeometry().width(), 573);
}

void FrameX11Test::autoSaveRunsWhileAnotherApplicationHasTheFocus() {
    make("[Save]\r\nAutoSv=2\r\nInterval=100\r\n");
    const std::string copy = dir_->file("無題.tmp");
    QTRY_VERIFY_WITH_TIMEOUT(window_->isActiveWindow(), 3000);
    QProcess other;
    other.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("ui_frame_x11_tests"), kHelperSwitch});
    QVERIFY(other.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == nullptr, 5000);
    window_->editor().execute(CommandId::AddTree);
    QTRY_VERIFY_WITH_TIMEOUT(FileExists(copy), 3000);
    other.kill();
    other.waitForFinished();
}

int FrameX11TestMain(int argc, char** argv) {
    if (argc > 1 && std::string_view(argv[1]) == kHelperSwitch) {
        return RunOtherApplication(argc, argv);
    }
    QApplication app(argc, argv);
    FrameX11Test test;
    return QTest::qExec(&test, argc, argv);
}

BRENVALE_UI_TEST_MAIN(ui_frame_x11_tests, FrameX11TestMain);

#include "frame_x11_test.moc"
