// Drags over the tree and the list, offscreen: the drag events a platform sends are sent to
// the views' client areas by hand, the test standing in for the drag's source.
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QUrl>

#include <memory>

#include "document/model.h"
#include "ui/check_list_delegate.h"
#include "ui/check_list_view.h"
#include "ui/drag_scroll_timer.h"
#include "ui/topic_tree_model.h"
#include "ui/topic_tree_view.h"
#include "ui/view_drag.h"
#include "window_fixture.h"

using namespace brenvale;
using test::Find;
using test::PointOn;
using test::RowPart;
using test::Rows;
using test::Shape;

namespace {

constexpr Qt::DropActions kActions = Qt::MoveAction | Qt::CopyAction;

// The events of one drag as the platform sends them: an enter when the pointer comes over a
// widget, moves, a leave when it goes elsewhere, the drop.
class SyntheticDrag {
public:
    explicit SyntheticDrag(QMimeData* data) : data_(data) {}
    ~SyntheticDrag() { leave(); }

    // Whether the widget under the pointer accepts the drop there.
    bool moveTo(QWidget* widget, QPoint at) {
        if (widget != over_) {
            leave();
            over_ = widget;
            QDragEnterEvent enter(at, kActions, data_.get(), Qt::LeftButton, {});
            QApplication::sendEvent(widget, &enter);
            accepted_ = enter.isAccepted();
            if (!accepted_) {
                return false;
            }
        }
        // A move starts out as the last one ended, as the platform's do.
        QDragMoveEvent move(at, kActions, data_.get(), Qt::LeftButton, {});
        move.setAccepted(accepted_);
        QApplication::sendEvent(widget, &move);
        accepted_ = move.isAccepted();
        return accepted_;
    }
    bool dropAt(QWidget* widget, QPoint at) {
        if (!moveTo(widget, at)) {
            leave();
            return false;
        }
        QDropEvent drop(at, kActions, data_.get(), Qt::LeftButton, {});
        QApplication::sendEvent(widget, &drop);
        over_ = nullptr;
        return drop.isAccepted();
    }
    void leave() {
        if (over_) {
            QDragLeaveEvent leave;
            QApplication::sendEvent(over_, &leave);
            over_ = nullptr;
        }
    }

private:
    std::unique_ptr<QMimeData> data_;
    QWidget* over_ = nullptr;
    bool accepted_ = false;
};

// Whether row y of the list's picture is red from one side to the other.
bool RedLineAt(CheckListView* list, int y) {
    QApplication::processEvents();
    QImage image = list->viewport()->grab().toImage();
    if (y < 0 || y >= image.height()) {
        return false;
    }
    for (int x = 0; x < image.width(); ++x) {
        if (QColor(image.pixel(x, y)) != QColor(255, 0, 0)) {
            return false;
        }
    }
    return true;
}

bool AnyRedLine(CheckListView* list) {
    for (int y = 0; y < list->viewport()->height(); ++y) {
        if (RedLineAt(list, y)) {
            return true;
        }
    }
    return false;
}

}  // namespace

class DragTest : public QObject {
    Q_OBJECT
private slots:
    void aTopicGoesWhereTheZoneOfTheDropSays();
    void aTopicDroppedInItsOwnSubtreeOnItselfOrOutsideStays();
    void theInsertionLineShowsWhereAnItemLands();
    void theLineIsDrawnUnderTheLastItemOfAScrolledList();
    void aTopicIsRefusedOverTheListAndTheEditBoxes();
    void anItemDroppedOnAnotherTopicMovesThereWithBothTrashIcons();
    void aDragRunsFromPressAndMoveToItsEnd();
    void aClickWithoutMovementStaysAClick();
    void theDragScrollTimerScrollsNearTheEdges();
    void filesCanStillBeDroppedOnTheViews();
};

void DragTest::aTopicGoesWhereTheZoneOfTheDropSays() {
    test::WindowFixture fixture("A\n\tA1\n\t\tA11\nB\nC");
    Editor& editor = fixture.editor();
    TopicTreeView* tree = fixture.window().tree();
    QWidget* client = tree->viewport();
    Topic* c = Find(editor, "C");
    editor.SelectTopic(c);
    auto drop = [&](Topic* on, RowPart part) {
        editor.BeginTopicDrag();
        SyntheticDrag drag(MakeDragData(editor));
        bool accepted = drag.dropAt(client, PointOn(tree, on, part));
        editor.EndDrag();
        return accepted;
    };
    using L = QStringList;

    QVERIFY(drop(Find(editor, "A"), RowPart::Caption));  // the last child
    QCOMPARE(Shape(editor), (L{"A/0", "A1/1", "A11/2", "C/1", "B/0"}));
    QVERIFY(editor.isModified());
    QVERIFY(drop(Find(editor, "A11"), RowPart::Indent));  // before it, at its level
    QCOMPARE(Shape(editor), (L{"A/0", "A1/1", "C/2", "A11/2", "B/0"}));
    // The empty area below the last Topic: the last top-level Topic.
    QModelIndex last = tree->model()->index(1, 0);
    QPoint below(10, tree->visualRect(last).bottom() + 10);
    QVERIFY(below.y() < client->height());
    editor.BeginTopicDrag();
    {
        SyntheticDrag drag(MakeDragData(editor));
        QVERIFY(drag.dropAt(client, below));
    }
    editor.EndDrag();
    QCOMPARE(Shape(editor), (L{"A/0", "A1/1", "A11/2", "B/0", "C/0"}));
    QVERIFY(drop(Find(editor, "B"), RowPart::Right));  // right of the caption: the first child
    QCOMPARE(Shape(editor), (L{"A/0", "A1/1", "A11/2", "B/0", "C/1"}));
    QVERIFY(drop(Find(editor, "A1"), RowPart::Button));  // the expand button: the first child
    QCOMPARE(Shape(editor), (L{"A/0", "A1/1", "C/2", "A11/2", "B/0"}));
    QCOMPARE(editor.selectedTopic(), c);
    auto* model = static_cast<TopicTreeModel*>(tree->model());
    QCOMPARE(tree->currentIndex(), model->indexOf(c));
    QVERIFY(tree->selectionModel()->isSelected(model->indexOf(c)));
}

void DragTest::aTopicDroppedInItsOwnSubtreeOnItselfOrOutsideStays() {
    test::WindowFixture fixture("A\n\tA1\n\t\tA11\nB");
    Editor& editor = fixture.editor();
    TopicTreeView* tree = fixture.window().tree();
    Topic* a = Find(editor, "A");
    editor.SelectTopic(a);
    editor.SetModified(false);
    editor.BeginTopicDrag();
    SyntheticDrag drag(MakeDragData(editor));
    QVERIFY(drag.moveTo(tree->viewport(), PointOn(tree, Find(editor, "A11"), RowPart::Caption)));
    QVERIFY(drag.dropAt(tree->viewport(), PointOn(tree, Find(editor, "A11"), RowPart::Caption)));
    QVERIFY(drag.dropAt(tree->viewport(), PointOn(tree, Find(editor, "A1"), RowPart::Right)));
    QVERIFY(drag.dropAt(tree->viewport(), PointOn(tree, a, RowPart::Caption)));
    // A drop the platform reports outside the client area.
    QVERIFY(drag.dropAt(tree->viewport(), QPoint(-2, 5)));
    editor.EndDrag();
    QCOMPARE(Shape(editor), (QStringList{"A/0", "A1/1", "A11/2", "B/0"}));
    QVERIFY(!editor.isModified());
    QCOMPARE(editor.selectedTopic(), a);
}

void DragTest::theInsertionLineShowsWhereAnItemLands() {
    test::WindowFixture fixture("T\n\b□r0\n\b■r1\n\b□r2\n\b□r3\n\b□r4");
    Editor& editor = fixture.editor();
    CheckListView* list = fixture.window().list();
    auto rowCentre = [&](int row) {
        return list->visualRect(list->model()->index(row, 0)).center();
    };
    auto rowTop = [&](int row) { return list->visualRect(list->model()->index(row, 0)).top(); };

    // The first row onto the fourth: the line under the fourth row, the Item after it.
    editor.SelectRow(0);
    editor.BeginItemDrag();
    {
        SyntheticDrag drag(MakeDragData(editor));
        QVERIFY(drag.moveTo(list->viewport(), rowCentre(3)));
        QCOMPARE(editor.insertionRow(), 4);
        QVERIFY(RedLineAt(list, rowTop(4)));
        // Another row: the line moves and the old one is gone.
        QVERIFY(drag.moveTo(list->viewport(), rowCentre(2)));
        QVERIFY(RedLineAt(list, rowTop(3)));
        QVERIFY(!RedLineAt(list, rowTop(4)));
        // Over the tree the line is erased.
        QVERIFY(drag.moveTo(fixture.window().tree()->viewport(), QPoint(5, 5)));
        QVERIFY(!AnyRedLine(list));
        QVERIFY(drag.dropAt(list->viewport(), rowCentre(3)));
    }
    editor.EndDrag();
    QCOMPARE(Rows(editor), (QStringList{"r1*", "r2", "r3", "r0", "r4"}));
    QCOMPARE(editor.selectedRow(), 3);
    QCOMPARE(list->currentIndex().row(), 3);
    QVERIFY(!AnyRedLine(list));

    // The last row onto the second: the line above the second row, the Item before it.
    editor.SelectRow(4);
    editor.BeginItemDrag();
    {
        SyntheticDrag drag(MakeDragData(editor));
        QVERIFY(drag.moveTo(list->viewport(), rowCentre(1)));
        QVERIFY(RedLineAt(list, rowTop(1)));
        QVERIFY(drag.dropAt(list->viewport(), rowCentre(1)));
    }
    editor.EndDrag();
    QCOMPARE(Rows(editor), (QStringList{"r1*", "r4", "r2", "r3", "r0"}));
    QVERIFY(!AnyRedLine(list));
    QVERIFY(editor.isModified());
}

void DragTest::theLineIsDrawnUnderTheLastItemOfAScrolledList() {
    std::string outline = "T";
    for (int i = 0; i < 40; ++i) {
        outline += "\n\b□r" + std::to_string(i);
    }
    test::WindowFixture fixture(outline);
    Editor& editor = fixture.editor();
    CheckListView* list = fixture.window().list();
    // Room for a part of a row under the last one when the list is scrolled to its end.
    if (list->viewport()->height() % CheckListDelegate::kRowHeight == 0) {
        fixture.window().resize(fixture.window().width(), fixture.window().height() + 7);
        QApplication::processEvents();
    }
    editor.SelectRow(5);
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
    int top = list->verticalScrollBar()->value();
    QVERIFY(top > 0);
    int lastBottom = list->visualRect(list->model()->index(39, 0)).bottom();
    QPoint below(20, lastBottom + 3);
    QVERIFY(below.y() < list->viewport()->height());

    editor.BeginItemDrag();
    {
        SyntheticDrag drag(MakeDragData(editor));
        QVERIFY(drag.moveTo(list->viewport(), below));
        QCOMPARE(editor.insertionRow(), 40);
        QVERIFY(RedLineAt(list, lastBottom + 1));
        QVERIFY(drag.dropAt(list->viewport(), below));
    }
    editor.EndDrag();
    QCOMPARE(editor.rowText(39), std::string_view("r5"));
    QCOMPARE(editor.selectedRow(), 39);
    // The rows on screen stay where they were.
    QCOMPARE(list->verticalScrollBar()->value(), top);
}

void DragTest::aTopicIsRefusedOverTheListAndTheEditBoxes() {
    test::WindowFixture fixture("A\n\b□x\n\b□y\nB");
    Editor& editor = fixture.editor();
    CheckListView* list = fixture.window().list();
    editor.BeginTopicDrag();
    {
        SyntheticDrag drag(MakeDragData(editor));
        QVERIFY(!drag.moveTo(list->viewport(), QPoint(20, 5)));
        QVERIFY(!drag.dropAt(list->viewport(), QPoint(20, 5)));
        QVERIFY(!AnyRedLine(list));
        QVERIFY(!drag.dropAt(fixture.window().listEdit(), QPoint(5, 5)));
        QVERIFY(!drag.dropAt(fixture.window().treeEdit(), QPoint(5, 5)));
    }
    editor.EndDrag();
    QCOMPARE(Rows(editor), (QStringList{"x", "y"}));
    QCOMPARE(fixture.window().listEdit()->text(), QString());
    QCOMPARE(fixture.window().treeEdit()->text(), QStringLiteral("A"));
    QVERIFY(!editor.isModified());
}

void DragTest::anItemDroppedOnAnotherTopicMovesThereWithBothTrashIcons() {
    test::WindowFixture fixture("bin1@05@\n\b■x\nbin2@04@\nother");
    Editor& editor = fixture.editor();
    TopicTreeView* tree = fixture.window().tree();
    auto* model = static_cast<TopicTreeModel*>(tree->model());
    Topic* bin1 = Find(editor, "bin1");
    Topic* bin2 = Find(editor, "bin2");
    editor.SelectTopic(bin1);
    editor.SelectRow(0);
    editor.BeginItemDrag();
    {
        SyntheticDrag drag(MakeDragData(editor));
        // Its own Topic: nothing happens.
        QVERIFY(drag.dropAt(tree->viewport(), PointOn(tree, bin1, RowPart::Caption)));
        QCOMPARE(editor.rowCount(), size_t(1));
        QVERIFY(drag.dropAt(tree->viewport(), PointOn(tree, bin2, RowPart::Right)));
    }
    editor.EndDrag();
    QCOMPARE(editor.selectedTopic(), bin2);
    QCOMPARE(tree->currentIndex(), model->indexOf(bin2));
    QCOMPARE(Rows(editor), QStringList{"x*"});
    QCOMPARE(editor.selectedRow(), 0);
    QCOMPARE(fixture.window().list()->currentIndex().row(), 0);
    QCOMPARE(fixture.window().listEdit()->text(), QString());
    QVERIFY(bin1->items.empty());
    const ImageLists& images = fixture.window().images();
    auto shownIcon = [&](Topic* t) {
        return model->data(model->indexOf(t), Qt::DecorationRole).value<QIcon>().cacheKey();
    };
    QCOMPARE(shownIcon(bin1), images.topicIcon(kIconTrash).cacheKey());
    QCOMPARE(shownIcon(bin2), images.topicIcon(kIconTrashFull).cacheKey());
}

void DragTest::aDragRunsFromPressAndMoveToItsEnd() {
    test::WindowFixture fixture("Work\n\b□x\nHome");
    Editor& editor = fixture.editor();
    MainWindow& window = fixture.window();
    TopicTreeView* tree = window.tree();
    CheckListView* list = window.list();
    QString hint;
    bool timerRan = false;
    bool toolTipsOff = false;
    auto record = [&] {
        hint = window.hintPanel()->text();
        timerRan = window.dragScrollTimer()->isActive() &&
                   window.dragScrollTimer()->interval() == DragScrollTimer::kInterval;
        toolTipsOff = !tree->toolTipsShown();
    };
    connect(tree, &TopicTreeView::dragStarted, this, record);
    connect(list, &CheckListView::dragStarted, this, record);
    int distance = QApplication::startDragDistance();

    // The platform here ends every drag at once, as Esc or a drop elsewhere does.
    QPoint at = PointOn(tree, editor.document().first(), RowPart::Caption);
    QTest::mousePress(tree->viewport(), Qt::LeftButton, {}, at);
    for (int step = 1; step <= 3; ++step) {
        QTest::mouseMove(tree->viewport(), at + QPoint(0, step * distance / 2));
    }
    QCOMPARE(hint,
             QStringLiteral("[\"Work\" 移動中] 移動先にドロップして下さい (Escキーでキャンセル)"));
    QVERIFY(timerRan);
    QVERIFY(toolTipsOff);
    QVERIFY(!editor.dragging());
    QCOMPARE(window.hintPanel()->text(), QString());
    QVERIFY(!window.dragScrollTimer()->isActive());
    QVERIFY(tree->toolTipsShown());
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, at + QPoint(0, distance * 2));
    QCOMPARE(Shape(editor), (QStringList{"Work/0", "Home/0"}));
    QCOMPARE(editor.selectedTopic(), editor.document().first());
    QVERIFY(!editor.isModified());

    QPoint row = list->visualRect(list->model()->index(0, 0)).center();
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseMove(list->viewport(), row + QPoint(distance, 0));
    QCOMPARE(hint, QStringLiteral(
                       "[チェックリスト 移動中] 移動先にドロップして下さい (Escキーでキャンセル)"));
    QVERIFY(timerRan);
    QCOMPARE(window.hintPanel()->text(), QString());
    QVERIFY(!window.dragScrollTimer()->isActive());
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, row + QPoint(distance, 0));
    QCOMPARE(Rows(editor), QStringList{"x"});
    QVERIFY(!editor.isModified());

    // A press below the last row drags the row selected before.
    hint.clear();
    QPoint empty(row.x(), list->viewport()->height() - 5);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, empty);
    QTest::mouseMove(list->viewport(), empty + QPoint(distance, 0));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, empty + QPoint(distance, 0));
    QVERIFY(hint.startsWith(QStringLiteral("[チェックリスト")));
    QCOMPARE(editor.selectedRow(), 0);
    QVERIFY(list->selectionModel()->isSelected(list->model()->index(0, 0)));
}

void DragTest::aClickWithoutMovementStaysAClick() {
    test::WindowFixture fixture("T\n\b□a\n\b□b");
    Editor& editor = fixture.editor();
    CheckListView* list = fixture.window().list();
    QString hint;
    connect(list, &CheckListView::dragStarted, this,
            [&] { hint = fixture.window().hintPanel()->text(); });
    QRect row = list->visualRect(list->model()->index(1, 0));
    QPoint box(row.left() + CheckListDelegate::boxColumnWidth(list) / 2, row.center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box);
    QVERIFY(editor.rowChecked(1));
    QCOMPARE(editor.selectedRow(), 1);
    // A tremble below the drag distance is still a click.
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, box);
    QTest::mouseMove(list->viewport(), box + QPoint(1, 1));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, box);
    QVERIFY(!editor.rowChecked(1));
    QVERIFY(hint.isEmpty());
    // Moving with the button held does not carry the selection along.
    QPoint first = list->visualRect(list->model()->index(0, 0)).center();
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseMove(list->viewport(), row.center() + QPoint(0, -1));
    QTest::mouseMove(list->viewport(), first);
    QCOMPARE(editor.selectedRow(), 1);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, first);
}

void DragTest::theDragScrollTimerScrollsNearTheEdges() {
    std::string outline;
    for (int i = 0; i < 60; ++i) {
        outline += "t" + std::to_string(i) + "\n";
    }
    outline += "wide\n\b□" + std::string(300, 'w');
    for (int i = 0; i < 60; ++i) {
        outline += "\n\b□r" + std::to_string(i);
    }
    test::WindowFixture fixture(outline);
    MainWindow& window = fixture.window();
    Editor& editor = fixture.editor();
    editor.SelectTopic(Find(editor, "wide"));
    TopicTreeView* tree = window.tree();
    CheckListView* list = window.list();
    DragScrollTimer* timer = window.dragScrollTimer();
    QApplication::processEvents();
    QScrollBar* treeBar = tree->verticalScrollBar();
    QScrollBar* listBar = list->verticalScrollBar();
    QScrollBar* listWide = list->horizontalScrollBar();
    QVERIFY(treeBar->maximum() > 10);
    QVERIFY(listWide->maximum() > 0);
    treeBar->setValue(5);
    listBar->setValue(5);
    listWide->setValue(0);
    QPoint treeOrigin = tree->mapTo(&window, QPoint(0, 0));
    QPoint listOrigin = list->mapTo(&window, QPoint(0, 0));

    editor.BeginItemDrag();
    timer->tickAt(treeOrigin + QPoint(tree->width() / 2, 2));  // the tree's top edge
    QCOMPARE(treeBar->value(), 4);
    timer->tickAt(treeOrigin + QPoint(tree->width() / 2, tree->height() - 2));
    QCOMPARE(treeBar->value(), 5);
    timer->tickAt(treeOrigin + QPoint(tree->width() / 2, tree->height() / 2));  // the middle
    QCOMPARE(treeBar->value(), 5);
    treeBar->setValue(0);
    timer->tickAt(treeOrigin + QPoint(tree->width() / 2, 2));  // nothing more above
    QCOMPARE(treeBar->value(), 0);
    // The list's top right corner scrolls it up and to the right in one tick.
    timer->tickAt(listOrigin + QPoint(list->width() - 2, 2));
    QCOMPARE(listBar->value(), 4);
    QCOMPARE(listWide->value(), listWide->singleStep());

    // The timer ticks only while a drag lasts, and a tick after the drag stops it.
    timer->start();
    editor.EndDrag();
    QTRY_VERIFY_WITH_TIMEOUT(!timer->isActive(), 2000);
    QCOMPARE(listBar->value(), 4);
}

void DragTest::filesCanStillBeDroppedOnTheViews() {
    test::WindowFixture fixture("A");
    std::string path = fixture.dir().file("other.bnv");
    test::WriteBytes(path, "Other@00@\r\n");
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    SyntheticDrag drag(data);
    QVERIFY(drag.dropAt(fixture.window().tree()->viewport(), QPoint(10, 10)));
    QCOMPARE(fixture.editor().document().fileName, path);
    QCOMPARE(fixture.editor().document().first()->caption, std::string("Other"));
}

QTEST_MAIN(DragTest)
#include "drag_test.moc"
