// What a screen reader reads of the window, through Qt's accessibility interfaces (the same
// tree AT-SPI clients see).
#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include "editor/command_table.h"
#include "support/main_window_test_access.h"
#include "ui/check_list_view.h"
#include "ui/codec.h"
#include "ui/command_actions.h"
#include "ui/counter_panel.h"
#include "ui/toolbar.h"
#include "ui/topic_tree_view.h"
#include "ui/window_fixture.h"
#include "ui_test_registry.h"

using namespace brenvale;

namespace {

QAccessibleInterface* Of(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void listRowsAreCheckBoxesSeparatorsAndItems();
    void rowsTickAndSelectThroughTheirActions();
    void editBoxesAndViewsAreNamedAfterTheirHints();
    void toolbarButtonsAreNamedByTheirCaptions();
    void countersAreNamedByWhatTheyShow();
};

void AccessibilityTest::listRowsAreCheckBoxesSeparatorsAndItems() {
    test::WindowFixture fixture("Work\n\b□buy milk\n\b■call\n\b□-\n\b□-Heading");
    CheckListView* view = fixture.window().list();
    QAccessibleInterface* list = Of(view);
    QVERIFY(list);
    QCOMPARE(list->role(), QAccessible::List);
    QCOMPARE(list->text(QAccessible::Name), QStringLiteral("チェックリスト"));
    QCOMPARE(list->childCount(), 4);

    QAccessibleInterface* open = list->child(0);
    QCOMPARE(open->role(), QAccessible::CheckBox);
    QCOMPARE(open->text(QAccessible::Name), QStringLiteral("buy milk"));
    QVERIFY(open->state().checkable);
    QVERIFY(!open->state().checked);
    QVERIFY(open->state().selectable);
    QCOMPARE(open->parent(), list);
    QCOMPARE(list->indexOfChild(open), 0);
    QCOMPARE(list->child(0), open);  // one interface per row

    QAccessibleInterface* done = list->child(1);
    QCOMPARE(done->role(), QAccessible::CheckBox);
    QVERIFY(done->state().checked);

    QAccessibleInterface* separator = list->child(2);
    QCOMPARE(separator->role(), QAccessible::Separator);
    QCOMPARE(separator->text(QAccessible::Name), QStringLiteral("区切り"));
    QVERIFY(!separator->state().checkable);
    QVERIFY(!separator->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::toggleAction()));

    // An Item without box reads as its text, without the "-", and is no check box.
    QAccessibleInterface* heading = list->child(3);
    QCOMPARE(heading->role(), QAccessible::ListItem);
    QCOMPARE(heading->text(QAccessible::Name), QStringLiteral("Heading"));
    QVERIFY(!heading->state().checkable);

    // The row under a point, in screen coordinates.
    QRect row = view->visualRect(view->model()->index(1, 0));
    QPoint centre = view->viewport()->mapToGlobal(row.center());
    QCOMPARE(list->childAt(centre.x(), centre.y()), done);
    QCOMPARE(done->rect().center(), centre);

    // With the separator off, the "-" row is an ordinary Item that reads as "-".
    Settings settings = fixture.editor().settings();
    settings.separatorItems = false;
    fixture.editor().setSettings(settings);
    QCOMPARE(list->child(2)->role(), QAccessible::ListItem);
    QCOMPARE(list->child(2)->text(QAccessible::Name), QString());
}

void AccessibilityTest::rowsTickAndSelectThroughTheirActions() {
    test::WindowFixture fixture("Work\n\b□one\n\b□two\n\b□three");
    Editor& editor = fixture.editor();
    CheckListView* view = fixture.window().list();
    QAccessibleInterface* list = Of(view);
    QAccessibleInterface* two = list->child(1);
    QAccessibleActionInterface* actions = two->actionInterface();
    QVERIFY(actions);
    QCOMPARE(actions->actionNames(), (QStringList{QAccessibleActionInterface::toggleAction(),
                                                  QAccessibleActionInterface::setFocusAction()}));
    QCOMPARE(actions->keyBindingsForAction(QAccessibleActionInterface::toggleAction()),
             QStringList{QStringLiteral("Space")});

    // The toggle action ticks the Item (the tick is stored as a click's would be).
    editor.selectRow(1);
    actions->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(editor.list().rowChecked(1));
    QVERIFY(two->state().checked);
    QVERIFY(editor.session().isModified());
    editor.execute(CommandId::Undo);
    QVERIFY(!editor.list().rowChecked(1));
    QVERIFY(!two->state().checked);
    editor.editTextChanged(EditBox::List, "zwei");
    editor.execute(CommandId::ListReplace);
    QCOMPARE(list->child(1)->text(QAccessible::Name), QStringLiteral("zwei"));

    // The focus action selects exactly that row.
    list->child(2)->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
    QCOMPARE(editor.list().selectedRow(), 2);
    QVERIFY(list->child(2)->state().selected);
    QVERIFY(!list->child(1)->state().selected);
    QCOMPARE(list->focusChild(), list->child(2));

    // After a row is deleted the rows read as they now stand (the interfaces of rows that
    // changed are made anew).
    editor.selectRow(0);
    editor.execute(CommandId::ListDel);
    QCOMPARE(list->childCount(), 2);
    QCOMPARE(list->child(0)->text(QAccessible::Name), QStringLiteral("zwei"));
    QCOMPARE(list->child(1)->text(QAccessible::Name), QStringLiteral("three"));
}

void AccessibilityTest::editBoxesAndViewsAreNamedAfterTheirHints() {
    test::WindowFixture fixture("Work");
    MainWindow& window = fixture.window();
    struct Expected {
        QWidget* widget;
        const char* name;
        const char* description;
    };
    for (const Expected& e : {
             Expected{window.treeEdit(), "ツリー編集枠",
                      "選択されているツリーの名称を変更できます"},
             Expected{window.listEdit(), "チェックリスト編集枠", "追加/変更を行う編集枠です"},
             Expected{window.tree(), "ツリー", "チェックリストのタイトルをツリー形式で管理"},
             Expected{window.list(), "チェックリスト", "やる事（ToDo)チェックリスト"},
         }) {
        QAccessibleInterface* iface = Of(e.widget);
        QCOMPARE(iface->text(QAccessible::Name), QString::fromUtf8(e.name));
        QCOMPARE(iface->text(QAccessible::Description), QString::fromUtf8(e.description));
    }
    QCOMPARE(Of(window.treeEdit())->role(), QAccessible::EditableText);
}

void AccessibilityTest::toolbarButtonsAreNamedByTheirCaptions() {
    test::WindowFixture fixture("Work\n\b□-note");
    MainWindow& window = fixture.window();
    Toolbar* toolbar = MainWindowTestAccess::toolbar(window);
    for (const CommandInfo& info : CommandTable()) {
        QAccessibleInterface* button = Of(toolbar->button(info.id));
        QVERIFY(button);
        const QString name = button->text(QAccessible::Name);
        QCOMPARE(name, FromUtf8(StepName(info.id)));
        QVERIFY(!name.contains(QLatin1Char('\t')) && !name.contains(QLatin1Char('&')));
        QCOMPARE(button->text(QAccessible::Description), FromUtf8(LongHint(info.hint)));
        // The shortcut is the press's key binding, as the menus show it.
        const QString press = info.id == CommandId::ListChkBox
                                  ? QAccessibleActionInterface::toggleAction()
                                  : QAccessibleActionInterface::pressAction();
        QStringList keys = button->actionInterface()->keyBindingsForAction(press);
        QCOMPARE(keys.join(QString()), FromUtf8(info.defaultKey));
    }
    QCOMPARE(Of(toolbar->button(CommandId::AddTree))->text(QAccessible::Name),
             QStringLiteral("同じ階層に追加"));
    QCOMPARE(Of(toolbar->button(CommandId::AddTree))->role(), QAccessible::Button);
    QVERIFY(Of(toolbar->button(CommandId::Open))
                ->actionInterface()
                ->actionNames()
                .contains(QAccessibleActionInterface::showMenuAction()));

    // The check box button is a check box, checked while it shows pressed.
    QAccessibleInterface* box = Of(toolbar->button(CommandId::ListChkBox));
    QCOMPARE(box->role(), QAccessible::CheckBox);
    QCOMPARE(box->text(QAccessible::Name), QStringLiteral("チェックボックス表示/非表示"));
    QVERIFY(box->state().checkable);
    fixture.editor().selectRow(0);
    QVERIFY(box->state().checked);

    // A disabled command offers nothing to do; an enabled one runs from its press action.
    QAccessibleInterface* del = Of(toolbar->button(CommandId::TreeLeft));
    QVERIFY(del->state().disabled);
    QVERIFY(del->actionInterface()->actionNames().isEmpty());
    Of(toolbar->button(CommandId::AddTree))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(fixture.editor().tree().treeCounterText(), std::string("2/2"));
}

void AccessibilityTest::countersAreNamedByWhatTheyShow() {
    test::WindowFixture fixture("Work\n\b□a\n\b■b\n\b□c\nHome");
    MainWindow& window = fixture.window();
    QAccessibleInterface* tree = Of(MainWindowTestAccess::treeCounter(window));
    QAccessibleInterface* list = Of(MainWindowTestAccess::listCounter(window));
    QCOMPARE(tree->role(), QAccessible::StaticText);
    QCOMPARE(tree->text(QAccessible::Name), QStringLiteral("ツリー情報(選択位置/総数) 1/2"));
    QCOMPARE(list->text(QAccessible::Name),
             QStringLiteral("チェックリスト情報(選択位置/総数/未チェック数) 1/3 (2)"));
    fixture.editor().selectRow(2);
    fixture.editor().toggleCheck(2);
    QCOMPARE(list->text(QAccessible::Name),
             QStringLiteral("チェックリスト情報(選択位置/総数/未チェック数) 3/3 (1)"));
}

BRENVALE_UI_TEST(ui_accessibility_tests, AccessibilityTest);

#include "accessibility_test.moc"
