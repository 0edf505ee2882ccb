// The two edit boxes and the keys the window acts on when they are released: texts whose bytes
// CP932 does not define, and the key events an input method leaves over.
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

#include "modal_answers.h"
#include "support/temp_dir.h"
#include "test_window.h"
#include "ui/check_list_view.h"
#include "ui/topic_tree_view.h"

using namespace brenvale;
using test::Answer;
using test::Sjis;

namespace {

// Two bytes CP932 does not define: a lead byte of an empty row and "@".
const std::string kUndefined = "\x85\x40";

}  // namespace

class EditBoxesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void undefinedBytesStayUntilTheUserAgreesToReplaceThem();
    void aReleaseWhosePressWentElsewhereDoesNothing();

private:
    MainWindow& window() { return *window_; }
    Editor& editor() { return window_->editor(); }

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
};

void EditBoxesTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(dir_->file("state")));
}

void EditBoxesTest::cleanup() {
    if (window_) {
        window_->editor().SetModified(false);
        window_->close();
    }
    window_.reset();
    dir_.reset();
}

void EditBoxesTest::undefinedBytesStayUntilTheUserAgreesToReplaceThem() {
    const std::string caption = "ab" + kUndefined + "c";
    const std::string item = "x" + kUndefined + "y";
    std::string path = dir_->file("odd.bnv");
    std::string lines =
        caption + "@00@\r\n\x08" + Sjis("□") + item + "\r\n\x08" + Sjis("□") + item + "\r\n";
    test::WriteBytes(path, lines);
    window_ = test::MakeWindow(*dir_, {QString::fromStdString(path)});
    Topic* topic = editor().selectedTopic();
    QVERIFY(topic);
    QLineEdit* treeEdit = window().treeEdit();
    QCOMPARE(treeEdit->text(), QStringLiteral("ab?@c"));

    // The first change asks; Cancel leaves the caption's bytes and the box as they were.
    treeEdit->setFocus();
    treeEdit->end(false);
    QString question;
    Answer(QStringLiteral("キャンセル"), &question);
    QTest::keyClick(treeEdit, Qt::Key_D);
    QCOMPARE(question, QStringLiteral("「ab?@c」には表示できない文字が含まれています。編集すると、"
                                      "その文字は「?」に置き換えられます。よろしいですか？"));
    QCOMPARE(topic->caption, caption);
    QCOMPARE(treeEdit->text(), QStringLiteral("ab?@c"));
    QVERIFY(!editor().isModified());
    // OK: the caption takes the text as the box shows it; later keys ask nothing more.
    treeEdit->end(false);
    Answer(QStringLiteral("OK"));
    QTest::keyClick(treeEdit, Qt::Key_D);
    QCOMPARE(topic->caption, std::string("ab?@cd"));
    QTest::keyClick(treeEdit, Qt::Key_E);
    QCOMPARE(topic->caption, std::string("ab?@cde"));

    // An Item's text taken into the entry box asks the same before it changes. (Offscreen, the
    // window does not become active again by itself once a message box has gone.)
    CheckListView* list = window().list();
    editor().SelectRow(0);
    QApplication::setActiveWindow(&window());
    list->setFocus();
    QTest::keyClick(list, Qt::Key_F2);
    QLineEdit* listEdit = window().listEdit();
    QCOMPARE(QApplication::focusWidget(), listEdit);
    QCOMPARE(listEdit->text(), QStringLiteral("x?@y"));
    listEdit->end(false);
    Answer(QStringLiteral("キャンセル"), &question);
    QTest::keyClick(listEdit, Qt::Key_Z);
    QCOMPARE(question, QStringLiteral("「x?@y」には表示できない文字が含まれています。編集すると、"
                                      "その文字は「?」に置き換えられます。よろしいですか？"));
    QCOMPARE(editor().listEditText(), item);
    QCOMPARE(listEdit->text(), QStringLiteral("x?@y"));
    // Stored back untouched, the Item keeps its bytes.
    editor().ListDownExecute();
    QCOMPARE(std::string(editor().rowText(0)), item);

    QApplication::setActiveWindow(&window());
    list->setFocus();
    QTest::keyClick(list, Qt::Key_F2);
    listEdit->end(false);
    Answer(QStringLiteral("OK"));
    QTest::keyClick(listEdit, Qt::Key_Z);
    QCOMPARE(editor().listEditText(), std::string("x?@yz"));
    editor().ListDownExecute();
    QCOMPARE(std::string(editor().rowText(0)), std::string("x?@yz"));

    // The Item nobody edited is saved with its bytes.
    editor().SaveExecute();
    QVERIFY(test::ReadBytes(path).ends_with("\r\n\x08" + Sjis("□") + item + "\r\n"));
}

void EditBoxesTest::aReleaseWhosePressWentElsewhereDoesNothing() {
    window_ = test::MakeWindow(*dir_);
    for (const char* text : {"a", "b"}) {
        editor().ListEditChanged(text);
        editor().ListAddExecute();
    }
    editor().SelectRow(0);
    CheckListView* list = window().list();
    QLineEdit* listEdit = window().listEdit();
    TopicTreeView* tree = window().tree();

    // An input method commits a character and composes the next one; it takes F2's press to
    // convert and passes the release on.
    listEdit->setFocus();
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("あ"));
    QApplication::sendEvent(listEdit, &commit);
    QInputMethodEvent compose(QStringLiteral("か"), {});
    QApplication::sendEvent(listEdit, &compose);
    QTest::keyRelease(listEdit, Qt::Key_F2);
    QCOMPARE(editor().listEditText(), Sjis("あ"));
    QCOMPARE(editor().selectedRow(), 0);
    QCOMPARE(editor().rowCount(), size_t{2});
    QCOMPARE(QApplication::focusWidget(), listEdit);

    list->setFocus();
    QTest::keyRelease(list, Qt::Key_Delete);
    QCOMPARE(editor().rowCount(), size_t{2});
    tree->setFocus();
    QTest::keyRelease(tree, Qt::Key_F2);
    QCOMPARE(QApplication::focusWidget(), tree);

    // A key pressed in another window and let go in this one.
    QLineEdit other;
    other.show();
    QApplication::setActiveWindow(&other);
    other.setFocus();
    QTest::keyPress(&other, Qt::Key_Delete);
    QApplication::setActiveWindow(&window());
    list->setFocus();
    QTest::keyRelease(list, Qt::Key_Delete);
    QCOMPARE(editor().rowCount(), size_t{2});

    // Pressed and released here, the keys act.
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(editor().rowCount(), size_t{1});
    QTest::keyClick(list, Qt::Key_F2);
    QCOMPARE(QApplication::focusWidget(), listEdit);
    QCOMPARE(listEdit->text(), QStringLiteral("b"));
}

QTEST_MAIN(EditBoxesTest)

#include "edit_boxes_test.moc"
