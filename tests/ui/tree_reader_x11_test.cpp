// What a screen reader hears from the tree while the keys walk it. Run on a real display in a
// D-Bus session with the accessibility bus, where Qt's screen reader bridge is on and sends
// the events this test listens to.
#include <QAccessible>
#include <QApplication>
#include <QTest>

#include "ui/check_list_view.h"
#include "ui_test_registry.h"
#include "window_fixture.h"

using namespace brenvale;
using test::Find;

namespace {

// What screen readers were told of focus and selection: "tree:ROW NAME" for a tree row,
// otherwise the class of the object that told it.
QStringList g_focus;
QStringList g_selection;
TopicTreeView* g_tree = nullptr;

void Note(QAccessibleEvent* event) {
    QString who = event->object() == g_tree
                      ? QStringLiteral("tree:%1").arg(event->child())
                      : QString::fromLatin1(event->object()->metaObject()->className());
    QAccessibleInterface* row = event->accessibleInterface();
    if (row && event->object() == g_tree) {
        who += " " + row->text(QAccessible::Name);
    }
    if (event->type() == QAccessible::Focus) {
        g_focus << who;
    } else if (event->type() == QAccessible::SelectionAdd) {
        g_selection << who;
    }
}

// What was told since the last call, one event after the other.
QString Take(QStringList& told) {
    return std::exchange(told, {}).join(QStringLiteral(", "));
}

}  // namespace

class TreeReaderX11Test : public QObject {
    Q_OBJECT
private slots:
    void keysTellTheFocusedTreeRow();
};

void TreeReaderX11Test::keysTellTheFocusedTreeRow() {
    test::WindowFixture fixture("A\n\tA1\n\b□x\n\b□y\nB\nC");
    QVERIFY(fixture.exposed());
    QVERIFY(fixture.activate());
    QTRY_VERIFY_WITH_TIMEOUT(QAccessible::isActive(), 10000);
    Editor& editor = fixture.editor();
    MainWindow& window = fixture.window();
    g_tree = window.tree();
    g_tree->setFocus();
    QTRY_VERIFY(g_tree->hasFocus());
    editor.tree().selectTopic(Find(editor, "B"));
    QAccessible::installUpdateHandler(Note);

    QTest::keyClick(g_tree, Qt::Key_Home);
    QCOMPARE(Take(g_focus), QStringLiteral("tree:0 A"));
    QCOMPARE(Take(g_selection), QStringLiteral("tree:0 A"));
    QTest::keyClick(g_tree, Qt::Key_End);
    QCOMPARE(Take(g_focus), QStringLiteral("tree:3 C"));
    QTest::keyClick(g_tree, Qt::Key_Up);
    QCOMPARE(Take(g_focus), QStringLiteral("tree:2 B"));
    QTest::keyClick(g_tree, Qt::Key_PageUp);
    QCOMPARE(Take(g_focus), QStringLiteral("tree:0 A"));
    QTest::keyClick(g_tree, Qt::Key_Down);
    QCOMPARE(Take(g_focus), QStringLiteral("tree:1 A1"));
    QTest::keyClick(g_tree, Qt::Key_Left);  // a leaf: to its parent
    QCOMPARE(Take(g_focus), QStringLiteral("tree:0 A"));
    // Folding the focused Topic moves nothing: no row is announced again.
    QTest::keyClick(g_tree, Qt::Key_Left);
    QCOMPARE(Take(g_focus), QString());
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(g_tree);
    QCOMPARE(view->focusChild()->text(QAccessible::Name), QStringLiteral("A"));
    QVERIFY(view->focusChild()->state().focused);
    QVERIFY(view->focusChild()->state().collapsed);

    // The list's rows are told only once the list has the focus.
    CheckListView* list = window.list();
    list->setFocus();
    QTRY_VERIFY(list->hasFocus());
    Take(g_focus);
    editor.tree().selectTopic(Find(editor, "A1"));
    QVERIFY(!Take(g_focus).contains(QStringLiteral("tree:")));
    QAccessible::installUpdateHandler(nullptr);
}

BRENVALE_UI_TEST(ui_tree_reader_x11_tests, TreeReaderX11Test);
#include "tree_reader_x11_test.moc"
