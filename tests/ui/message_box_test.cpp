#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>

#include "modal_answers.h"
#include "support/main_window_test_access.h"
#include "support/temp_dir.h"
#include "ui/alert_sound.h"
#include "ui/error_report.h"
#include "ui/main_window.h"
#include "ui/message_box.h"
#include "ui_test_registry.h"

using namespace brenvale;

namespace {

QAbstractButton* ButtonWithText(QMessageBox* box, const QString& text) {
    for (QAbstractButton* b : box->buttons()) {
        if (b->text() == text) {
            return b;
        }
    }
    return nullptr;
}

}  // namespace

class MessageBoxTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void playsTheSoundOfItsKind();
    void standsInTheMiddleOfTheScreen();
    void theCloseBoxAnswersCancelAndEscapeTheEscapeButton();
    void theMergeQuestionsOfferMergeAndEscapeCancels();
    void aFailedLaunchShowsTheSystemsReason();
    void errorsAndALackOfMemoryAreReportedNotThrownIntoQt();

private:
    std::vector<MessageKind> played_;
};

void MessageBoxTest::init() {
    played_.clear();
    SetAlertSoundSink([this](MessageKind kind) { played_.push_back(kind); });
}

void MessageBoxTest::cleanup() {
    SetAlertSoundSink(nullptr);
}

void MessageBoxTest::playsTheSoundOfItsKind() {
    const MessageKind kinds[] = {MessageKind::Warning, MessageKind::Error, MessageKind::Information,
                                 MessageKind::Confirmation};
    for (MessageKind kind : kinds) {
        test::WhenModal<QMessageBox>([](QMessageBox* box) { ButtonWithText(box, "OK")->click(); });
        QCOMPARE(ShowMessageBox(nullptr, "x", kind, MessageButtons::Ok), MessageAnswer::Ok);
    }
    QCOMPARE(played_, std::vector<MessageKind>(std::begin(kinds), std::end(kinds)));
    QCOMPARE(QString(AlertSoundName(MessageKind::Warning)), QString("dialog-warning"));
    QCOMPARE(QString(AlertSoundName(MessageKind::Error)), QString("dialog-warning"));
    QCOMPARE(QString(AlertSoundName(MessageKind::Information)), QString("dialog-information"));
    QCOMPARE(QString(AlertSoundName(MessageKind::Confirmation)), QString("dialog-question"));
}

void MessageBoxTest::standsInTheMiddleOfTheScreen() {
    // An owner in a corner of the screen: the box does not centre on it.
    QWidget owner;
    owner.setGeometry(10, 10, 200, 150);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    QRect box;
    test::WhenModal<QMessageBox>([&box](QMessageBox* b) {
        box = b->frameGeometry();
        ButtonWithText(b, "OK")->click();
    });
    ShowMessageBox(&owner, "a longer message, so that the box has a size of its own",
                   MessageKind::Information, MessageButtons::Ok);
    QPoint middle = owner.screen()->availableGeometry().center();
    QVERIFY2((box.center() - middle).manhattanLength() <= 2,
             qPrintable(QString("box at %1,%2 %3x%4")
                            .arg(box.x())
                            .arg(box.y())
                            .arg(box.width())
                            .arg(box.height())));
}

void MessageBoxTest::theCloseBoxAnswersCancelAndEscapeTheEscapeButton() {
    for (MessageButtons buttons : {MessageButtons::YesNo, MessageButtons::Ok}) {
        test::WhenModal<QMessageBox>([](QMessageBox* box) { box->close(); });
        QCOMPARE(ShowMessageBox(nullptr, "x", MessageKind::Warning, buttons),
                 MessageAnswer::Cancel);
    }
    test::WhenModal<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    QCOMPARE(ShowMessageBox(nullptr, "x", MessageKind::Warning, MessageButtons::YesNo),
             MessageAnswer::No);
    test::WhenModal<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    QCOMPARE(ShowMessageBox(nullptr, "x", MessageKind::Warning, MessageButtons::YesNoCancel),
             MessageAnswer::Cancel);
    test::WhenModal<QMessageBox>(
        [](QMessageBox* box) { ButtonWithText(box, "いいえ(&N)")->click(); });
    QCOMPARE(ShowMessageBox(nullptr, "x", MessageKind::Warning, MessageButtons::YesNoCancel),
             MessageAnswer::No);
}

void MessageBoxTest::theMergeQuestionsOfferMergeAndEscapeCancels() {
    const QString merge = QStringLiteral("統合(&M)");
    struct Case {
        MessageButtons buttons;
        QStringList texts;
    };
    for (const Case& c : {Case{MessageButtons::ReloadMergeSaveAsCancel,
                               {QStringLiteral("再読み込み"), merge, QStringLiteral("別名で保存"),
                                QStringLiteral("キャンセル")}},
                          Case{MessageButtons::YesMergeNoCancel,
                               {QStringLiteral("はい(&Y)"), merge, QStringLiteral("いいえ(&N)"),
                                QStringLiteral("キャンセル")}}}) {
        QStringList shown;
        test::WhenModal<QMessageBox>([&](QMessageBox* box) {
            for (QAbstractButton* b : box->buttons()) {
                shown << b->text();
            }
            ButtonWithText(box, merge)->click();
        });
        QCOMPARE(ShowMessageBox(nullptr, "x", MessageKind::Warning, c.buttons),
                 MessageAnswer::Merge);
        shown.sort();
        QStringList expected = c.texts;
        expected.sort();
        QCOMPARE(shown, expected);
        test::WhenModal<QMessageBox>(
            [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
        QCOMPARE(ShowMessageBox(nullptr, "x", MessageKind::Warning, c.buttons),
                 MessageAnswer::Cancel);
    }
}

void MessageBoxTest::aFailedLaunchShowsTheSystemsReason() {
    test::TempDir dir;
    // A program file that may not be run.
    const std::string program = dir.file("brenvale");
    test::WriteBytes(program, "#!/bin/sh\n");
    std::filesystem::permissions(
        program, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    StartupOptions options;
    options.programPath = QString::fromStdString(program);
    options.companionFolder = QString::fromStdString(dir.path());
    options.settingsFile = QString::fromStdString(dir.file("brenvale.ini"));
    options.shortcutFile = QString::fromStdString(dir.file("brenvale.key"));
    MainWindow window(options);
    QString text;
    test::WhenModal<QMessageBox>([&text](QMessageBox* box) {
        text = box->text();
        ButtonWithText(box, "OK")->click();
    });
    MainWindowTestAccess::host(window).LaunchWithFile(dir.file("a.bnv"));
    QVERIFY2(text.startsWith(QStringLiteral("実行時にエラーが発生しました。(")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("ermission denied")), qPrintable(text));
    QCOMPARE(played_, std::vector<MessageKind>{MessageKind::Warning});
}

void MessageBoxTest::errorsAndALackOfMemoryAreReportedNotThrownIntoQt() {
    QString text;
    auto answer = [&text](QMessageBox* box) {
        text = box->text();
        ButtonWithText(box, "OK")->click();
    };
    test::WhenModal<QMessageBox>(answer);
    QVERIFY(!RunReporting([] { throw std::bad_alloc(); }));
    QCOMPARE(text, QStringLiteral("メモリが足りません"));
    test::WhenModal<QMessageBox>(answer);
    Guarded([] { throw Error("「x」は通常のファイルではありません。"); })();
    QCOMPARE(text, QStringLiteral("「x」は通常のファイルではありません。"));
    QVERIFY(RunReporting([] {}));
    QCOMPARE(played_, (std::vector<MessageKind>{MessageKind::Error, MessageKind::Error}));
}

BRENVALE_UI_TEST(ui_message_box_tests, MessageBoxTest);
#include "message_box_test.moc"
