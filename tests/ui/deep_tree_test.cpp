// Documents nested far deeper than anyone writes by hand: the window shows the first levels,
// keeps the rest and saves it all. The process runs on a stack of 1 MiB, an eighth of the usual,
// so that anything that recurses once per level (in our code or in what we ask of Qt's views)
// overflows it with a document of a few thousand levels.
#include <sys/resource.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QTest>

#include "modal_answers.h"
#include "support/answering_host.h"
#include "support/editor_test_access.h"
#include "support/temp_dir.h"
#include "test_window.h"
#include "ui/topic_tree_model.h"
#include "ui/topic_tree_view.h"

using namespace brenvale;

namespace {

constexpr int kShown = TopicTreeModel::kShownLevels;

// A chain of Topics, each the only child of the one before, in the file's own form.
std::string ChainFile(int levels) {
    std::string bytes;
    for (int level = 0; level < levels; ++level) {
        bytes.append(static_cast<size_t>(level), '\t');
        bytes += "t" + std::to_string(level) + "@00@\r\n";
    }
    return bytes;
}

// The Topic at a level of the chain that starts at top.
Topic* Below(Topic* top, int level) {
    for (; top && level > 0; --level) {
        top = top->hasChildren() ? top->child(0) : nullptr;
    }
    return top;
}

}  // namespace

class DeepTreeTest : public QObject {
    Q_OBJECT
private slots:
    void theViewShowsTheFirstLevelsOfAHundredThousand();
    void aDeepFileOpensEditsAndSavesInTheWindow();
    void rowsIndentedPastTheTreesEdgeScrollIntoView();
};

void DeepTreeTest::theViewShowsTheFirstLevelsOfAHundredThousand() {
    // No file that opens can nest this deep (its TABs alone would pass 4 GiB): the chain is
    // built in the editor's document before the views see it.
    constexpr int kLevels = 100000;
    AnsweringHost host;
    Editor editor(host, Settings{});
    editor.start({});
    Document& doc = EditorTestAccess::document(editor);
    Topic* top = doc.first();
    Topic* deepest = top;
    for (int level = 1; level < kLevels; ++level) {
        deepest = &AddChildTopic(doc, deepest, "x", 0, kBuiltInTopicImages);
    }
    TopicTreeModel model(editor, nullptr);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    TopicTreeView view(editor, model);
    view.resize(300, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    // Expanding everything (as a new tree colour does) lays out the shown levels only.
    view.expandAll();
    Topic* last = Below(top, kShown - 1);
    QModelIndex lastIndex = model.indexOf(last);
    QVERIFY(lastIndex.isValid());
    QCOMPARE(model.rowCount(lastIndex), 0);
    QVERIFY(!model.hasChildren(lastIndex));
    QVERIFY(!model.indexOf(last->child(0)).isValid());
    QVERIFY(!model.indexOf(deepest).isValid());
    QVERIFY(view.isExpanded(model.indexOf(Below(top, kShown - 2))));
    view.scrollTo(lastIndex);
    view.grab();

    // The editor's commands go on below the shown levels; the view hears of what it shows.
    editor.selectTopic(deepest);
    view.showEditorSelection();
    QVERIFY(!view.currentIndex().isValid());
    editor.execute(CommandId::AddTreeChild);
    editor.execute(CommandId::TreeLeft);
    QCOMPARE(model.rowCount(lastIndex), 0);
    // Moving the chain up a level brings one more of its Topics into view.
    editor.selectTopic(top->child(0));
    editor.execute(CommandId::TreeLeft);
    QCOMPARE(model.rowCount(), 3);
    QVERIFY(model.indexOf(Below(top->nextSibling(), kShown - 1)).isValid());
    view.expandAll();
    view.grab();
    // Deleted and put back whole.
    editor.execute(CommandId::DelTree);
    QCOMPARE(model.rowCount(), 2);
    editor.execute(CommandId::Undo);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(doc.topicCount(), size_t{kLevels + 2});
}

void DeepTreeTest::aDeepFileOpensEditsAndSavesInTheWindow() {
    constexpr int kLevels = 5000;
    test::TempDir dir;
    std::string path = dir.file("deep.bnv");
    std::string file = ChainFile(kLevels);
    test::WriteBytes(path, file);
    auto window = test::MakeWindow(dir);
    Editor& editor = window->editor();
    TopicTreeView* tree = window->tree();
    auto* model = static_cast<TopicTreeModel*>(tree->model());

    // The user is told once that the tree does not show every level.
    QString note;
    test::Answer(QStringLiteral("OK"), &note);
    editor.openDocument(path);
    QTRY_VERIFY(!note.isEmpty());
    QCOMPARE(note, QStringLiteral("ツリーの階層が深すぎるため、1000 "
                                  "階層より下のツリーは表示できません。\n"
                                  "表示されないツリーも、そのまま保存されます。"));
    QCOMPARE(editor.document().topicCount(), size_t{kLevels});
    Topic* top = editor.document().first();
    Topic* last = Below(top, kShown - 1);
    QVERIFY(model->indexOf(last).isValid());
    QVERIFY(!model->indexOf(last->child(0)).isValid());

    // The keys that walk and expand the tree stop at the last shown level.
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_End);
    QCOMPARE(editor.selection().topic(), last);
    QTest::keyClick(tree, Qt::Key_Asterisk);
    QTest::keyClick(tree, Qt::Key_Right);
    QTest::keyClick(tree, Qt::Key_Home);
    QTest::keyClick(tree, Qt::Key_Asterisk);
    QCOMPARE(editor.selection().topic(), top);
    tree->grab();

    // Copied, pasted, deleted and put back: every change below the shown levels is kept.
    editor.selectTopic(Below(top, kLevels - 10));
    QCOMPARE(window->treeEdit()->text(), QStringLiteral("t4990"));
    editor.execute(CommandId::TreeCopy);
    editor.selectTopic(top);
    editor.execute(CommandId::TreePaste);
    QCOMPARE(editor.document().topicCount(), size_t{kLevels + 10});
    editor.execute(CommandId::Undo);
    test::Answer(QStringLiteral("OK"));
    editor.execute(CommandId::DelTree);
    QVERIFY(editor.document().empty());
    editor.execute(CommandId::Undo);
    QCOMPARE(editor.document().topicCount(), size_t{kLevels});

    // Saved, the file holds the same chain again after the window's geometry lines.
    editor.session().setModified(true);
    editor.execute(CommandId::Save);
    QVERIFY(!editor.session().isModified());
    std::string saved = test::ReadBytes(path);
    QVERIFY(saved.ends_with(file));
    QCOMPARE(saved.size() - file.size(), saved.find("t0@00@"));
    window->close();
}

void DeepTreeTest::rowsIndentedPastTheTreesEdgeScrollIntoView() {
    // Ten levels pass the 129 pixels of a new window's tree.
    test::TempDir dir;
    std::string path = dir.file("ten.bnv");
    test::WriteBytes(path, ChainFile(10));
    auto window = test::MakeWindow(dir, {QString::fromStdString(path)});
    Editor& editor = window->editor();
    TopicTreeView* tree = window->tree();
    auto* model = static_cast<TopicTreeModel*>(tree->model());
    QCOMPARE(window->treeWidth(), 129);
    tree->setFocus();
    Topic* t = editor.document().first();
    for (int level = 1; level < 10; ++level) {
        QTest::keyClick(tree, Qt::Key_Down);
        t = t->child(0);
        QCOMPARE(editor.selection().topic(), t);
        QRect row = tree->visualRect(model->indexOf(t));
        QVERIFY(row.isValid());
        QVERIFY(tree->viewport()->rect().intersects(row));
    }
    QVERIFY(tree->horizontalScrollBar()->maximum() > 0);
    // Back at the top, the tree scrolls back to its left edge.
    QTest::keyClick(tree, Qt::Key_Home);
    QCOMPARE(editor.selection().topic(), editor.document().first());
    QCOMPARE(tree->horizontalScrollBar()->value(), 0);
    window->close();
}

int main(int argc, char** argv) {
    rlimit stack{};
    getrlimit(RLIMIT_STACK, &stack);
    stack.rlim_cur = std::min<rlim_t>(stack.rlim_cur, rlim_t{1} << 20);
    setrlimit(RLIMIT_STACK, &stack);
    QApplication app(argc, argv);
    DeepTreeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "deep_tree_test.moc"
