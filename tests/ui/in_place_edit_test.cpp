// Editing an Item over its own row: a double click on its text or the list popup's "編集" opens
// an edit box there; Enter or leaving the box stores it as one undo step, Esc drops it.
#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "modal_answers.h"
#include "support/main_window_test_access.h"
#include "support/temp_dir.h"
#include "test_window.h"
#include "ui/check_list_delegate.h"
#include "ui/check_list_view.h"
#include "ui/command_actions.h"
#include "ui/item_text_editor.h"
#include "ui/main_menus.h"
#include "ui_test_registry.h"
#include "window_fixture.h"

using namespace brenvale;

class InPlaceEditTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void aDoubleClickOnTheTextOpensTheBoxOverTheRow();
    void enterStoresOneStepAndEscapeDropsTheEdit();
    void leavingTheBoxStoresIt();
    void theBoxKeepsItsKeysFromTheCommands();
    void aCharacterBeyondTheFileIsKeptAsItsReference();
    void aTextWithUndefinedBytesIsStoredOnlyAfterTheQuestion();
    void aCancelledCompositionGivesTheTextBack();
    void onlyTheBoxNotTheListTakesAnInputMethod();
    void thePopupsEditEntryOpensTheBoxAndACommandStoresItFirst();
    void closingTheWindowOrOpeningARecentFileStoresTheBoxFirst();

private:
    MainWindow& window() { return *window_; }
    Editor& editor() { return window_->editor(); }
    CheckListView* list() { return window_->list(); }
    // A point on a row's text, or on its box.
    QPoint onText(int row) {
        QRect r = list()->visualRect(list()->model()->index(row, 0));
        return {r.left() + CheckListDelegate::boxColumnWidth(list()) + 20, r.center().y()};
    }
    QPoint onBox(int row) {
        QRect r = list()->visualRect(list()->model()->index(row, 0));
        return {r.left() + 6, r.center().y()};
    }
    // Opens the box over a row as a double click does.
    ItemTextEditor* openBox(int row) {
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, onText(row));
        return list()->rowEditor();
    }

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
};

void InPlaceEditTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(dir_->file("state")));
    std::string path = dir_->file("doc.bnv");
    test::WriteBytes(path, "T@00@\r\n\x08" + test::Sjis("□") + "first\r\n\x08" + test::Sjis("■") +
                               "second\r\n\x08" + test::Sjis("□") + "third\r\n");
    window_ = test::MakeWindow(*dir_, {QString::fromStdString(path)});
    list()->setFocus();
}

void InPlaceEditTest::cleanup() {
    if (window_) {
        editor().session().setModified(false);
        window_->close();
    }
    window_.reset();
    dir_.reset();
}

void InPlaceEditTest::aDoubleClickOnTheTextOpensTheBoxOverTheRow() {
    ItemTextEditor* box = openBox(1);
    QVERIFY(box);
    QCOMPARE(editor().list().selectedRow(), 1);
    QCOMPARE(box->text(), QStringLiteral("second"));
    QCOMPARE(box->selectedText(), QStringLiteral("second"));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(box));
    // Over the row's text, right of its box, and as high as a line edit needs.
    QRect row = list()->visualRect(list()->model()->index(1, 0));
    QCOMPARE(box->geometry().left(), row.left() + CheckListDelegate::boxColumnWidth(list()));
    QVERIFY(box->geometry().contains(QPoint(box->geometry().left() + 1, row.center().y())));
    QVERIFY(box->height() >= box->sizeHint().height());
    QTest::keyClick(box, Qt::Key_Escape);
    QTRY_VERIFY(!list()->rowEditor());

    // A double click on a box ticks it twice and edits nothing. It goes through the window as
    // the window system sends it: press, release, a press that becomes the double click,
    // release.
    editor().session().setModified(false);
    QWidget* top = list()->window();
    QTest::mouseDClick(top->windowHandle(), Qt::LeftButton, {},
                       list()->viewport()->mapTo(top, onBox(0)));
    QVERIFY(!list()->rowEditor());
    QCOMPARE(test::Rows(editor()), (QStringList{"first", "second*", "third"}));
    QVERIFY(editor().session().isModified());  // ticked and unticked, not left alone
}

void InPlaceEditTest::enterStoresOneStepAndEscapeDropsTheEdit() {
    size_t steps = editor().history().undoCount();
    ItemTextEditor* box = openBox(1);
    QVERIFY(box);
    QTest::keyClicks(box, "changed");
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(!list()->rowEditor());
    // The tick stays; the entry box is no part of it.
    QCOMPARE(test::Rows(editor()), (QStringList{"first", "changed*", "third"}));
    QVERIFY(editor().session().isModified());
    QCOMPARE(editor().history().undoCount(), steps + 1);
    QCOMPARE(window().listEdit()->text(), QString());
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list()));

    box = openBox(2);
    QVERIFY(box);
    QTest::keyClicks(box, "dropped");
    QTest::keyClick(box, Qt::Key_Escape);
    QTRY_VERIFY(!list()->rowEditor());
    QCOMPARE(test::Rows(editor()), (QStringList{"first", "changed*", "third"}));
    QCOMPARE(editor().history().undoCount(), steps + 1);

    // Enter on the text as it was changes nothing.
    box = openBox(0);
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(!list()->rowEditor());
    QCOMPARE(editor().history().undoCount(), steps + 1);

    window().actions().action(CommandId::Undo)->trigger();
    QCOMPARE(test::Rows(editor()), (QStringList{"first", "second*", "third"}));
}

void InPlaceEditTest::leavingTheBoxStoresIt() {
    ItemTextEditor* box = openBox(0);
    QVERIFY(box);
    QTest::keyClicks(box, "by focus");
    window().tree()->setFocus();
    QTRY_VERIFY(!list()->rowEditor());
    QCOMPARE(test::Rows(editor()).first(), QStringLiteral("by focus"));

    // A click on another row stores the box and selects that row.
    list()->setFocus();
    box = openBox(0);
    QTest::keyClicks(box, "by click");
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, onText(2));
    QTRY_VERIFY(!list()->rowEditor());
    QCOMPARE(test::Rows(editor()).first(), QStringLiteral("by click"));
    QCOMPARE(editor().list().selectedRow(), 2);
}

void InPlaceEditTest::theBoxKeepsItsKeysFromTheCommands() {
    ItemTextEditor* box = openBox(1);
    QVERIFY(box);
    QVERIFY(window().actions().action(CommandId::ListMoveUp)->isEnabled());
    // Shift+Up would move the row, Shift+Enter replace it with the entry box's text, and Up
    // or Down in the list would go to another row.
    QTest::keyClick(box, Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(list()->rowEditor(), box);
    QCOMPARE(editor().list().selectedRow(), 1);
    QCOMPARE(test::Rows(editor()), (QStringList{"first", "second*", "third"}));
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace, Qt::ShiftModifier);
    QCOMPARE(box->text(), QString());
    QTest::keyClicks(box, "x");
    QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);
    QTRY_VERIFY(!list()->rowEditor());
    QCOMPARE(test::Rows(editor()), (QStringList{"first", "x*", "third"}));
}

void InPlaceEditTest::aCharacterBeyondTheFileIsKeptAsItsReference() {
    ItemTextEditor* box = openBox(0);
    QVERIFY(box);
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClicks(box, "s");
    test::Type(box, QStringLiteral("\u00e9"));
    // An emoji comes as an input method's commit, as from an emoji picker.
    QInputMethodEvent emoji;
    emoji.setCommitString(QStringLiteral("\U0001F600"));
    QApplication::sendEvent(box, &emoji);
    QCOMPARE(box->text(), QStringLiteral("firsts\u00e9\U0001F600"));
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(!list()->rowEditor());
    QCOMPARE(editor().list().rowText(0), std::string_view("firsts&#xE9;&#x1F600;"));
    // Opened again, the box shows the characters, and closing it unchanged keeps the bytes.
    box = openBox(0);
    QVERIFY(box);
    QCOMPARE(box->text(), QStringLiteral("firsts\u00e9\U0001F600"));
    const size_t steps = editor().history().undoCount();
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(!list()->rowEditor());
    QCOMPARE(editor().list().rowText(0), std::string_view("firsts&#xE9;&#x1F600;"));
    QCOMPARE(editor().history().undoCount(), steps);
}

void InPlaceEditTest::aTextWithUndefinedBytesIsStoredOnlyAfterTheQuestion() {
    // Bytes CP932 does not define show as "?"; storing the edit asks first, naming the text.
    window_->editor().session().setModified(false);
    window_->close();
    std::string path = dir_->file("undefined.bnv");
    test::WriteBytes(path, "T@00@\r\n\x08" + test::Sjis("□") + "ab\x85\x40" + "cd\r\n");
    window_ = test::MakeWindow(*dir_, {QString::fromStdString(path)});
    list()->setFocus();

    ItemTextEditor* box = openBox(0);
    QVERIFY(box);
    QCOMPARE(box->text(), QStringLiteral("ab?@cd"));
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClicks(box, "z");
    QString question;
    test::Answer(QStringLiteral("キャンセル"), &question);
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(!list()->rowEditor());
    QVERIFY(question.contains(QStringLiteral("「ab?@cd」")));
    QCOMPARE(editor().list().rowText(0), std::string_view("ab\x85\x40"
                                                          "cd"));

    box = openBox(0);
    QVERIFY(box);
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClicks(box, "z");
    test::Answer(QStringLiteral("OK"));
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(!list()->rowEditor());
    QCOMPARE(editor().list().rowText(0), std::string_view("ab?@cdz"));
}

void InPlaceEditTest::aCancelledCompositionGivesTheTextBack() {
    ItemTextEditor* box = openBox(1);
    QVERIFY(box);
    auto compose = [box](const QString& preedit, const QString& commit = {}) {
        QInputMethodEvent event(preedit, {});
        event.setCommitString(commit);
        QApplication::sendEvent(box, &event);
    };
    // The composition takes the place of the selected text while it lasts.
    compose(QStringLiteral("か"));
    QCOMPARE(box->text(), QString());
    compose(QString());
    QTRY_COMPARE(box->text(), QStringLiteral("second"));
    QCOMPARE(box->selectedText(), QStringLiteral("second"));
    // Committed, it stays; Enter then stores it.
    compose(QStringLiteral("に"));
    compose(QString(), QStringLiteral("日本"));
    QCoreApplication::processEvents();
    QCOMPARE(box->text(), QStringLiteral("日本"));
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(!list()->rowEditor());
    QCOMPARE(editor().list().rowText(1), test::Sjis("日本"));
}

void InPlaceEditTest::onlyTheBoxNotTheListTakesAnInputMethod() {
    // What an input method asks of the widget with the focus before it takes its keys: the
    // list answers no (letters do not compose there, Space ticks), the box over a row yes.
    auto accepts = [](QWidget* widget) {
        QInputMethodQueryEvent query(Qt::ImEnabled);
        QApplication::sendEvent(widget, &query);
        return query.value(Qt::ImEnabled).toBool();
    };
    QVERIFY(!accepts(list()));
    ItemTextEditor* box = openBox(0);
    QVERIFY(box);
    QVERIFY(accepts(box));
    QTest::keyClick(box, Qt::Key_Escape);
    QTRY_VERIFY(!list()->rowEditor());
    QVERIFY(!accepts(list()));
}

void InPlaceEditTest::thePopupsEditEntryOpensTheBoxAndACommandStoresItFirst() {
    QAction* edit = window().actions().action(CommandId::ListEditInPlace);
    QVERIFY(MainWindowTestAccess::menus(window()).listPopup()->actions().contains(edit));
    QCOMPARE(edit->text(), QStringLiteral("編集(&E)"));
    editor().selectRow(2);
    edit->trigger();
    ItemTextEditor* box = list()->rowEditor();
    QVERIFY(box);
    QCOMPARE(box->text(), QStringLiteral("third"));
    QTest::keyClicks(box, "before the command");
    // A command run from a toolbar button leaves the focus where it is: the box is stored first.
    window().actions().action(CommandId::ShowProgress)->trigger();
    QVERIFY(!list()->rowEditor());
    QCOMPARE(test::Rows(editor()).last(), QStringLiteral("before the command"));
    QVERIFY(editor().settings().showProgress);
    // Without a selected row there is nothing to edit.
    editor().selectRow(-1);
    QVERIFY(!edit->isEnabled());
}

void InPlaceEditTest::closingTheWindowOrOpeningARecentFileStoresTheBoxFirst() {
    // Neither takes the focus from the box (the window's close button is the window manager's,
    // a menu entry leaves the focus where it was): the text typed there is stored, so the
    // question about unsaved changes covers it, and Cancel keeps it.
    editor().session().setModified(false);
    ItemTextEditor* box = openBox(0);
    QVERIFY(box);
    QTest::keyClicks(box, "closing");
    QString question;
    test::Answer(QStringLiteral("キャンセル"), &question);
    QVERIFY(!window().close());
    QVERIFY2(question.contains(QStringLiteral("変更を保存しますか")), qPrintable(question));
    QVERIFY(!list()->rowEditor());
    QCOMPARE(test::Rows(editor()).first(), QStringLiteral("closing"));

    editor().session().setModified(false);
    QMenu* recent = MainWindowTestAccess::menus(window()).recentMenu();
    QVERIFY(recent->actions().size() > 2);  // the open document, a separator, "履歴の削除..."
    box = openBox(2);
    QVERIFY(box);
    QTest::keyClicks(box, "reopening");
    question.clear();
    test::Answer(QStringLiteral("キャンセル"), &question);
    recent->actions().first()->trigger();
    QVERIFY2(question.contains(QStringLiteral("変更を保存しますか")), qPrintable(question));
    QCOMPARE(test::Rows(editor()).last(), QStringLiteral("reopening"));
}

BRENVALE_UI_TEST(ui_in_place_edit_tests, InPlaceEditTest);

#include "in_place_edit_test.moc"
