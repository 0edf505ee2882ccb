#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>

#include <filesystem>

#include "common/path.h"
#include "modal_answers.h"
#include "test_window.h"
#include "ui/about_box.h"
#include "ui/application.h"
#include "ui/command_actions.h"
#include "ui_test_registry.h"

using namespace brenvale;
using test::Answer;

class FrameTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void autoSaveRunsWhileTheProgramIsInTheBackground();
    void theStoredBoundsAreTheOuterFrame();
    void theVersionDialogShowsEverythingWithTheJapaneseFont();
    void theVersionDialogSaysTheBuiltVersionAndTheTermsInJapanese();

private:
    void make(const std::string& settings);

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
};

void FrameTest::initTestCase() {
    SetUpJapanese(*static_cast<QApplication*>(QCoreApplication::instance()));
}

void FrameTest::init() {
    dir_ = std::make_unique<test::TempDir>();
}

void FrameTest::cleanup() {
    if (window_) {
        window_->editor().session().setModified(false);
        window_->close();
    }
    window_.reset();
    dir_.reset();
}

void FrameTest::make(const std::string& settings) {
    test::WriteBytes(dir_->file("brenvale.ini"), settings);
    window_ = test::MakeWindow(*dir_);
}

void FrameTest::autoSaveRunsWhileTheProgramIsInTheBackground() {
    make("[Save]\r\nAutoSv=2\r\nInterval=50\r\n");
    const std::string copy = dir_->file("無題.tmp");
    window_->editor().execute(CommandId::AddTree);
    // Another application has the focus: no window of the program is active.
    QApplication::setActiveWindow(nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(FileExists(copy), 3000);

    // Another window of the program is active: no tick saves.
    std::filesystem::remove(copy);
    QDialog other(window_.get());
    other.show();
    QApplication::setActiveWindow(&other);
    QTest::qWait(400);
    QVERIFY(!FileExists(copy));
    other.hide();
    QApplication::setActiveWindow(window_.get());
    QTRY_VERIFY_WITH_TIMEOUT(FileExists(copy), 3000);
}

void FrameTest::theStoredBoundsAreTheOuterFrame() {
    make("[Window]\r\nTop=0\r\nLeft=0\r\nWidth=600\r\nHeight=400\r\n");
    // The title bar and the frame are on the screen, not above it.
    QCOMPARE(window_->frameGeometry(), QRect(0, 0, 600, 400));
    window_->move(30, 40);
    QTRY_COMPARE(window_->frameGeometry().topLeft(), QPoint(30, 40));
    QVERIFY(window_->close());
    window_.reset();
    std::string ini = test::ReadBytes(dir_->file("brenvale.ini"));
    for (const char* line : {"Height=400", "Width=600", "Top=40", "Left=30"}) {
        QVERIFY2(ini.find(std::string("\r\n") + line + "\r\n") != std::string::npos, line);
    }
}

void FrameTest::theVersionDialogShowsEverythingWithTheJapaneseFont() {
    make("");
    AboutBox box(window_.get());
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QVERIFY(box.width() >= 424 && box.height() >= 197);
    const QList<QGroupBox*> groups = box.findChildren<QGroupBox*>();
    QCOMPARE(groups.size(), 2);
    for (QGroupBox* group : groups) {
        QVERIFY(box.rect().contains(group->geometry()));
        QList<QWidget*> parts;
        for (QWidget* part : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            parts << part;
        }
        for (QWidget* part : parts) {
            // Whole, inside its group, at least as high as its text needs.
            auto* label = qobject_cast<QLabel*>(part);
            QVERIFY2(group->contentsRect().contains(part->geometry()),
                     qPrintable(group->title() + ": " + (label ? label->text() : QString())));
            QVERIFY(part->height() >= part->minimumSizeHint().height());
            for (QWidget* other : parts) {
                QVERIFY(other == part || !other->geometry().intersects(part->geometry()));
            }
        }
    }
}

// What the About box says: the version the build was made as (CMake's project version), the
// copyright line and the terms of use, with Japanese captions and no placeholders left.
void FrameTest::theVersionDialogSaysTheBuiltVersionAndTheTermsInJapanese() {
    make("");
    AboutBox box(window_.get());
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QStringList texts;
    for (QGroupBox* group : box.findChildren<QGroupBox*>()) {
        texts << group->title();
    }
    for (QLabel* label : box.findChildren<QLabel*>()) {
        if (label->isVisible() && !label->text().isEmpty()) {
            texts << label->text();
        }
    }
    const QString all = texts.join(QLatin1Char('\n'));
    QVERIFY2(texts.contains(QStringLiteral("バージョン " BRENVALE_PROJECT_VERSION)),
             qPrintable(all));
    QVERIFY2(texts.contains(QStringLiteral("バージョン")), qPrintable(all));
    QVERIFY2(texts.contains(QStringLiteral("著作権")), qPrintable(all));
    QVERIFY2(all.contains(QStringLiteral("Copyright © ")), qPrintable(all));
    QVERIFY2(all.contains(QStringLiteral("フリーソフトウェア")), qPrintable(all));
    for (const char* placeholder : {"Version", "＜", "<Copyright>", "Freely", "for Linux"}) {
        QVERIFY2(!all.contains(QString::fromUtf8(placeholder)), placeholder);
    }
}

BRENVALE_UI_TEST(ui_frame_tests, FrameTest);
#include "frame_test.moc"
