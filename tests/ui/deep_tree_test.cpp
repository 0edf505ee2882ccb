// Documents nested far deeper than anyone writes by hand: the window shows every level, opens,
// folds, scrolls to and saves them. The process runs on a stack of 1 MiB, an eighth of the
// usual, so that anything that recurses once per level (in our code or in what we ask of Qt)
// overflows it with a document of a few thousand levels.
#include <sys/resource.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include "modal_answers.h"
#include "support/answering_host.h"
#include "support/editor_test_access.h"
#include "support/temp_dir.h"
#include "test_window.h"
#include "ui/topic_tree_model.h"
#include "ui/topic_tree_view.h"
#include "ui_test_registry.h"

using namespace brenvale;

namespace {

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

// The current row's caption lies inside the client area, from its icon to its end.
bool CaptionInView(TopicTreeView& view) {
    TopicRowHit hit = view.hitAt(QPoint(0, view.visualRect(view.currentIndex()).center().y()));
    return hit.topic && hit.labelLeft >= 0 && hit.labelRight <= view.viewport()->width();
}

}  // namespace

class DeepTreeTest : public QObject {
    Q_OBJECT
private slots:
    void everyLevelOfAHundredThousandShowsOpensAndScrolls();
    void aDeepFileOpensEditsAndSavesInTheWindow();
    void rowsIndentedPastTheTreesEdgeScrollIntoView();
};

void DeepTreeTest::everyLevelOfAHundredThousandShowsOpensAndScrolls() {
    // No file that opens can nest this deep (its TABs alone would pass 4 GiB): the chain is
    // built in the editor's document, and the views start from it afresh.
    constexpr int kLevels = 100000;
    AnsweringHost host;
    Editor editor(host, Settings{});
    editor.files().start({});
    Document& doc = EditorTestAccess::document(editor);
    Topic* top = doc.first();
    Topic* deepest = top;
    for (int level = 1; level < kLevels; ++level) {
        deepest = &AddChildTopic(doc, deepest, "x", 0, kBuiltInTopicImages);
    }
    EditorTestAccess::documentRebuilt(editor);
    TopicTreeModel model(editor, nullptr);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    TopicTreeView view(editor, model);
    view.resize(300, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    // Every level is a row, the trash after them.
    QCOMPARE(model.rowCount(), kLevels + 1);
    QModelIndex last = model.indexOf(deepest);
    QCOMPARE(last.row(), kLevels - 1);
    QCOMPARE(model.level(last.row()), kLevels - 1);
    QVERIFY(model.data(model.index(kLevels - 2), TopicTreeModel::ExpandedRole).toBool());

    // Selected, the deepest Topic scrolls into view, its caption too, and paints.
    editor.tree().selectTopic(deepest);
    view.showEditorSelection();
    QCOMPARE(view.currentIndex(), last);
    QVERIFY(view.viewport()->rect().intersects(view.visualRect(last)));
    QVERIFY(CaptionInView(view));
    view.grab();
    view.setFocus();
    QTest::keyClick(&view, Qt::Key_Up);
    QCOMPARE(editor.selection().topic(), deepest->parent());
    QVERIFY(CaptionInView(view));

    // Folding and opening a level far down, and the top, count the rows they hide.
    Topic* middle = Below(top, kLevels / 2);
    editor.tree().setTopicExpanded(middle, false);
    QCOMPARE(model.rowCount(), kLevels / 2 + 2);
    QCOMPARE(view.currentIndex(), QModelIndex());  // the selected Topic is folded away
    editor.tree().setTopicExpanded(top, false);
    QCOMPARE(model.rowCount(), 2);
    editor.tree().expandAllTopics();
    QCOMPARE(model.rowCount(), kLevels + 1);
    view.grab();

    // The editor's commands at the deepest level; the view follows.
    editor.tree().selectTopic(deepest);
    editor.execute(CommandId::AddTreeChild);
    QCOMPARE(model.rowCount(), kLevels + 2);
    QCOMPARE(model.level(model.indexOf(editor.selection().topic()).row()), kLevels);
    editor.execute(CommandId::TreeLeft);
    QCOMPARE(model.level(model.indexOf(editor.selection().topic()).row()), kLevels - 1);
    // Moving the chain up a level keeps every row.
    editor.tree().selectTopic(top->child(0));
    editor.execute(CommandId::TreeLeft);
    QCOMPARE(model.rowCount(), kLevels + 2);
    QCOMPARE(model.level(model.indexOf(deepest).row()), kLevels - 2);
    view.grab();
    // Deleted and put back whole.
    editor.execute(CommandId::DelTree);
    QCOMPARE(model.rowCount(), 2);
    editor.execute(CommandId::Undo);
    QCOMPARE(model.rowCount(), kLevels + 2);
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

    // Every level shows, without a word about it.
    editor.files().openDocument(path);
    QTest::qWait(50);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(editor.document().topicCount(), size_t{kLevels});
    QCOMPARE(model->rowCount(), kLevels);
    Topic* top = editor.document().first();
    Topic* last = Below(top, kLevels - 1);
    QVERIFY(model->indexOf(last).isValid());

    // The keys walk, fold and open every level.
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_End);
    QCOMPARE(editor.selection().topic(), last);
    QVERIFY(CaptionInView(*tree));
    QTest::keyClick(tree, Qt::Key_Left);  // a leaf: to its parent
    QCOMPARE(editor.selection().topic(), last->parent());
    QTest::keyClick(tree, Qt::Key_Minus);
    QCOMPARE(model->rowCount(), kLevels - 1);
    QTest::keyClick(tree, Qt::Key_Right);
    QCOMPARE(model->rowCount(), kLevels);
    QTest::keyClick(tree, Qt::Key_Home);
    QCOMPARE(editor.selection().topic(), top);
    QCOMPARE(tree->horizontalScrollBar()->value(), 0);
    QTest::keyClick(tree, Qt::Key_Minus);
    QCOMPARE(model->rowCount(), 1);
    QTest::keyClick(tree, Qt::Key_Asterisk);
    QCOMPARE(model->rowCount(), kLevels);
    tree->grab();

    // Copied, pasted, deleted and put back: every level is kept.
    editor.tree().selectTopic(Below(top, kLevels - 10));
    QCOMPARE(window->treeEdit()->text(), QStringLiteral("t4990"));
    editor.execute(CommandId::TreeCopy);
    editor.tree().selectTopic(top);
    editor.execute(CommandId::TreePaste);
    QCOMPARE(editor.document().topicCount(), size_t{kLevels + 10});
    QCOMPARE(model->rowCount(), kLevels + 10);
    editor.execute(CommandId::Undo);
    test::Answer(QStringLiteral("OK"));
    editor.execute(CommandId::DelTree);
    QVERIFY(editor.document().empty());
    QCOMPARE(model->rowCount(), 0);
    editor.execute(CommandId::Undo);
    QCOMPARE(editor.document().topicCount(), size_t{kLevels});
    QCOMPARE(model->rowCount(), kLevels);

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

// Runs the tests on the smaller stack (see above).
int DeepTreeTestMain(int argc, char** argv) {
    rlimit stack{};
    getrlimit(RLIMIT_STACK, &stack);
    stack.rlim_cur = std::min<rlim_t>(stack.rlim_cur, rlim_t{1} << 20);
    setrlimit(RLIMIT_STACK, &stack);
    QApplication app(argc, argv);
    DeepTreeTest test;
    return QTest::qExec(&test, argc, argv);
}

BRENVALE_UI_TEST_MAIN(ui_deep_tree_tests, DeepTreeTestMain);

#include "deep_tree_test.moc"
