#include <gtest/gtest.h>

#include "document/model.h"
#include "editor/drag_scroll.h"
#include "editor/drop_zone.h"
#include "editor_fixture.h"

namespace brenvale {
namespace {

using Zone = TopicDropZone;
using V = std::vector<std::string>;

class DropCommands : public test::EditorTest {};

TEST_F(DropCommands, ATopicDropsWhereTheZoneSays) {
    Build({"a", "  a1", "b", "c"});
    editor.tree().selectTopic(Find("c"));
    DropTopic(Zone::OnTopic, Find("a"));
    EXPECT_EQ(Shape(), (V{"a/0+", "a1/1", "c/1", "b/0"}));
    EXPECT_TRUE(editor.session().isModified());
    EXPECT_EQ(editor.selection().topic(), Find("c"));
    DropTopic(Zone::BelowAll, nullptr);
    EXPECT_EQ(Shape(), (V{"a/0+", "a1/1", "b/0", "c/0"}));
    DropTopic(Zone::ButtonOrRight, Find("a"));
    EXPECT_EQ(Shape(), (V{"a/0+", "c/1", "a1/1", "b/0"}));
    DropTopic(Zone::Indent, Find("b"));
    EXPECT_EQ(Shape(), (V{"a/0+", "a1/1", "c/0", "b/0"}));
}

TEST_F(DropCommands, ADropIntoItsOwnSubtreeOrOnItselfChangesNothing) {
    Build({"a", "  a1", "    a11", "b"});
    editor.tree().selectTopic(Find("a"));
    DropTopic(Zone::OnTopic, Find("a11"));
    DropTopic(Zone::Indent, Find("a1"));
    DropTopic(Zone::OnTopic, Find("a"));
    DropTopic(Zone::Outside, Find("b"));
    EXPECT_EQ(Shape(), (V{"a/0+", "a1/1+", "a11/2", "b/0"}));
    EXPECT_FALSE(editor.session().isModified());
}

TEST_F(DropCommands, AnItemMovesWithinTheListAfterOrBeforeTheHoveredRow) {
    Build({"t:r0,*r1,r2,r3,r4"});
    // Row 0 dragged onto row 3: the line shows under row 3 and the Item lands after it.
    EXPECT_EQ(InsertionRow(3, 0, 5), 4);
    editor.selectRow(0);
    DropItemInList(3);
    EXPECT_EQ(Rows(), (V{"r1*", "r2", "r3", "r0", "r4"}));
    EXPECT_EQ(editor.list().selectedRow(), 3);
    // Row 4 onto row 1: the line shows above row 1 and the Item lands before it.
    EXPECT_EQ(InsertionRow(1, 4, 5), 1);
    editor.selectRow(4);
    DropItemInList(1);
    EXPECT_EQ(Rows(), (V{"r1*", "r4", "r2", "r3", "r0"}));
    // Below the last Item: to the end, the line under the last Item.
    EXPECT_EQ(InsertionRow(5, 0, 5), 5);
    editor.selectRow(0);
    DropItemInList(5);
    EXPECT_EQ(Rows(), (V{"r4", "r2", "r3", "r0", "r1*"}));
    editor.session().setModified(false);
    DropItemInList(4);   // onto itself
    DropItemInList(-1);  // outside
    EXPECT_FALSE(editor.session().isModified());
}

TEST_F(DropCommands, AnItemDroppedOnAnotherTopicMovesThereWithItsFlag) {
    Build({"bin1:*x", "bin2", "other"});
    editor.tree().selectTopic(Find("bin1"));
    editor.tree().iconMenuClick(kIconTrash);
    editor.tree().selectTopic(Find("bin2"));
    editor.tree().iconMenuClick(kIconTrash);
    editor.tree().selectTopic(Find("bin1"));
    Type("typed");
    DropItemOnTopic(Find("bin1"));  // its own Topic: nothing
    EXPECT_EQ(editor.selection().text(EditBox::List), "typed");
    DropItemOnTopic(Find("bin2"));
    EXPECT_EQ(editor.selection().topic(), Find("bin2"));
    EXPECT_EQ(Rows(), V{"x*"});
    EXPECT_EQ(editor.list().selectedRow(), 0);
    EXPECT_EQ(editor.selection().text(EditBox::List), "");
    EXPECT_EQ(Find("bin1")->items.size(), 0u);
    EXPECT_EQ(Find("bin1")->icon, kIconTrash);
    EXPECT_EQ(Find("bin2")->icon, kIconTrashFull);
    EXPECT_TRUE(Find("bin2")->items[0].checked());
    EXPECT_TRUE(editor.session().isModified());
}

TEST_F(DropCommands, TheHintPanelBelongsToTheDragWhileItLasts) {
    Build({"Work"});
    editor.setHint("上書き保存|現在編集中のファイルを上書き保存します");
    EXPECT_EQ(editor.hintText(), "現在編集中のファイルを上書き保存します");
    editor.drag().beginDrag(DragKind::Topic);
    EXPECT_EQ(editor.hintText(),
              "[\"Work\" 移動中] 移動先にドロップして下さい (Escキーでキャンセル)");
    editor.setHint("終了|アプリケーションを終了します");
    EXPECT_TRUE(editor.drag().state().active());
    EXPECT_EQ(editor.hintText().substr(0, 7), "[\"Work\"");
    editor.drag().endDrag();
    EXPECT_EQ(editor.hintText(), "");
    editor.drag().beginDrag(DragKind::Item);
    EXPECT_EQ(editor.hintText(),
              "[チェックリスト 移動中] 移動先にドロップして下さい (Escキーでキャンセル)");
    editor.drag().endDrag();
}

TEST(DropZones, EachPartOfARowHasItsZone) {
    Document doc;
    Topic& topic = AddTopic(doc, nullptr, "A", 0, kBuiltInTopicImages);
    // A Topic one level down with children: the button column, then icon and caption.
    TopicRowHit hit{true, &topic, 38, 90, 19, 38};
    EXPECT_EQ(TopicDropZoneAt(hit, 0), Zone::Indent);
    EXPECT_EQ(TopicDropZoneAt(hit, 18), Zone::Indent);
    EXPECT_EQ(TopicDropZoneAt(hit, 19), Zone::ButtonOrRight);
    EXPECT_EQ(TopicDropZoneAt(hit, 37), Zone::ButtonOrRight);
    EXPECT_EQ(TopicDropZoneAt(hit, 38), Zone::OnTopic);
    EXPECT_EQ(TopicDropZoneAt(hit, 89), Zone::OnTopic);
    EXPECT_EQ(TopicDropZoneAt(hit, 90), Zone::ButtonOrRight);
    // Without children there is no button: the whole indentation is the indent zone.
    hit.buttonLeft = hit.buttonRight = 0;
    EXPECT_EQ(TopicDropZoneAt(hit, 25), Zone::Indent);
    EXPECT_EQ(TopicDropZoneAt(TopicRowHit{true, nullptr, 0, 0, 0, 0}, 10), Zone::BelowAll);
    EXPECT_EQ(TopicDropZoneAt(TopicRowHit{false, &topic, 38, 90, 19, 38}, 50), Zone::Outside);

    EXPECT_EQ(ListPointerRow(true, 2, 5), 2);
    EXPECT_EQ(ListPointerRow(true, -1, 5), 5);
    EXPECT_EQ(ListPointerRow(true, -1, 0), 0);
    EXPECT_EQ(ListPointerRow(false, 2, 5), -1);
}

TEST_F(DropCommands, TheInsertionLineFollowsAnItemDragOverTheList) {
    Build({"t:r0,r1,r2,r3,r4"});
    editor.selectRow(0);
    editor.drag().beginDrag(DragKind::Item);
    EXPECT_TRUE(editor.drag().listDragOver(3));  // first onto fourth: below the fourth row
    EXPECT_EQ(editor.drag().state().insertionRow, 4);
    EXPECT_TRUE(editor.drag().listDragOver(-1));  // outside the client area: the line stays
    EXPECT_EQ(editor.drag().state().insertionRow, 4);
    EXPECT_TRUE(editor.drag().listDragOver(0));  // over the dragged row itself: below it
    EXPECT_EQ(editor.drag().state().insertionRow, 1);
    EXPECT_TRUE(editor.drag().treeDragOver());  // over the tree the line goes away
    EXPECT_EQ(editor.drag().state().insertionRow, -1);
    EXPECT_TRUE(editor.drag().listDragOver(5));  // below the last Item
    EXPECT_EQ(editor.drag().state().insertionRow, 5);
    editor.drag().endDrag();
    EXPECT_EQ(editor.drag().state().insertionRow, -1);
}

TEST_F(DropCommands, DropsActOnlyOnWhatIsBeingDragged) {
    Build({"a", "b:x,y", "c"});
    editor.tree().selectTopic(Find("b"));
    // No drag: nothing is accepted and nothing moves.
    EXPECT_FALSE(editor.drag().treeDragOver());
    EXPECT_FALSE(editor.drag().listDragOver(0));
    editor.drag().dropOnTree(Zone::OnTopic, Find("a"));
    editor.drag().dropOnList(1);
    EXPECT_EQ(Shape(), (V{"a/0", "b/0", "c/0"}));
    EXPECT_EQ(Rows(), (V{"x", "y"}));

    // A Topic is refused over the list, accepted over the tree.
    editor.drag().beginDrag(DragKind::Topic);
    EXPECT_EQ(editor.drag().state().kind, DragKind::Topic);
    EXPECT_FALSE(editor.drag().listDragOver(1));
    EXPECT_EQ(editor.drag().state().insertionRow, -1);
    editor.drag().dropOnList(1);
    EXPECT_EQ(Rows(), (V{"x", "y"}));
    EXPECT_TRUE(editor.drag().treeDragOver());
    editor.drag().dropOnTree(Zone::OnTopic, Find("a"));
    EXPECT_EQ(Shape(), (V{"a/0+", "b/1", "c/0"}));
    editor.drag().endDrag();
    EXPECT_FALSE(editor.drag().state().active());

    // An Item dropped on any part of another Topic's row goes to that Topic; below the rows
    // or outside it stays.
    editor.selectRow(1);
    editor.drag().beginDrag(DragKind::Item);
    editor.drag().dropOnTree(Zone::BelowAll, nullptr);
    editor.drag().dropOnTree(Zone::Outside, Find("c"));
    EXPECT_EQ(editor.selection().topic(), Find("b"));
    editor.drag().dropOnTree(Zone::Indent, Find("c"));
    editor.drag().endDrag();
    EXPECT_EQ(editor.selection().topic(), Find("c"));
    EXPECT_EQ(Rows(), V{"y"});
    EXPECT_EQ(Find("b")->items.size(), 1u);
}

TEST_F(DropCommands, ADragCarriesTheTreeTextOrTheItemText) {
    Build({"Work:*a", "  Home:b"});
    editor.tree().selectTopic(Find("Work"));
    EXPECT_EQ(editor.drag().dragText(), "");
    editor.drag().beginDrag(DragKind::Topic);
    EXPECT_EQ(editor.drag().dragText(),
              "Work@00@\r\n\x08\x81\xA1"
              "a\r\n\tHome@00@\r\n\t\x08\x81\xA0"
              "b\r\n");
    editor.drag().endDrag();
    editor.drag().beginDrag(DragKind::Item);
    EXPECT_EQ(editor.drag().dragText(), "a");
    editor.drag().endDrag();
    EXPECT_FALSE(editor.session().isModified());
}

TEST(DragScroll, CanScrollFurtherWhileThePositionIsShortOfTheRangeEnd) {
    EXPECT_FALSE(CanScrollFurther({}, true));
    EXPECT_FALSE(CanScrollFurther({}, false));
    ScrollBarState bar{true, 0, 40, 0};
    EXPECT_FALSE(CanScrollFurther(bar, true));
    EXPECT_TRUE(CanScrollFurther(bar, false));
    bar.position = 40;
    EXPECT_TRUE(CanScrollFurther(bar, true));
    EXPECT_FALSE(CanScrollFurther(bar, false));
    // A bar with nothing to scroll (everything in view).
    EXPECT_FALSE(CanScrollFurther({true, 0, 0, 0}, false));
}

TEST(DragScroll, EdgeZonesScrollTheTreeWhileItCanAndTheListAlways) {
    Bounds tree{0, 50, 100, 200};
    Bounds list{103, 50, 300, 200};
    TreeScrollRoom room{true, true, true, true};
    EXPECT_EQ(DragScrollStep(tree, list, 50, 52, 16, 16, room).treeVertical, -1);
    EXPECT_EQ(DragScrollStep(tree, list, 50, 220, 16, 16, room).treeVertical, 1);
    EXPECT_EQ(DragScrollStep(tree, list, 50, 150, 16, 16, room).treeVertical, 0);
    EXPECT_EQ(DragScrollStep(tree, list, 50, 52, 16, 16, {}).treeVertical, 0);
    DragScroll corner = DragScrollStep(tree, list, 5, 55, 16, 16, room);
    EXPECT_EQ(corner.treeVertical, -1);
    EXPECT_EQ(corner.treeHorizontal, -1);
    EXPECT_EQ(DragScrollStep(tree, list, 300, 240, 16, 16, {}).listVertical, 1);
    EXPECT_EQ(DragScrollStep(tree, list, 300, 230, 16, 16, {}).listVertical, 0);
    EXPECT_EQ(DragScrollStep(tree, list, 400, 150, 16, 16, {}).listHorizontal, 1);
    EXPECT_EQ(DragScrollStep(tree, list, 500, 52, 16, 16, {}).listVertical, 0);
}

}  // namespace
}  // namespace brenvale
