// The tree view by itself: the keys and the pointer that open, fold and walk it, and what a
// screen reader is told of it.
#include <QAccessible>
#include <QLineEdit>
#include <QTest>

#include "ui_test_registry.h"
#include "window_fixture.h"

using namespace brenvale;
using test::Find;
using test::PointOn;
using test::RowPart;

namespace {

// The tree's rows as the view shows them: "caption/level", "+" or "-" after a Topic that is
// open or folded.
QStringList ShownRows(TopicTreeView* tree) {
    QStringList out;
    QAbstractItemModel* model = tree->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        QModelIndex index = model->index(row, 0);
        QString mark;
        if (index.data(TopicTreeModel::HasChildrenRole).toBool()) {
            mark = tree->isExpanded(index) ? "+" : "-";
        }
        out << index.data().toString() + "/" + index.data(TopicTreeModel::LevelRole).toString() +
                   mark;
    }
    return out;
}

QString Selected(Editor& editor) {
    Topic* t = editor.selection().topic();
    return t ? QString::fromStdString(t->caption) : QString();
}

}  // namespace

class TreeViewTest : public QObject {
    Q_OBJECT
private slots:
    void keysWalkOpenAndFoldTheTree();
    void theButtonOpensAndFoldsAndADoubleClickToo();
    void foldingTheSelectedTopicsAncestorSelectsIt();
    void aScreenReaderReadsTheRowsAsATree();
    void aScreenReaderSelectsTheRowItAsksFor();
};

void TreeViewTest::keysWalkOpenAndFoldTheTree() {
    test::WindowFixture fixture("A\n\tA1\n\t\tA11\n\tA2\nB");
    Editor& editor = fixture.editor();
    TopicTreeView* tree = fixture.window().tree();
    tree->setFocus();
    using L = QStringList;
    QCOMPARE(ShownRows(tree), (L{"A/0+", "A1/1+", "A11/2", "A2/1", "B/0"}));

    QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(Selected(editor), QStringLiteral("A1"));
    QTest::keyClick(tree, Qt::Key_Minus);
    QCOMPARE(ShownRows(tree), (L{"A/0+", "A1/1-", "A2/1", "B/0"}));
    QTest::keyClick(tree, Qt::Key_Plus);
    QCOMPARE(ShownRows(tree), (L{"A/0+", "A1/1+", "A11/2", "A2/1", "B/0"}));
    // Left folds an open Topic, then goes to its parent; Right opens, then goes to the first
    // child.
    QTest::keyClick(tree, Qt::Key_Left);
    QCOMPARE(ShownRows(tree), (L{"A/0+", "A1/1-", "A2/1", "B/0"}));
    QCOMPARE(Selected(editor), QStringLiteral("A1"));
    QTest::keyClick(tree, Qt::Key_Left);
    QCOMPARE(Selected(editor), QStringLiteral("A"));
    QTest::keyClick(tree, Qt::Key_Right);  // A is open: to its first child
    QCOMPARE(Selected(editor), QStringLiteral("A1"));
    QTest::keyClick(tree, Qt::Key_Right);
    QCOMPARE(ShownRows(tree), (L{"A/0+", "A1/1+", "A11/2", "A2/1", "B/0"}));
    QTest::keyClick(tree, Qt::Key_Right);
    QCOMPARE(Selected(editor), QStringLiteral("A11"));
    // * opens a Topic and everything below it.
    editor.tree().setTopicExpanded(Find(editor, "A1"), false);
    editor.tree().setTopicExpanded(Find(editor, "A"), false);
    QCOMPARE(Selected(editor), QStringLiteral("A11"));  // the editor's own folding keeps it
    QCOMPARE(tree->currentIndex(), QModelIndex());
    QTest::keyClick(tree, Qt::Key_Home);
    QCOMPARE(Selected(editor), QStringLiteral("A"));
    QTest::keyClick(tree, Qt::Key_Asterisk);
    QCOMPARE(ShownRows(tree), (L{"A/0+", "A1/1+", "A11/2", "A2/1", "B/0"}));
    QTest::keyClick(tree, Qt::Key_End);
    QCOMPARE(Selected(editor), QStringLiteral("B"));
    QTest::keyClick(tree, Qt::Key_PageUp);
    QCOMPARE(Selected(editor), QStringLiteral("A"));
    QTest::keyClick(tree, Qt::Key_PageDown);
    QCOMPARE(Selected(editor), QStringLiteral("B"));
    QTest::keyClick(tree, Qt::Key_Up);
    QCOMPARE(Selected(editor), QStringLiteral("A2"));
    // Nothing of this changed the document.
    QVERIFY(!editor.session().isModified());
}

void TreeViewTest::theButtonOpensAndFoldsAndADoubleClickToo() {
    test::WindowFixture fixture("A\n\tA1\n\t\tA11\nB\n\tB1");
    Editor& editor = fixture.editor();
    TopicTreeView* tree = fixture.window().tree();
    using L = QStringList;
    // The button folds A1 and selects nothing.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      PointOn(tree, Find(editor, "A1"), RowPart::Button));
    QCOMPARE(ShownRows(tree), (L{"A/0+", "A1/1-", "B/0+", "B1/1"}));
    QCOMPARE(Selected(editor), QStringLiteral("A"));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      PointOn(tree, Find(editor, "A1"), RowPart::Button));
    QCOMPARE(ShownRows(tree), (L{"A/0+", "A1/1+", "A11/2", "B/0+", "B1/1"}));
    // A top-level Topic has no button: its indentation selects it.
    TopicRowHit hit = tree->hitAt(PointOn(tree, Find(editor, "B"), RowPart::Caption));
    QCOMPARE(hit.buttonLeft, hit.buttonRight);
    // A double click on a caption opens or folds its Topic, and selects it.
    QPoint onB = PointOn(tree, Find(editor, "B"), RowPart::Caption);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, onB);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, onB);
    QCOMPARE(ShownRows(tree), (L{"A/0+", "A1/1+", "A11/2", "B/0-"}));
    QCOMPARE(Selected(editor), QStringLiteral("B"));
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, onB);
    QCOMPARE(ShownRows(tree), (L{"A/0+", "A1/1+", "A11/2", "B/0+", "B1/1"}));
    QVERIFY(!editor.session().isModified());
}

void TreeViewTest::foldingTheSelectedTopicsAncestorSelectsIt() {
    test::WindowFixture fixture("A\n\b□a\n\tA1\n\t\b□x\n\t\tA11\nB");
    Editor& editor = fixture.editor();
    TopicTreeView* tree = fixture.window().tree();
    editor.tree().selectTopic(Find(editor, "A11"));
    // Folded by its button, A1 hides the selected Topic: A1 is selected and its list shown.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      PointOn(tree, Find(editor, "A1"), RowPart::Button));
    QCOMPARE(Selected(editor), QStringLiteral("A1"));
    QCOMPARE(tree->currentIndex().data().toString(), QStringLiteral("A1"));
    QCOMPARE(editor.list().rowCount(), size_t(1));
    QCOMPARE(fixture.window().treeEdit()->text(), QStringLiteral("A1"));
    // Folding a Topic beside the selected one leaves the selection.
    editor.tree().selectTopic(Find(editor, "B"));
    tree->setExpanded(tree->treeModel().indexOf(Find(editor, "A")), false);
    QCOMPARE(Selected(editor), QStringLiteral("B"));
}

void TreeViewTest::aScreenReaderReadsTheRowsAsATree() {
    test::WindowFixture fixture("A\n\tA1\n\t\tA11\n\tA2\nB");
    Editor& editor = fixture.editor();
    TopicTreeView* tree = fixture.window().tree();
    editor.tree().setTopicExpanded(Find(editor, "A1"), false);
    editor.tree().selectTopic(Find(editor, "A2"));
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(tree);
    QVERIFY(view);
    QCOMPARE(view->role(), QAccessible::Tree);
    QCOMPARE(view->childCount(), 4);
    QStringList read;
    for (int i = 0; i < view->childCount(); ++i) {
        QAccessibleInterface* row = view->child(i);
        QCOMPARE(row->role(), QAccessible::TreeItem);
        QCOMPARE(view->indexOfChild(row), i);
        QCOMPARE(row->parent(), view);
        QAccessible::State s = row->state();
        QString opened = s.expandable ? (s.expanded ? "+" : "-") : "";
        // A leaf claims neither state.
        QVERIFY(s.expandable || (!s.expanded && !s.collapsed));
        QVERIFY(!s.expandable || s.expanded != s.collapsed);
        read << row->text(QAccessible::Name) + "," + row->text(QAccessible::Description) + opened +
                    (s.selected ? "*" : "");
    }
    QCOMPARE(read, (QStringList{"A,階層 1+", "A1,階層 2-", "A2,階層 2*", "B,階層 1"}));
    QAccessibleInterface* a2 = view->child(2);
    QCOMPARE(view->focusChild(), a2);
    QVERIFY(view->childAt(a2->rect().center().x(), a2->rect().center().y()) == a2);
    QCOMPARE(view->tableInterface()->selectedRows(), QList<int>{2});

    // The rows follow a change of the tree.
    editor.tree().setTopicExpanded(Find(editor, "A1"), true);
    QCOMPARE(view->childCount(), 5);
    QCOMPARE(view->child(2)->text(QAccessible::Name), QStringLiteral("A11"));
    QCOMPARE(view->child(2)->text(QAccessible::Description), QStringLiteral("階層 3"));
    // A row's toggle opens and folds its Topic.
    QAccessibleInterface* a1 = view->child(1);
    QVERIFY(
        a1->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    QVERIFY(!view->child(2)->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::toggleAction()));
    a1->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(!Find(editor, "A1")->expanded);
    QCOMPARE(view->childCount(), 4);
}

void TreeViewTest::aScreenReaderSelectsTheRowItAsksFor() {
    test::WindowFixture fixture("A\n\tA1\n\t\tA11\n\tA2\nB\nC");
    Editor& editor = fixture.editor();
    TopicTreeView* tree = fixture.window().tree();
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(tree);
    QAccessibleTableInterface* table = view->tableInterface();
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 6);
    QCOMPARE(table->columnCount(), 1);
    for (int row : {4, 1, 5, 0, 3}) {
        QVERIFY(table->selectRow(row));
        QCOMPARE(Selected(editor), view->child(row)->text(QAccessible::Name));
        QCOMPARE(table->selectedRows(), QList<int>{row});
        QVERIFY(table->isRowSelected(row));
        QCOMPARE(table->cellAt(row, 0), view->child(row));
        QCOMPARE(table->cellAt(row, 0)->tableCellInterface()->rowIndex(), row);
        QVERIFY(view->child(row)->state().selected);
    }
    QVERIFY(!table->selectRow(6));
    QVERIFY(!table->unselectRow(3));
    // A row's own action selects it too.
    view->child(2)->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
    QCOMPARE(Selected(editor), QStringLiteral("A11"));
}

BRENVALE_UI_TEST(ui_tree_view_tests, TreeViewTest);
#include "tree_view_test.moc"
