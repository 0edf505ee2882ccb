// The recovery copy in the window: its timer, the question at start and the normal close.
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>

#include "editor/recovery_copy.h"
#include "support/temp_dir.h"
#include "ui/codec.h"
#include "ui/main_window.h"
#include "ui_test_registry.h"

using namespace brenvale;

namespace {

namespace fs = std::filesystem;

// Clicks the button whose text starts with `button` in the next message box, keeping the
// box's text.
void AnswerNextBox(const QString& button, QString* text) {
    QTimer::singleShot(0, [button, text] {
        for (int tries = 0; tries < 300; ++tries) {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                *text = box->text();
                for (QAbstractButton* b : box->buttons()) {
                    if (b->text().startsWith(button)) {
                        b->click();
                        return;
                    }
                }
                QFAIL(qPrintable("no button " + button));
            }
            QTest::qWait(10);
        }
        QFAIL("no message box came up");
    });
}

int CopiesIn(const std::string& folder) {
    int copies = 0;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        copies += entry.path().extension() == ".bnv";
    }
    return copies;
}

}  // namespace

class RecoveryWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void typingIsCopiedAndANormalCloseRemovesTheCopy();
    void aLeftOverCopyIsOfferedAndRestoredAtStart();
    void aFolderThatCannotBeMadeIsReported();

private:
    // The window; `beforeStart` runs just before its start-up steps.
    void make(const std::function<void()>& beforeStart = {});
    std::string folder() const { return dir_->file("state/brenvale/recovery"); }

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
};

void RecoveryWindowTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(dir_->file("state")));
}

void RecoveryWindowTest::make(const std::function<void()>& beforeStart) {
    StartupOptions options;
    options.programPath = QApplication::applicationFilePath();
    options.companionFolder = QString::fromStdString(dir_->path());
    options.settingsFile = QString::fromStdString(dir_->file("brenvale.ini"));
    options.shortcutFile = QString::fromStdString(dir_->file("brenvale.key"));
    window_ = std::make_unique<MainWindow>(options);
    window_->show();
    QApplication::setActiveWindow(window_.get());
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    if (beforeStart) {
        beforeStart();
    }
    window_->start();
}

void RecoveryWindowTest::cleanup() {
    if (window_) {
        window_->editor().session().setModified(false);
        window_->close();
    }
    window_.reset();
    dir_.reset();
}

void RecoveryWindowTest::typingIsCopiedAndANormalCloseRemovesTheCopy() {
    make();
    QLineEdit* edit = window_->treeEdit();
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("plan"));
    QCOMPARE(CopiesIn(folder()), 0);
    // A few seconds after the last key.
    QTRY_COMPARE_WITH_TIMEOUT(CopiesIn(folder()), 1, 8000);
    QString question;
    AnswerNextBox(QStringLiteral("いいえ"), &question);
    QVERIFY(window_->close());
    QVERIFY(question.contains(QStringLiteral("変更を保存しますか？")));
    QCOMPARE(CopiesIn(folder()), 0);
    window_.reset();
    QVERIFY(fs::is_empty(folder()));
}

void RecoveryWindowTest::aLeftOverCopyIsOfferedAndRestoredAtStart() {
    std::string plan = dir_->file("plan.bnv");
    {
        RecoveryStore gone(folder());
        gone.WriteCopy("\x07TreeWidth150\r\nrestored@00@\r\n\x08\x81\xA0item\r\n", {plan});
    }
    QString question;
    make([&] { AnswerNextBox(QStringLiteral("はい"), &question); });
    QVERIFY(question.contains(QStringLiteral("復元しますか")));
    QVERIFY(question.contains(FromUtf8(plan)));
    Editor& editor = window_->editor();
    QVERIFY(editor.session().isModified());
    QCOMPARE(editor.session().fileName(), plan);
    QCOMPARE(window_->treeEdit()->text(), QStringLiteral("restored"));
    QVERIFY(window_->windowTitle().endsWith(QStringLiteral("plan.bnv - Brenvale")));
    QCOMPARE(window_->treeWidth(), 150);
    QVERIFY(!fs::exists(plan));
    QCOMPARE(CopiesIn(folder()), 1);
}

void RecoveryWindowTest::aFolderThatCannotBeMadeIsReported() {
    test::WriteBytes(dir_->file("state"), "a file where the folder should be");
    QString text;
    make([&] { AnswerNextBox(QStringLiteral("OK"), &text); });
    QVERIFY(text.contains(QStringLiteral("復元用のフォルダー")));
    QVERIFY(text.contains(QStringLiteral("異常終了したときに失われます")));
    QCOMPARE(window_->editor().session().recovery(), nullptr);
    window_->editor().execute(CommandId::AddTree);
    QVERIFY(window_->editor().session().isModified());
}

BRENVALE_UI_TEST(ui_recovery_tests, RecoveryWindowTest);
#include "recovery_window_test.moc"
