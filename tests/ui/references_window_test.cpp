// Characters beyond CP932 in the window: typed and pasted into the edit boxes, shown in the
// tree, the list and the find bar as themselves, kept in the file as references, found again.
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

#include "common/cp932.h"
#include "editor_place.h"
#include "support/main_window_test_access.h"
#include "support/temp_dir.h"
#include "test_window.h"
#include "ui/check_list_view.h"
#include "ui/command_actions.h"
#include "ui/find_bar.h"
#include "ui/item_text_editor.h"
#include "ui_test_registry.h"
#include "window_fixture.h"

using namespace brenvale;
using test::Sjis;
using test::WindowFixture;

namespace {

// A key whose text is one whole character, as a keyboard layout delivers an emoji.
void Key(QWidget* widget, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
}

// Text committed by an input method in one piece.
void Commit(QWidget* widget, const QString& text) {
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(widget, &commit);
}

QString Shown(const QAbstractItemModel* model, int row) {
    return model->data(model->index(row, 0), Qt::DisplayRole).toString();
}

// "e" and a combining acute accent, "n" and a combining tilde: one character each to the user.
const QString kAcute = QStringLiteral("e\u0301");
const QString kTilde = QStringLiteral("n\u0303");

}  // namespace

class ReferencesWindowTest : public QObject {
    Q_OBJECT
private slots:
    void typedCharactersAreSavedReopenedAndFound();
    void theCaretStepsOverWholeCharacters();
    void pastedTextKeepsEveryCharacter();
    void theBoxOverARowKeepsThemThroughASaveAndIsFoundAgain();
};

void ReferencesWindowTest::typedCharactersAreSavedReopenedAndFound() {
    const std::string item = Sjis("チケット") + "&#x1F3AB; caf&#xE9; n&#x303;";
    std::string bytes;
    int row = -1;
    {
        WindowFixture f("旅行\n\b□予約");
        Editor& editor = f.editor();

        QLineEdit* tree = f.window().treeEdit();
        tree->setFocus();
        tree->selectAll();
        QTest::keyClicks(tree, "Trip ");
        Key(tree, QStringLiteral("😀"));
        Commit(tree, kAcute);
        QCOMPARE(tree->text(), QStringLiteral("Trip 😀") + kAcute);
        QCOMPARE(editor.selection().topic()->caption, std::string("Trip &#x1F600;e&#x301;"));

        QLineEdit* list = f.window().listEdit();
        list->setFocus();
        Commit(list, QStringLiteral("チケット"));
        Key(list, QStringLiteral("🎫"));
        QTest::keyClicks(list, " caf");
        Key(list, QStringLiteral("\u00e9"));
        Key(list, QStringLiteral(" "));
        Commit(list, kTilde);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(editor.list().rowCount(), size_t(2));
        row = editor.list().rowText(0) == item ? 0 : 1;
        QCOMPARE(editor.list().rowText(static_cast<size_t>(row)), std::string_view(item));

        // The views show the characters.
        QCOMPARE(Shown(f.window().tree()->model(), 0), QStringLiteral("Trip 😀") + kAcute);
        QCOMPARE(Shown(f.window().list()->model(), row),
                 QStringLiteral("チケット🎫 caf\u00e9 ") + kTilde);

        f.window().actions().action(CommandId::Save)->trigger();
        bytes = test::ReadBytes(f.dir().file("doc.bnv"));
    }
    QVERIFY(bytes.find("Trip &#x1F600;e&#x301;@00@\r\n") != std::string::npos);
    QVERIFY(bytes.find("\b" + Sjis("□") + item + "\r\n") != std::string::npos);

    // Opened again: the same characters, and the find finds them as typed.
    test::TempDir dir;
    test::WriteBytes(dir.file("doc.bnv"), bytes);
    std::unique_ptr<MainWindow> again =
        test::MakeWindow(dir, {QString::fromStdString(dir.file("doc.bnv"))});
    Editor& editor = again->editor();
    QCOMPARE(Shown(again->tree()->model(), 0), QStringLiteral("Trip 😀") + kAcute);
    QCOMPARE(again->treeEdit()->text(), QStringLiteral("Trip 😀") + kAcute);
    QCOMPARE(Shown(again->list()->model(), row), QStringLiteral("チケット🎫 caf\u00e9 ") + kTilde);

    FindBar* bar = MainWindowTestAccess::findBar(*again);
    again->actions().action(CommandId::Find)->trigger();
    const QString caption = QStringLiteral("Trip 😀") + kAcute;
    bar->box()->setText(QStringLiteral("🎫"));
    QVERIFY(!bar->showsNotFound());
    QCOMPARE(test::Here(editor), caption + "/" + QString::number(row));
    std::optional<SearchHit> hit = editor.find().state().hit();
    QVERIFY(hit);
    QCOMPARE(hit->range.begin, size_t(8));  // after "チケット"
    QCOMPARE(hit->range.end, size_t(8 + 9));
    bar->box()->setText(QStringLiteral("caf\u00e9"));
    QVERIFY(!bar->showsNotFound());
    QCOMPARE(test::Here(editor), caption + "/" + QString::number(row));
    bar->box()->setText(kAcute);
    QVERIFY(!bar->showsNotFound());
    hit = editor.find().state().hit();
    QVERIFY(hit);
    QCOMPARE(hit->item, kCaption);
    QCOMPARE(hit->range.begin, size_t(5 + 9));  // after "Trip " and the emoji
    QCOMPARE(hit->range.end, size_t(5 + 9 + 1 + 7));
    // What the references are spelt with is no text the user sees.
    bar->box()->setText(QStringLiteral("1F3AB"));
    QVERIFY(bar->showsNotFound());
    editor.session().setModified(false);
    again->close();
}

void ReferencesWindowTest::theCaretStepsOverWholeCharacters() {
    WindowFixture f("x");
    QLineEdit* edit = f.window().treeEdit();
    edit->setFocus();
    edit->selectAll();
    Key(edit, QStringLiteral("a"));
    Key(edit, QStringLiteral("👍🏽"));
    Commit(edit, kAcute);
    Key(edit, QStringLiteral("🇯🇵"));
    QCOMPARE(f.editor().selection().topic()->caption,
             std::string("a&#x1F44D;&#x1F3FD;e&#x301;&#x1F1EF;&#x1F1F5;"));
    // Left from the end: over the flag, the accented e, the thumb with its tone, each whole.
    QCOMPARE(edit->cursorPosition(), 11);
    QList<int> stops;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(edit, Qt::Key_Left);
        stops << edit->cursorPosition();
    }
    QCOMPARE(stops, (QList<int>{7, 5, 1, 0}));
    QTest::keyClick(edit, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(edit, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(edit->selectedText(), QStringLiteral("a👍🏽"));
    // Typing over the selection leaves the rest as it was.
    Key(edit, QStringLiteral("✓"));
    QCOMPARE(f.editor().selection().topic()->caption,
             std::string("&#x2713;e&#x301;&#x1F1EF;&#x1F1F5;"));
}

void ReferencesWindowTest::pastedTextKeepsEveryCharacter() {
    WindowFixture f("x");
    Editor& editor = f.editor();
    // The tree clipboard text: a Topic, a child and an Item, with emoji and a dash.
    QGuiApplication::clipboard()->setText(
        QStringLiteral("買い物 🛒\n\t卵 🥚 \u2013 6\n\t\b■牛乳 ✓\n"));
    f.window().actions().action(CommandId::TreePaste)->trigger();
    Topic* shopping = test::Find(editor, Sjis("買い物 ") + "&#x1F6D2;");
    QVERIFY(shopping);
    QCOMPARE(shopping->child(0)->caption, Sjis("卵 ") + "&#x1F95A; &#x2013; 6");
    QCOMPARE(shopping->child(0)->items[0].stored(), Sjis("■牛乳 ") + "&#x2713;");

    // Pasted into an edit box, and into the list.
    QLineEdit* edit = f.window().listEdit();
    edit->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("\u2022\u2022\u2022 caf\u00e9"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(editor.selection().text(EditBox::List),
             std::string("&#x2022;&#x2022;&#x2022; caf&#xE9;"));
    editor.tree().selectTopic(shopping);
    QGuiApplication::clipboard()->setText(QStringLiteral("パン 🍞"));
    f.window().actions().action(CommandId::ListPaste)->trigger();
    const std::string bread = Sjis("パン ") + "&#x1F35E;";
    QCOMPARE(editor.list().rowText(0), std::string_view(bread));
    // Copied out again, the characters themselves.
    f.window().list()->setFocus();
    editor.selectRow(0);
    f.window().actions().action(CommandId::ListCopy)->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("パン 🍞"));
}

void ReferencesWindowTest::theBoxOverARowKeepsThemThroughASaveAndIsFoundAgain() {
    std::string bytes;
    {
        WindowFixture f("旅行\n\b□予約");
        Editor& editor = f.editor();
        f.window().list()->setFocus();
        editor.selectRow(0);
        f.window().actions().action(CommandId::ListEditInPlace)->trigger();
        ItemTextEditor* box = f.window().list()->rowEditor();
        QVERIFY(box);
        QTest::keyClick(box, Qt::Key_End);
        Key(box, QStringLiteral(" "));
        Key(box, QStringLiteral("🎫"));
        Commit(box, kTilde);
        // Left steps over the ñ and the ticket whole: the "x" goes before the ticket.
        QTest::keyClick(box, Qt::Key_Left);
        QTest::keyClick(box, Qt::Key_Left);
        Key(box, QStringLiteral("x"));
        QTest::keyClick(box, Qt::Key_Return);
        QTRY_VERIFY(!f.window().list()->rowEditor());
        QCOMPARE(editor.list().rowText(0), Sjis("予約 ") + "x&#x1F3AB;n&#x303;");
        f.window().actions().action(CommandId::Save)->trigger();
        bytes = test::ReadBytes(f.dir().file("doc.bnv"));
    }
    QVERIFY(bytes.find("\b" + Sjis("□予約 ") + "x&#x1F3AB;n&#x303;\r\n") != std::string::npos);

    test::TempDir dir;
    test::WriteBytes(dir.file("doc.bnv"), bytes);
    std::unique_ptr<MainWindow> again =
        test::MakeWindow(dir, {QString::fromStdString(dir.file("doc.bnv"))});
    QCOMPARE(Shown(again->list()->model(), 0), QStringLiteral("予約 x🎫") + kTilde);
    FindBar* bar = MainWindowTestAccess::findBar(*again);
    again->actions().action(CommandId::Find)->trigger();
    bar->box()->setText(kTilde);
    QVERIFY(!bar->showsNotFound());
    std::optional<SearchHit> hit = again->editor().find().state().hit();
    QVERIFY(hit);
    QCOMPARE(hit->item, 0);
    QCOMPARE(hit->range.begin, size_t(6 + 9));  // after "予約 x" and the ticket
    again->editor().session().setModified(false);
    again->close();
}

BRENVALE_UI_TEST(ui_reference_tests, ReferencesWindowTest);
#include "references_window_test.moc"
