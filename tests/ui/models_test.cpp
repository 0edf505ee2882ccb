#include <QAbstractItemModelTester>
#include <QApplication>
#include <QTest>

#include "support/answering_host.h"
#include "support/temp_dir.h"
#include "ui/check_list_model.h"
#include "ui/codec.h"
#include "ui/topic_tree_model.h"
#include "ui_test_registry.h"

using namespace brenvale;

namespace {

// A window that answers every question with OK (or Yes) and keeps a clipboard of its own.

}  // namespace

class ModelsTest : public QObject {
    Q_OBJECT
private slots:
    void treeModelFollowsEveryTreeCommand();
    void listModelFollowsEveryListCommand();
    void codecKeepsWhatCp932CannotHoldAsReferences();
    void modelsAndEditorMayGoInEitherOrder();
    void modelsAreSafeAgainstRowsThatAreGoneAndMovesTheyCannotExpress();
};

void ModelsTest::modelsAndEditorMayGoInEitherOrder() {
    AnsweringHost host;
    // The window frees its editor before the models that are its children.
    auto editor = std::make_unique<Editor>(host, Settings{});
    editor->files().start({});
    auto tree = std::make_unique<TopicTreeModel>(*editor, nullptr);
    auto list = std::make_unique<CheckListModel>(*editor);
    editor.reset();
    tree.reset();  // the sanitizer build sees any touch of the freed editor
    list.reset();

    // And the other way round: a model that goes first hears nothing more.
    editor = std::make_unique<Editor>(host, Settings{});
    editor->files().start({});
    tree = std::make_unique<TopicTreeModel>(*editor, nullptr);
    int inserted = 0;
    connect(tree.get(), &QAbstractItemModel::rowsInserted, [&] { ++inserted; });
    editor->execute(CommandId::AddTree);
    QCOMPARE(inserted, 1);
    tree.reset();
    editor->execute(CommandId::AddTree);
}

void ModelsTest::treeModelFollowsEveryTreeCommand() {
    AnsweringHost host;
    Editor editor(host, Settings{});
    TopicTreeModel model(editor, nullptr);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    int inserted = 0;
    int moved = 0;
    int resets = 0;
    connect(&model, &QAbstractItemModel::rowsInserted, [&] { ++inserted; });
    connect(&model, &QAbstractItemModel::rowsMoved, [&] { ++moved; });
    connect(&model, &QAbstractItemModel::modelReset, [&] { ++resets; });
    // The rows as "caption/level", from the model alone.
    auto rows = [&] {
        QStringList out;
        for (int row = 0; row < model.rowCount(); ++row) {
            QModelIndex index = model.index(row);
            out << index.data().toString() + "/" +
                       index.data(TopicTreeModel::LevelRole).toString() +
                       (index.data(TopicTreeModel::HasChildrenRole).toBool()
                            ? (index.data(TopicTreeModel::ExpandedRole).toBool() ? "+" : "-")
                            : "");
        }
        return out;
    };

    editor.files().start({});
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.data(model.index(1, 0), Qt::DisplayRole).toString(), QStringLiteral("ごみ箱"));
    editor.execute(CommandId::AddTree);
    editor.execute(CommandId::AddTreeChild);
    editor.execute(CommandId::AddTreeChild);
    QCOMPARE(inserted, 3);
    Topic* child = editor.selection().topic();
    QCOMPARE(model.topic(model.indexOf(child)), child);
    editor.editTextChanged(EditBox::Tree, "c");
    editor.tree().selectTopic(child->parent());
    editor.editTextChanged(EditBox::Tree, "b");
    QCOMPARE(rows(), (QStringList{"新しいツリー/0", "ごみ箱/0", "新しいツリー/0+", "b/1+", "c/2"}));
    editor.tree().setTopicExpanded(child->parent(), false);
    QCOMPARE(rows(), (QStringList{"新しいツリー/0", "ごみ箱/0", "新しいツリー/0+", "b/1-"}));
    editor.execute(CommandId::TreeUp);
    editor.execute(CommandId::TreeDown);
    editor.execute(CommandId::TreeLeft);
    QCOMPARE(rows(), (QStringList{"新しいツリー/0", "ごみ箱/0", "新しいツリー/0", "b/0-"}));
    editor.execute(CommandId::TreeRight);
    editor.tree().selectTopic(editor.document().first());
    editor.execute(CommandId::TreeDown);
    QVERIFY(moved > 0);
    editor.editTextChanged(EditBox::Tree, "renamed");
    QCOMPARE(model.data(model.indexOf(editor.selection().topic()), Qt::DisplayRole).toString(),
             QStringLiteral("renamed"));
    // A paste is told as the rows that come in, not as a new tree.
    editor.execute(CommandId::TreeCopy);
    int insertedBefore = inserted;
    editor.execute(CommandId::TreePaste);
    QCOMPARE(inserted, insertedBefore + 1);
    QCOMPARE(resets, 1);  // the start's new document
    editor.tree().expandAllTopics();
    QCOMPARE(resets, 2);
    QCOMPARE(rows(),
             (QStringList{"ごみ箱/0", "renamed/0", "新しいツリー/0+", "b/1+", "c/2", "renamed/0"}));
    editor.execute(CommandId::DelTree);
    while (!editor.document().empty()) {
        editor.execute(CommandId::DelTree);
    }
    QCOMPARE(model.rowCount(), 0);
}

void ModelsTest::listModelFollowsEveryListCommand() {
    AnsweringHost host;
    Editor editor(host, Settings{});
    CheckListModel model(editor);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    editor.files().start({});
    for (const char* text : {"a", "b", "-c", "d\r\ne\r\nf"}) {
        editor.editTextChanged(EditBox::List, text);
        editor.execute(CommandId::ListAdd);
    }
    QCOMPARE(model.rowCount(), 6);
    QCOMPARE(model.data(model.index(2), Qt::DisplayRole).toString(), QStringLiteral("c"));
    QCOMPARE(model.data(model.index(2), CheckListModel::RawTextRole).toString(),
             QStringLiteral("-c"));
    QCOMPARE(model.data(model.index(2), CheckListModel::KindRole).toInt(),
             static_cast<int>(ItemKind::NoBox));
    editor.selectRow(1);
    editor.execute(CommandId::ListMoveUp);
    editor.execute(CommandId::ListMoveDown);
    editor.execute(CommandId::ListMoveDown);
    editor.execute(CommandId::ListAddLine);
    editor.execute(CommandId::ListChkBox);
    QVERIFY(model.setData(model.index(0), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(model.data(model.index(0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    editor.drag().beginDrag(DragKind::Item);
    editor.drag().dropOnList(0);
    editor.drag().endDrag();
    editor.execute(CommandId::ListCut);
    editor.execute(CommandId::ListPaste);
    while (editor.list().rowCount() > 0) {
        editor.execute(CommandId::ListDel);
    }
    QCOMPARE(model.rowCount(), 0);
    editor.execute(CommandId::AddTree);
    QCOMPARE(model.rowCount(), 0);
}

void ModelsTest::codecKeepsWhatCp932CannotHoldAsReferences() {
    QCOMPARE(FromCp932(test::Sjis("仕事①")), QStringLiteral("仕事①"));
    QCOMPARE(ToCp932(QStringLiteral("〜")), std::string("\x81\x60"));
    QCOMPARE(ToCp932(QStringLiteral("caf\u00e9")), std::string("caf&#xE9;"));
    QCOMPARE(ToCp932(QStringLiteral("a😀b")), std::string("a&#x1F600;b"));
    QCOMPARE(FromCp932("a&#x1F600;b&#x41;"), QStringLiteral("a😀b&#x41;"));
    // In an edit box only bytes CP932 does not define show as "?", not a reference of U+FFFD.
    bool undecodable = false;
    QCOMPARE(FromCp932ForEditing("&#xFFFD;\x80", &undecodable), QStringLiteral("\uFFFD?"));
    QVERIFY(undecodable);
    QCOMPARE(FromCp932ForEditing("&#xFFFD;", &undecodable), QStringLiteral("\uFFFD"));
    QVERIFY(!undecodable);
}

void ModelsTest::modelsAreSafeAgainstRowsThatAreGoneAndMovesTheyCannotExpress() {
    AnsweringHost host;
    Editor editor(host, Settings{});
    CheckListModel list(editor);
    TopicTreeModel tree(editor, nullptr);
    QAbstractItemModelTester listTester(&list,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester treeTester(&tree,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
    editor.files().start({});
    for (const char* text : {"a", "b"}) {
        editor.editTextChanged(EditBox::List, text);
        editor.execute(CommandId::ListAdd);
    }
    // An index kept by a view or an event while its row went away.
    QModelIndex stale = list.index(1);
    editor.execute(CommandId::ListDel);
    editor.execute(CommandId::ListDel);
    QVERIFY(!list.setData(stale, Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(list.data(stale, Qt::CheckStateRole), QVariant());
    QCOMPARE(list.rowCount(), 0);

    // A move to where the rows already are cannot be told as a move; it is told as a reset.
    int resets = 0;
    connect(&tree, &QAbstractItemModel::modelReset, [&] { ++resets; });
    EditorObserver& treeObserver = tree;
    treeObserver.beginMoveTreeRows(0, 1, 1);
    treeObserver.endMoveTreeRows();
    QCOMPARE(resets, 1);
    QCOMPARE(tree.rowCount(), 2);
    editor.editTextChanged(EditBox::List, "c");
    editor.execute(CommandId::ListAdd);
    EditorObserver& listObserver = list;
    listObserver.beginMoveItem(0, 0);
    listObserver.endMoveItem();
    QCOMPARE(list.rowCount(), 1);
}

BRENVALE_UI_TEST(ui_model_tests, ModelsTest);
#include "models_test.moc"
