// The real window with real files and real file-system events: another program changes,
// replaces or deletes the open document's file, and the window follows it or asks.
#include <QApplication>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <filesystem>

#include "document/document_writer.h"
#include "editor/open_file_lock.h"
#include "modal_answers.h"
#include "support/answering_host.h"
#include "support/editor_test_access.h"
#include "support/main_window_test_access.h"
#include "support/temp_dir.h"
#include "test_window.h"
#include "ui/check_list_view.h"
#include "ui/file_watch.h"
#include "ui/main_window.h"
#include "ui_test_registry.h"
#include "window_fixture.h"

using namespace brenvale;
using test::Answer;
using test::ChooseFile;

namespace {

const QString kReloaded = QStringLiteral("ディスク上で変更されたため再読み込みしました");

// "caption" lines, a TAB per level, and "\b" + mark + text Items (ASCII).
std::string Doc(const std::string& lines) {
    std::string bytes;
    size_t start = 0;
    while (start < lines.size()) {
        size_t end = lines.find('\n', start);
        std::string line = lines.substr(start, end - start);
        if (size_t b = line.find('\b'); b != std::string::npos) {
            line.insert(b + 1, "\x81\xA0");
        }
        bytes += line + "\r\n";
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return bytes;
}

}  // namespace

class FileWatchTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void anUnmodifiedDocumentFollowsEveryKindOfWrite();
    void aModifiedDocumentAsksOnceAndReloadTakesTheirs();
    void saveAsFromTheQuestionKeepsTheEditsElsewhere();
    void aSaveAfterAnotherProgramsWriteAsksAndCancelLeavesTheirBytes();
    void autoSaveOverTheDocumentWritesTheTemporaryCopy();
    void aDeletedFileIsSavedAgain();
    void aFolderDeletedAndMadeAgainIsWatchedAgain();
    void activatingTheWindowLooksAtTheFile();
    void aDocumentAnotherEditorHasOpenIsAskedAboutFirst();

private:
    Editor& editor() { return window_->editor(); }
    FileWatch& watch() { return *MainWindowTestAccess::fileWatch(*window_); }
    void open(const std::string& bytes);
    // Another program replaces the file with a new one renamed over it.
    void renameOver(const std::string& bytes);
    QString hint() const { return MainWindowTestAccess::hintPanel(*window_)->text(); }
    QStringList rows() { return test::Rows(editor()); }
    QString selected() {
        return QString::fromStdString(editor().selection().topic()->caption.str());
    }
    std::string onDisk() const { return test::ReadBytes(path_); }
    std::string serialized() {
        return SerializeDocument(EditorTestAccess::document(editor()),
                                 MainWindowTestAccess::host(*window_).CurrentGeometry(), true);
    }
    // Waits until the window has taken a look at the file after now.
    bool looked(int before) {
        return QTest::qWaitFor([&] { return watch().looks() > before; }, 5000);
    }

    std::unique_ptr<test::TempDir> dir_;
    std::string path_;
    std::unique_ptr<MainWindow> window_;
};

void FileWatchTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    path_ = dir_->file("plan.bnv");
}

void FileWatchTest::cleanup() {
    if (window_) {
        window_->editor().session().setModified(false);
        window_->close();
    }
    window_.reset();
    dir_.reset();
}

void FileWatchTest::open(const std::string& bytes) {
    test::WriteBytes(path_, bytes);
    window_ = test::MakeWindow(*dir_, {QString::fromStdString(path_)});
    QCOMPARE(editor().session().fileName(), path_);
    QCOMPARE(watch().watchedFiles(), QStringList{QString::fromStdString(path_)});
    QCOMPARE(watch().watchedFolders(), QStringList{QString::fromStdString(dir_->path())});
}

void FileWatchTest::renameOver(const std::string& bytes) {
    test::WriteBytes(path_ + ".part", bytes);
    QCOMPARE(std::rename((path_ + ".part").c_str(), path_.c_str()), 0);
}

void FileWatchTest::anUnmodifiedDocumentFollowsEveryKindOfWrite() {
    open(Doc("A\n\tA1\n\t\ba\n\t\bb\nB"));
    editor().tree().selectTopic(test::Find(editor(), "A1"));
    editor().selectRow(1);

    // A sync tool's replace, twice: the new file is watched again each time.
    renameOver(Doc("N\nA\n\tA1\n\t\ba\n\t\bb\n\t\bc\nB"));
    QTRY_COMPARE(hint(), kReloaded);
    QCOMPARE(selected(), QStringLiteral("A1"));
    QCOMPARE(editor().list().selectedRow(), 1);
    QCOMPARE(rows(), (QStringList{"a", "b", "c"}));
    QVERIFY(!editor().session().isModified());
    QTRY_COMPARE(watch().watchedFiles(), QStringList{QString::fromStdString(path_)});
    editor().setHint("|");
    renameOver(Doc("A\n\tA1\n\t\bz"));
    QTRY_COMPARE(rows(), QStringList{"z"});
    QCOMPARE(hint(), kReloaded);

    // A text editor's write in place.
    test::WriteBytes(path_, Doc("A\n\tA1\n\t\bin place"));
    QTRY_COMPARE(rows(), QStringList{"in place"});
    // The views show the document read again (the tree's rows: A and A1).
    QCOMPARE(window_->tree()->model()->rowCount(), 2);
    QCOMPARE(window_->list()->model()->rowCount(), 1);

    // A touch reads nothing again.
    Topic* shown = editor().selection().topic();
    int looks = watch().looks();
    std::filesystem::last_write_time(
        path_, std::filesystem::last_write_time(path_) + std::chrono::seconds(5));
    QVERIFY(looked(looks));
    QCOMPARE(editor().selection().topic(), shown);
}

void FileWatchTest::aModifiedDocumentAsksOnceAndReloadTakesTheirs() {
    open(Doc("A\n\bmine"));
    editor().editTextChanged(EditBox::Tree, "edited");
    QString question;
    QString defaultButton;
    test::WhenModal<QMessageBox>([&](QMessageBox* box) {
        question = box->text();
        defaultButton = box->defaultButton()->text();
        test::Press(box, QStringLiteral("キャンセル"));
    });
    renameOver(Doc("A\n\btheirs"));
    QTRY_VERIFY(!question.isEmpty());
    QCOMPARE(question, QStringLiteral("「%1」は他のプログラムによって変更されました。\n"
                                      "再読み込みすると、保存していない変更は失われます。")
                           .arg(QString::fromStdString(path_)));
    // Enter keeps the user's changes.
    QCOMPARE(defaultButton, QStringLiteral("キャンセル"));
    QVERIFY(editor().session().isModified());
    QCOMPARE(rows(), QStringList{"mine"});

    // The same version again asks nothing.
    int looks = watch().looks();
    renameOver(onDisk());
    QVERIFY(looked(looks));
    QVERIFY(!QApplication::activeModalWidget());

    // A newer one asks again; "再読み込み" takes it.
    Answer(QStringLiteral("再読み込み"));
    renameOver(Doc("A\n\bnewer"));
    QTRY_COMPARE(rows(), QStringList{"newer"});
    QVERIFY(!editor().session().isModified());
    QCOMPARE(onDisk(), Doc("A\n\bnewer"));
}

void FileWatchTest::saveAsFromTheQuestionKeepsTheEditsElsewhere() {
    open(Doc("A\n\bmine"));
    editor().editTextChanged(EditBox::Tree, "edited");
    std::string mine = serialized();
    std::string elsewhere = dir_->file("mine.bnv");
    test::WhenModal<QMessageBox>([&](QMessageBox* box) {
        ChooseFile(QString::fromStdString(elsewhere));
        test::Press(box, QStringLiteral("別名で保存"));
    });
    renameOver(Doc("A\n\btheirs"));
    QTRY_COMPARE(editor().session().fileName(), elsewhere);
    QCOMPARE(test::ReadBytes(elsewhere), mine);
    QCOMPARE(onDisk(), Doc("A\n\btheirs"));
    QTRY_COMPARE(watch().watchedFiles(), QStringList{QString::fromStdString(elsewhere)});
}

void FileWatchTest::aSaveAfterAnotherProgramsWriteAsksAndCancelLeavesTheirBytes() {
    open(Doc("A\n\bmine"));
    editor().editTextChanged(EditBox::Tree, "edited");
    QString watchQuestion;
    Answer(QStringLiteral("キャンセル"), &watchQuestion);
    renameOver(Doc("A\n\btheirs"));
    QTRY_VERIFY(!watchQuestion.isEmpty() && !QApplication::activeModalWidget());
    const std::string theirs = onDisk();

    QString question;
    Answer(QStringLiteral("キャンセル"), &question);
    QApplication::setActiveWindow(window_.get());
    QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier);
    QTRY_VERIFY(!question.isEmpty());
    QCOMPARE(question,
             QStringLiteral("「%1」は他のプログラムによって変更されています。上書きしますか？")
                 .arg(QString::fromStdString(path_)));
    QCOMPARE(onDisk(), theirs);
    QVERIFY(editor().session().isModified());

    Answer(QStringLiteral("はい(&Y)"));
    QApplication::setActiveWindow(window_.get());
    QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier);
    QTRY_VERIFY(!editor().session().isModified());
    QCOMPARE(onDisk(), serialized());
}

void FileWatchTest::autoSaveOverTheDocumentWritesTheTemporaryCopy() {
    open(Doc("A\n\bmine"));
    Settings settings = editor().settings();
    settings.autoSave = AutoSaveMode::OverDocument;
    settings.confirmAutoSave = false;
    editor().setSettings(settings);
    editor().editTextChanged(EditBox::Tree, "edited");
    std::string mine = serialized();
    QString watchQuestion;
    Answer(QStringLiteral("キャンセル"), &watchQuestion);
    renameOver(Doc("A\n\btheirs"));
    QTRY_VERIFY(!watchQuestion.isEmpty() && !QApplication::activeModalWidget());

    editor().session().setAutoSaveInterval(50);
    std::string copy = dir_->file("plan.tmp");
    QTRY_VERIFY(std::filesystem::exists(copy));
    QCOMPARE(test::ReadBytes(copy), mine);
    QCOMPARE(onDisk(), Doc("A\n\btheirs"));
    QVERIFY(hint().contains(QStringLiteral("plan.tmp")));
    editor().session().setAutoSaveInterval(600000);
}

void FileWatchTest::aDeletedFileIsSavedAgain() {
    open(Doc("A\n\ba"));
    std::filesystem::remove(path_);
    QTRY_VERIFY(editor().session().isModified());
    QVERIFY(hint().contains(QStringLiteral("削除されました")));
    QVERIFY(watch().watchedFiles().isEmpty());
    QCOMPARE(watch().watchedFolders(), QStringList{QString::fromStdString(dir_->path())});
    QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!editor().session().isModified());
    QCOMPARE(onDisk(), serialized());
    QTRY_COMPARE(watch().watchedFiles(), QStringList{QString::fromStdString(path_)});
}

void FileWatchTest::aFolderDeletedAndMadeAgainIsWatchedAgain() {
    const std::string folder = dir_->file("a/b");
    std::filesystem::create_directories(folder);
    path_ = folder + "/plan.bnv";
    test::WriteBytes(path_, Doc("A\n\bbefore"));
    window_ = test::MakeWindow(*dir_, {QString::fromStdString(path_)});
    QCOMPARE(watch().watchedFolders(), QStringList{QString::fromStdString(folder)});

    // The whole chain goes: the nearest folder still there is watched instead.
    std::filesystem::remove_all(dir_->file("a"));
    QTRY_VERIFY(editor().session().isModified());
    QTRY_COMPARE(watch().watchedFolders(), QStringList{QString::fromStdString(dir_->path())});

    // Made again a level at a time, and the file written in it: seen without the window
    // being activated again.
    std::filesystem::create_directory(dir_->file("a"));
    QTRY_COMPARE(watch().watchedFolders(), QStringList{QString::fromStdString(dir_->file("a"))});
    std::filesystem::create_directory(folder);
    test::WriteBytes(path_, Doc("A\n\bafter"));
    QTRY_COMPARE(rows(), QStringList{"after"});
    QVERIFY(!editor().session().isModified());
    QTRY_COMPARE(watch().watchedFolders(), QStringList{QString::fromStdString(folder)});
    QTRY_COMPARE(watch().watchedFiles(), QStringList{QString::fromStdString(path_)});
}

void FileWatchTest::activatingTheWindowLooksAtTheFile() {
    open(Doc("A\n\ba"));
    // Where no file-system events come (a network share), the activation still looks.
    auto* watcher = watch().findChild<QFileSystemWatcher*>();
    QVERIFY(watcher);
    watcher->blockSignals(true);
    test::WriteBytes(path_, Doc("A\n\bb, written meanwhile"));
    int looks = watch().looks();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(window_.get(), &activate);
    QVERIFY(looked(looks));
    QCOMPARE(rows(), QStringList{"b, written meanwhile"});
    watcher->blockSignals(false);
}

void FileWatchTest::aDocumentAnotherEditorHasOpenIsAskedAboutFirst() {
    test::WriteBytes(path_, Doc("A\n\bother"));
    AnsweringHost otherHost;
    Editor other(otherHost, Settings{});
    other.session().enableOpenLock(
        std::make_unique<OpenFileLock>(OpenLockFoldersFromEnvironment()));
    other.files().openDocument(path_);

    QString question;
    Answer(QStringLiteral("いいえ(&N)"), &question);
    window_ = test::MakeWindow(*dir_, {QString::fromStdString(path_)});
    QCOMPARE(question,
             QStringLiteral("「%1」は別のウィンドウで開かれています。このまま開きますか？")
                 .arg(QString::fromStdString(path_)));
    QVERIFY(editor().session().fileName() != path_);

    other.session().windowClosed();
    editor().files().openDocument(path_);
    QCOMPARE(editor().session().fileName(), path_);
}

BRENVALE_UI_TEST(ui_file_watch_tests, FileWatchTest);
#include "file_watch_test.moc"
