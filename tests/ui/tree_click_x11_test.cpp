// Clicks on the tree through the X server, as a user makes them: which click sends the focus to
// the tree's edit box.
#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

#include "ui/check_list_view.h"
#include "ui_test_registry.h"
#include "window_fixture.h"

using namespace brenvale;
using test::PointOn;
using test::RowPart;

namespace {

// Left clicks of the real pointer at a point of a widget, 100 ms apart.
void PointerClick(QWidget* widget, QPoint at, int clicks = 1) {
    QPoint global = widget->mapToGlobal(at);
    // (A move with --sync waits long for a pointer that is already there.)
    QCOMPARE(
        QProcess::execute("xdotool", {"mousemove", QString::number(global.x()),
                                      QString::number(global.y()), "sleep", "0.1", "click",
                                      "--repeat", QString::number(clicks), "--delay", "100", "1"}),
        0);
}

// Long enough for two clicks not to make a double click.
void WaitPastDoubleClick() {
    QTest::qWait(QApplication::doubleClickInterval() + 300);
}

}  // namespace

class TreeClickX11Test : public QObject {
    Q_OBJECT
private slots:
    void onlyASlowSecondClickInTheFocusedTreeGoesToTheEditBox();
};

void TreeClickX11Test::onlyASlowSecondClickInTheFocusedTreeGoesToTheEditBox() {
    test::WindowFixture fixture("Groceries\n\tMilk\nWork");
    QVERIFY(fixture.exposed());
    QVERIFY(fixture.activate());
    MainWindow& window = fixture.window();
    TopicTreeView* tree = window.tree();
    QLineEdit* treeEdit = window.treeEdit();
    Topic* selected = fixture.editor().selection().topic();
    QCOMPARE(QString::fromStdString(selected->caption), QStringLiteral("Groceries"));
    QPoint caption = PointOn(tree, selected, RowPart::Caption);

    // The list has the focus; a click on the selected Topic only gives the tree the focus.
    CheckListView* list = window.list();
    PointerClick(list->viewport(), list->viewport()->rect().center());
    QTRY_COMPARE(QApplication::focusWidget(), list);
    PointerClick(tree->viewport(), caption);
    QTRY_COMPARE(QApplication::focusWidget(), tree);
    WaitPastDoubleClick();
    QCOMPARE(QApplication::focusWidget(), tree);

    // A double click on it expands or collapses and stays in the tree.
    bool expanded = tree->isExpanded(tree->currentIndex());
    PointerClick(tree->viewport(), caption, 2);
    QTRY_COMPARE(tree->isExpanded(tree->currentIndex()), !expanded);
    WaitPastDoubleClick();
    QCOMPARE(QApplication::focusWidget(), tree);

    // A slow second click in the tree that has the focus edits the caption in the edit box.
    PointerClick(tree->viewport(), caption);
    QTRY_COMPARE(QApplication::focusWidget(), treeEdit);
    QCOMPARE(treeEdit->selectedText(), QStringLiteral("Groceries"));

    // From the edit box, the click on the selected Topic again only focuses the tree.
    WaitPastDoubleClick();
    PointerClick(tree->viewport(), caption);
    QTRY_COMPARE(QApplication::focusWidget(), tree);
    WaitPastDoubleClick();
    QCOMPARE(QApplication::focusWidget(), tree);
}

BRENVALE_UI_TEST(ui_tree_click_x11_tests, TreeClickX11Test);

#include "tree_click_x11_test.moc"
