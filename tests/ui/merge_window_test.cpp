// The window's merges with real files and real processes: "統合" in the question about a file
// another program changed, the conflicts shown in the find bar and counted in the status bar,
// and the conflict copies of sync tools offered at open and moved to the desktop's trash after
// the save.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <cstdio>
#include <filesystem>

#include "document/document_writer.h"
#include "merge/conflict_mark.h"
#include "modal_answers.h"
#include "support/editor_test_access.h"
#include "support/main_window_test_access.h"
#include "support/other_process.h"
#include "support/temp_dir.h"
#include "test_window.h"
#include "ui/codec.h"
#include "ui/find_bar.h"
#include "ui/find_results.h"
#include "ui/main_window.h"
#include "ui_test_registry.h"
#include "window_fixture.h"

using namespace brenvale;
namespace fs = std::filesystem;

namespace {

const QString kMerge = QStringLiteral("統合(&M)");

// "caption" lines, a TAB per level, and "\b" + text Items (ASCII, unchecked).
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

// The mark as the fixture's helpers show texts (their bytes taken as they are).
QString RawMark() {
    return QString::fromStdString(std::string(kConflictMark));
}

bool HoldsItem(const std::string& bytes, const std::string& item) {
    return bytes.find("\b\x81\xA0" + item + "\r\n") != std::string::npos;
}

}  // namespace

class MergeWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void mergeFromTheQuestionKeepsBothSidesAndTheSaveAsksNothing();
    void conflictsShowInTheFindBarAndTheStatusBarCountsThem();
    void anotherProcessWritesWhileTheWindowHasEdits();
    void conflictCopiesAreOfferedAtOpenAndTrashedAfterTheSave();
    void aCopyTheTrashRefusesStaysAndTheHintSaysSo();

private:
    Editor& editor() { return window_->editor(); }
    void open(const std::string& bytes);
    void renameOver(const std::string& bytes);
    std::string onDisk() const { return test::ReadBytes(path_); }
    std::string serialized() {
        return SerializeDocument(EditorTestAccess::document(editor()),
                                 MainWindowTestAccess::host(*window_).CurrentGeometry(), true);
    }
    void addItem(const char* caption, const std::string& text) {
        editor().tree().selectTopic(test::Find(editor(), caption));
        editor().selectRow(static_cast<int>(editor().list().rowCount()) - 1);
        editor().editTextChanged(EditBox::List, text);
        editor().execute(CommandId::ListAdd);
    }
    QStringList rowsOf(const char* caption) {
        editor().tree().selectTopic(test::Find(editor(), caption));
        return test::Rows(editor());
    }
    // Points the desktop's trash at a folder of the test.
    void privateTrash();

    std::unique_ptr<test::TempDir> dir_;
    std::string path_;
    std::unique_ptr<MainWindow> window_;
    QByteArray oldDataHome_;
};

void MergeWindowTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    path_ = dir_->file("plan.bnv");
    oldDataHome_ = qgetenv("XDG_DATA_HOME");
}

void MergeWindowTest::cleanup() {
    if (window_) {
        window_->editor().session().setModified(false);
        window_->close();
    }
    window_.reset();
    dir_.reset();
    qputenv("XDG_DATA_HOME", oldDataHome_);
}

void MergeWindowTest::open(const std::string& bytes) {
    test::WriteBytes(path_, bytes);
    window_ = test::MakeWindow(*dir_, {QString::fromStdString(path_)});
    QCOMPARE(editor().session().fileName(), path_);
}

void MergeWindowTest::renameOver(const std::string& bytes) {
    test::WriteBytes(path_ + ".part", bytes);
    QCOMPARE(std::rename((path_ + ".part").c_str(), path_.c_str()), 0);
}

void MergeWindowTest::privateTrash() {
    std::string data = dir_->file("data");
    fs::create_directory(data);
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data));
}

void MergeWindowTest::mergeFromTheQuestionKeepsBothSidesAndTheSaveAsksNothing() {
    open(Doc("A\n\ba\n\bb\nB"));
    addItem("A", "mine");
    QString question;
    test::WhenModal<QMessageBox>([&](QMessageBox* box) {
        question = box->text();
        test::Press(box, kMerge);
    });
    renameOver(Doc("A\n\ba\n\bb\nB\n\btheirs\nC"));
    QTRY_VERIFY(test::Find(editor(), "C"));
    QCOMPARE(question, QStringLiteral("「%1」は他のプログラムによって変更されました。\n"
                                      "再読み込みすると、保存していない変更は失われます。")
                           .arg(QString::fromStdString(path_)));
    QCOMPARE(rowsOf("A"), (QStringList{"a", "b", "mine"}));
    QCOMPARE(rowsOf("B"), QStringList{"theirs"});
    QVERIFY(editor().session().isModified());
    QVERIFY(!MainWindowTestAccess::conflictPanel(*window_)->isVisible());

    // One step: undo gives the document of before the merge back, in the views too.
    editor().execute(CommandId::Undo);
    QCOMPARE(test::Shape(editor()), (QStringList{"A/0", "B/0"}));
    QCOMPARE(window_->tree()->model()->rowCount(), 2);
    editor().execute(CommandId::Redo);
    QCOMPARE(window_->tree()->model()->rowCount(), 3);

    // The save writes at once: no question comes up.
    editor().execute(CommandId::Save);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!editor().session().isModified());
    QCOMPARE(onDisk(), serialized());
    QVERIFY(HoldsItem(onDisk(), "mine") && HoldsItem(onDisk(), "theirs"));
}

void MergeWindowTest::conflictsShowInTheFindBarAndTheStatusBarCountsThem() {
    open(Doc("A\n\ba\nB\n\bx"));
    editor().tree().selectTopic(test::Find(editor(), "A"));
    editor().selectRow(0);
    editor().editTextChanged(EditBox::List, "a-mine");
    editor().execute(CommandId::ListReplace);
    editor().tree().selectTopic(test::Find(editor(), "B"));
    editor().selectRow(0);
    editor().editTextChanged(EditBox::List, "x-mine");
    editor().execute(CommandId::ListReplace);
    test::Answer(kMerge);
    renameOver(Doc("A\n\ba-theirs\nB\n\bx-theirs"));
    QTRY_VERIFY(MainWindowTestAccess::findBar(*window_)->isVisible());

    QString mark = FromCp932(kConflictMark);
    QCOMPARE(MainWindowTestAccess::findBar(*window_)->box()->text(), mark);
    QVERIFY(MainWindowTestAccess::findResults(*window_)->isVisible());
    QCOMPARE(MainWindowTestAccess::findResults(*window_)->model()->rowCount(), 2);
    QTRY_COMPARE(MainWindowTestAccess::conflictPanel(*window_)->text(),
                 QStringLiteral("競合 残り 2 件"));
    QVERIFY(MainWindowTestAccess::conflictPanel(*window_)->isVisible());
    // The find stands on the first conflict; the next one is a step away.
    QCOMPARE(QString::fromStdString(editor().selection().topic()->caption.str()), "A");
    QCOMPARE(editor().list().selectedRow(), 1);
    QCOMPARE(test::Rows(editor()), (QStringList{"a-mine", "a-theirs" + RawMark()}));
    editor().find().findNext();
    QCOMPARE(QString::fromStdString(editor().selection().topic()->caption.str()), "B");
    QCOMPARE(editor().list().selectedRow(), 1);

    // Settled one by one: the count follows, and goes once none is left.
    editor().editTextChanged(EditBox::List, "x-theirs");
    editor().execute(CommandId::ListReplace);
    QTRY_COMPARE(MainWindowTestAccess::conflictPanel(*window_)->text(),
                 QStringLiteral("競合 残り 1 件"));
    editor().tree().selectTopic(test::Find(editor(), "A"));
    editor().selectRow(1);
    editor().execute(CommandId::ListDel);
    QTRY_VERIFY(!MainWindowTestAccess::conflictPanel(*window_)->isVisible());
}

void MergeWindowTest::anotherProcessWritesWhileTheWindowHasEdits() {
    open(Doc("Home\n\bbread\nWork\n\breport"));
    addItem("Home", "milk");
    // The command-line tool, another process, adds to the file the window has open.
    test::Answer(kMerge);
    QCOMPARE(test::RunProcess({BRENVALE_CLI, "add", path_, "Work", "call back"}), 0);
    QTRY_COMPARE(rowsOf("Work"), (QStringList{"report", "call back"}));
    QCOMPARE(rowsOf("Home"), (QStringList{"bread", "milk"}));
    editor().execute(CommandId::Save);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(HoldsItem(onDisk(), "milk") && HoldsItem(onDisk(), "call back"));
    // The file the tool wrote next is merged over the version the window saved.
    addItem("Home", "eggs");
    test::Answer(kMerge);
    QCOMPARE(test::RunProcess({BRENVALE_CLI, "add", path_, "Home", "butter"}), 0);
    QTRY_COMPARE(rowsOf("Home"), (QStringList{"bread", "milk", "eggs", "butter"}));
    QCOMPARE(editor().tags().conflictCounterText(), "");
}

void MergeWindowTest::conflictCopiesAreOfferedAtOpenAndTrashedAfterTheSave() {
    privateTrash();
    std::string phone = dir_->file("plan.sync-conflict-20261209-101010-ABCDEFG.bnv");
    std::string laptop = dir_->file("plan (Taro's conflicted copy 2026-12-09).bnv");
    test::WriteBytes(phone, Doc("A\n\ba\n\bphone"));
    test::WriteBytes(laptop, Doc("A\n\ba\nLaptop"));
    QString question;
    test::WhenModal<QMessageBox>([&](QMessageBox* box) {
        question = box->text();
        QCOMPARE(box->defaultButton()->text(), QStringLiteral("はい(&Y)"));
        test::Press(box, QStringLiteral("はい(&Y)"));
    });
    open(Doc("A\n\ba"));
    QCOMPARE(question, QStringLiteral("2 件の競合コピーがあります。統合しますか？"));
    QCOMPARE(test::Shape(editor()), (QStringList{"A/0", "Laptop" + RawMark() + "/0"}));
    QCOMPARE(rowsOf("A"), (QStringList{"a", "phone" + RawMark()}));
    QVERIFY(editor().session().isModified());
    QVERIFY(fs::exists(phone) && fs::exists(laptop));

    editor().execute(CommandId::Save);
    QVERIFY(!fs::exists(phone) && !fs::exists(laptop));
    QCOMPARE(MainWindowTestAccess::hintPanel(*window_)->text(),
             QStringLiteral("統合した競合コピー 2 件をごみ箱に移しました"));
    // In the desktop's trash, with the information to put each back where it was.
    std::string trash = dir_->file("data/Trash");
    for (const std::string& copy : {phone, laptop}) {
        std::string name(fs::path(copy).filename());
        QVERIFY2(fs::exists(trash + "/files/" + name), name.c_str());
        std::string info = test::ReadBytes(trash + "/info/" + name + ".trashinfo");
        QVERIFY(info.starts_with("[Trash Info]"));
        QVERIFY(info.find("DeletionDate=") != std::string::npos);
        size_t at = info.find("Path=");
        QVERIFY(at != std::string::npos);
        std::string encoded = info.substr(at + 5, info.find('\n', at) - at - 5);
        QCOMPARE(QUrl::fromPercentEncoding(QByteArray::fromStdString(encoded)),
                 QString::fromStdString(copy));
    }
    QCOMPARE(test::ReadBytes(trash + "/files/" + fs::path(phone).filename().string()),
             Doc("A\n\ba\n\bphone"));
}

void MergeWindowTest::aCopyTheTrashRefusesStaysAndTheHintSaysSo() {
    privateTrash();
    // A file where the trash's folder of files belongs: nothing can be moved there.
    fs::create_directories(dir_->file("data/Trash"));
    test::WriteBytes(dir_->file("data/Trash/files"), "");
    std::string copy = dir_->file("plan (conflicted copy 2026-12-09 101010).bnv");
    test::WriteBytes(copy, Doc("A\n\bcopy"));
    test::Answer(QStringLiteral("はい(&Y)"));
    open(Doc("A\n\ba"));
    QTRY_COMPARE(rowsOf("A").size(), 2);
    editor().execute(CommandId::Save);
    QVERIFY(!editor().session().isModified());
    QVERIFY(fs::exists(copy));
    QCOMPARE(MainWindowTestAccess::hintPanel(*window_)->text(),
             QStringLiteral("競合コピー「plan (conflicted copy 2026-12-09 101010).bnv」をごみ箱に"
                            "移せなかったため、そのまま残しています"));
}

BRENVALE_UI_TEST(ui_merge_tests, MergeWindowTest);
#include "merge_window_test.moc"
