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
#include "ui/codec.h"
#include "ui/topic_tree_view.h"
#include "ui_test_registry.h"

using namespace brenvale;
using test::Answer;
using test::Sjis;

namespace {

// Two bytes CP932 does not define: a lead byte of an empty row and "@".
const std::string kUndefined = "\x85\x40";

QString Question(const QString& shown) {
    return QStringLiteral(
               "「%1」には表示できない文字が含まれています。編集すると、その文字は「?」"
               "に置き換えられます。よろしいですか？")
        .arg(shown);
}

// Types a key at the end of an edit box, answering the question that comes with the button;
// gives the question.
QString TypeAnswering(QLineEdit* edit, Qt::Key key, const char* button) {
    edit->end(false);
    QString question;
    Answer(QString::fromUtf8(button), &question);
    QTest::keyClick(edit, key);
    return question;
}

}  // namespace

class EditBoxesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void undefinedBytesStayUntilTheUserAgreesToReplaceThem();
    void aReleaseWhosePressWentElsewhereDoesNothing();
    void aCancelledCompositionPutsBackTheTextItReplaced();

private:
    MainWindow& window() { return *window_; }
    Editor& editor() { return window_->editor(); }
    // F2 in the list: the selected Item's text goes into the entry box, which gets the focus.
    void takeItemIntoEntryBox();

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
};

void EditBoxesTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(dir_->file("state")));
}

void EditBoxesTest::cleanup() {
    if (window_) {
        window_->editor().session().setModified(false);
        window_->close();
    }
    window_.reset();
    dir_.reset();
}

void EditBoxesTest::undefinedBytesStayUntilTheUserAgreesToReplaceThem() {
    const std::string caption = "ab" + kUndefined + "c";
    const std::string item = "x" + kUndefined + "y";
    const std::string itemLine = "\x08" + Sjis("□") + item + "\r\n";
    std::string path = dir_->file("odd.bnv");
    test::WriteBytes(path, caption + "@00@\r\n" + itemLine + itemLine);
    window_ = test::MakeWindow(*dir_, {QString::fromStdString(path)});
    Topic* topic = editor().selection().topic();
    QLineEdit* treeEdit = window().treeEdit();
    QCOMPARE(treeEdit->text(), QStringLiteral("ab?@c"));

    // The first change asks; Cancel leaves the caption's bytes and the box as they were.
    treeEdit->setFocus();
    QCOMPARE(TypeAnswering(treeEdit, Qt::Key_D, "キャンセル"), Question("ab?@c"));
    QCOMPARE(topic->caption, caption);
    QCOMPARE(treeEdit->text(), QStringLiteral("ab?@c"));
    QVERIFY(!editor().session().isModified());
    // OK: the caption takes the text as the box shows it; later keys ask nothing more.
    QCOMPARE(TypeAnswering(treeEdit, Qt::Key_D, "OK"), Question("ab?@c"));
    QCOMPARE(topic->caption, std::string("ab?@cd"));
    QTest::keyClick(treeEdit, Qt::Key_E);
    QCOMPARE(topic->caption, std::string("ab?@cde"));

    // An Item's text taken into the entry box (F2) asks the same before it changes.
    editor().selectRow(0);
    takeItemIntoEntryBox();
    QLineEdit* listEdit = window().listEdit();
    QCOMPARE(QApplication::focusWidget(), listEdit);
    QCOMPARE(listEdit->text(), QStringLiteral("x?@y"));
    QCOMPARE(TypeAnswering(listEdit, Qt::Key_Z, "キャンセル"), Question("x?@y"));
    QCOMPARE(editor().selection().text(EditBox::List), item);
    QCOMPARE(listEdit->text(), QStringLiteral("x?@y"));
    editor().execute(CommandId::ListReplace);  // stored back untouched
    QCOMPARE(std::string(editor().list().rowText(0)), item);
    takeItemIntoEntryBox();
    TypeAnswering(listEdit, Qt::Key_Z, "OK");
    QCOMPARE(editor().selection().text(EditBox::List), std::string("x?@yz"));
    editor().execute(CommandId::ListReplace);
    QCOMPARE(std::string(editor().list().rowText(0)), std::string("x?@yz"));

    // The Item nobody edited is saved with its bytes.
    editor().execute(CommandId::Save);
    QVERIFY(test::ReadBytes(path).ends_with("\r\n" + itemLine));
}

void EditBoxesTest::takeItemIntoEntryBox() {
    // Offscreen, the window does not become active again by itself after a message box.
    QApplication::setActiveWindow(&window());
    window().list()->setFocus();
    QTest::keyClick(window().list(), Qt::Key_F2);
}

void EditBoxesTest::aReleaseWhosePressWentElsewhereDoesNothing() {
    window_ = test::MakeWindow(*dir_);
    for (const char* text : {"a", "b"}) {
        editor().editTextChanged(EditBox::List, text);
        editor().execute(CommandId::ListAdd);
    }
    editor().selectRow(0);
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
    QCOMPARE(editor().selection().text(EditBox::List), Sjis("あ"));
    QCOMPARE(editor().list().selectedRow(), 0);
    QCOMPARE(editor().list().rowCount(), size_t{2});
    QCOMPARE(QApplication::focusWidget(), listEdit);

    list->setFocus();
    QTest::keyRelease(list, Qt::Key_Delete);
    QCOMPARE(editor().list().rowCount(), size_t{2});
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
    QCOMPARE(editor().list().rowCount(), size_t{2});

    // Pressed and released here, the keys act.
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(editor().list().rowCount(), size_t{1});
    QTest::keyClick(list, Qt::Key_F2);
    QCOMPARE(QApplication::focusWidget(), listEdit);
    QCOMPARE(listEdit->text(), QStringLiteral("b"));
}

void EditBoxesTest::aCancelledCompositionPutsBackTheTextItReplaced() {
    window_ = test::MakeWindow(*dir_);
    QLineEdit* treeEdit = window().treeEdit();
    const std::string caption = editor().selection().text(EditBox::Tree);
    QVERIFY(!caption.empty());
    treeEdit->setFocus();
    treeEdit->selectAll();
    auto compose = [](QLineEdit* edit, const QString& preedit, const QString& commit = {}) {
        QInputMethodEvent event(preedit, {});
        event.setCommitString(commit);
        QApplication::sendEvent(edit, &event);
    };

    // A composition replaces the selected caption while it lasts; cancelled, the caption is
    // back, selected as it was.
    compose(treeEdit, QStringLiteral("か"));
    QCOMPARE(editor().selection().text(EditBox::Tree), std::string());
    compose(treeEdit, QString());
    QTRY_COMPARE(editor().selection().text(EditBox::Tree), caption);
    QCOMPARE(treeEdit->text(), FromCp932(caption));
    QCOMPARE(treeEdit->selectedText(), FromCp932(caption));
    QCOMPARE(std::string(editor().selection().topic()->caption.view()), caption);

    // Committed, the composition replaces it for good.
    compose(treeEdit, QStringLiteral("か"));
    compose(treeEdit, QString(), QStringLiteral("家"));
    QTest::qWait(0);
    QCOMPARE(editor().selection().text(EditBox::Tree), Sjis("家"));

    // Without a selection nothing was replaced: a cancelled composition leaves the text.
    QLineEdit* listEdit = window().listEdit();
    listEdit->setFocus();
    compose(listEdit, QString(), QStringLiteral("あい"));
    compose(listEdit, QStringLiteral("か"));
    compose(listEdit, QString());
    QTest::qWait(0);
    QCOMPARE(listEdit->text(), QStringLiteral("あい"));
    QCOMPARE(editor().selection().text(EditBox::List), Sjis("あい"));

    // A composition over part of the text gives that part back.
    listEdit->setSelection(0, 1);
    compose(listEdit, QStringLiteral("う"));
    QCOMPARE(listEdit->text(), QStringLiteral("い"));
    compose(listEdit, QString());
    QTRY_COMPARE(listEdit->text(), QStringLiteral("あい"));
    QCOMPARE(editor().selection().text(EditBox::List), Sjis("あい"));
}

BRENVALE_UI_TEST(ui_edit_box_tests, EditBoxesTest);

#include "edit_boxes_test.moc"
