// Drags over the tree and the list, offscreen: the drag events a platform sends are sent to
// the views' client areas by hand, the test standing in for the drag's source.
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QUrl>

#include <memory>

#include "document/model.h"
#include "support/main_window_test_access.h"
#include "ui/check_list_delegate.h"
#include "ui/check_list_view.h"
#include "ui/drag_scroll_timer.h"
#include "ui/topic_tree_model.h"
#include "ui/topic_tree_view.h"
#include "ui/view_drag.h"
#include "ui_test_registry.h"
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

// A drag the editor has begun, as the views begin theirs, and ends when it goes.
class EditorDrag : public SyntheticDrag {
public:
    EditorDrag(Editor& editor, DragKind kind)
        : SyntheticDrag((kind == DragKind::Topic ? editor.drag().beginDrag(DragKind::Topic)
                                                 : editor.drag().beginDrag(DragKind::Item),
                         MakeDragData(editor.drag()))),
          editor_(editor) {}
    ~EditorDrag() {
        leave();
        editor_.drag().endDrag();
    }

private:
    Editor& editor_;
};

// The rows of the list's picture that are red from one side to the other.
QList<int> RedLines(CheckListView* list) {
    QApplication::processEvents();
    QImage image = list->viewport()->grab().toImage();
    QList<int> lines;
    for (int y = 0; y < image.height(); ++y) {
        bool red = true;
        for (int x = 0; x < image.width() && red; ++x) {
            red = QColor(image.pixel(x, y)) == QColor(255, 0, 0);
        }
        if (red) {
            lines << y;
        }
    }
    return lines;
}

}  // namespace

class DragTest : public QObject {
    Q_OBJECT
private slots:
    void aTopicGoesWhereTheZoneOfTheDropSays();
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
    auto* model = static_cast<TopicTreeModel*>(tree->model());
    Topic* c = Find(editor, "C");
    editor.tree().selectTopic(c);
    auto dropAt = [&](QPoint at) {
        return EditorDrag(editor, DragKind::Topic).dropAt(tree->viewport(), at);
    };
    auto drop = [&](const char* on, RowPart part) {
        return dropAt(PointOn(tree, Find(editor, on), part));
    };
    using L = QStringList;

    QVERIFY(drop("A", RowPart::Caption));  // the last child
    QCOMPARE(Shape(editor), (L{"A/0", "A1/1", "A11/2", "C/1", "B/0"}));
    QVERIFY(editor.session().isModified());
    QVERIFY(drop("A11", RowPart::Indent));  // before it, at its level
    QCOMPARE(Shape(editor), (L{"A/0", "A1/1", "C/2", "A11/2", "B/0"}));
    // The empty area below the last Topic: the last top-level Topic.
    QPoint below(10, tree->visualRect(model->indexOf(Find(editor, "B"))).bottom() + 10);
    QVERIFY(below.y() < tree->viewport()->height());
    QVERIFY(dropAt(below));
    QCOMPARE(Shape(editor), (L{"A/0", "A1/1", "A11/2", "B/0", "C/0"}));
    QVERIFY(drop("B", RowPart::Right));  // right of the caption: the first child
    QCOMPARE(Shape(editor), (L{"A/0", "A1/1", "A11/2", "B/0", "C/1"}));
    QVERIFY(drop("A1", RowPart::Button));  // the expand button: the first child
    QCOMPARE(Shape(editor), (L{"A/0", "A1/1", "C/2", "A11/2", "B/0"}));
    QCOMPARE(editor.selection().topic(), c);
    QVERIFY(tree->selectionModel()->isSelected(model->indexOf(c)));

    // Into its own subtree, onto itself, or outside the client area: nothing moves.
    editor.tree().selectTopic(Find(editor, "A"));
    editor.session().setModified(false);
    QVERIFY(drop("A11", RowPart::Caption));
    QVERIFY(drop("A1", RowPart::Right));
    QVERIFY(drop("A", RowPart::Caption));
    QVERIFY(dropAt(QPoint(-2, 5)));
    QCOMPARE(Shape(editor), (L{"A/0", "A1/1", "C/2", "A11/2", "B/0"}));
    QVERIFY(!editor.session().isModified());
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
    editor.selectRow(0);
    {
        EditorDrag drag(editor, DragKind::Item);
        QVERIFY(drag.moveTo(list->viewport(), rowCentre(3)));
        QCOMPARE(RedLines(list), QList<int>{rowTop(4)});
        QVERIFY(drag.moveTo(list->viewport(), rowCentre(2)));  // the line moves with it
        QCOMPARE(RedLines(list), QList<int>{rowTop(3)});
        QVERIFY(drag.moveTo(fixture.window().tree()->viewport(), QPoint(5, 5)));
        QCOMPARE(RedLines(list), QList<int>{});  // erased over the tree
        QVERIFY(drag.dropAt(list->viewport(), rowCentre(3)));
    }
    QCOMPARE(Rows(editor), (QStringList{"r1*", "r2", "r3", "r0", "r4"}));
    QCOMPARE(list->currentIndex().row(), 3);
    QCOMPARE(RedLines(list), QList<int>{});

    // The last row onto the second: the line above the second row, the Item before it.
    editor.selectRow(4);
    {
        EditorDrag drag(editor, DragKind::Item);
        QVERIFY(drag.moveTo(list->viewport(), rowCentre(1)));
        QCOMPARE(RedLines(list), QList<int>{rowTop(1)});
        QVERIFY(drag.dropAt(list->viewport(), rowCentre(1)));
    }
    QCOMPARE(Rows(editor), (QStringList{"r1*", "r4", "r2", "r3", "r0"}));
    QCOMPARE(RedLines(list), QList<int>{});
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
    editor.selectRow(5);
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
    int top = list->verticalScrollBar()->value();
    QVERIFY(top > 0);
    int lastBottom = list->visualRect(list->model()->index(39, 0)).bottom();
    QPoint below(20, lastBottom + 3);
    QVERIFY(below.y() < list->viewport()->height());

    {
        EditorDrag drag(editor, DragKind::Item);
        QVERIFY(drag.moveTo(list->viewport(), below));
        QCOMPARE(RedLines(list), QList<int>{lastBottom + 1});
        QVERIFY(drag.dropAt(list->viewport(), below));
    }
    QCOMPARE(editor.list().rowText(39), std::string_view("r5"));
    QCOMPARE(editor.list().selectedRow(), 39);
    // The rows on screen stay where they were.
    QCOMPARE(list->verticalScrollBar()->value(), top);
}

void DragTest::aTopicIsRefusedOverTheListAndTheEditBoxes() {
    test::WindowFixture fixture("A\n\b□x\n\b□y\nB");
    Editor& editor = fixture.editor();
    CheckListView* list = fixture.window().list();
    {
        EditorDrag drag(editor, DragKind::Topic);
        QVERIFY(!drag.moveTo(list->viewport(), QPoint(20, 5)));
        QVERIFY(!drag.dropAt(list->viewport(), QPoint(20, 5)));
        QCOMPARE(RedLines(list), QList<int>{});
        QVERIFY(!drag.dropAt(fixture.window().listEdit(), QPoint(5, 5)));
        QVERIFY(!drag.dropAt(fixture.window().treeEdit(), QPoint(5, 5)));
    }
    QCOMPARE(Rows(editor), (QStringList{"x", "y"}));
    QCOMPARE(fixture.window().listEdit()->text(), QString());
    QCOMPARE(fixture.window().treeEdit()->text(), QStringLiteral("A"));
    QVERIFY(!editor.session().isModified());
}

void DragTest::anItemDroppedOnAnotherTopicMovesThereWithBothTrashIcons() {
    test::WindowFixture fixture("bin1@05@\n\b■x\nbin2@04@\nother");
    Editor& editor = fixture.editor();
    TopicTreeView* tree = fixture.window().tree();
    auto* model = static_cast<TopicTreeModel*>(tree->model());
    Topic* bin1 = Find(editor, "bin1");
    Topic* bin2 = Find(editor, "bin2");
    editor.tree().selectTopic(bin1);
    editor.selectRow(0);
    {
        EditorDrag drag(editor, DragKind::Item);
        // Its own Topic: nothing happens.
        QVERIFY(drag.dropAt(tree->viewport(), PointOn(tree, bin1, RowPart::Caption)));
        QCOMPARE(editor.list().rowCount(), size_t(1));
        QVERIFY(drag.dropAt(tree->viewport(), PointOn(tree, bin2, RowPart::Right)));
    }
    QCOMPARE(editor.selection().topic(), bin2);
    QCOMPARE(tree->currentIndex(), model->indexOf(bin2));
    QCOMPARE(Rows(editor), QStringList{"x*"});
    QCOMPARE(editor.list().selectedRow(), 0);
    QCOMPARE(fixture.window().list()->currentIndex().row(), 0);
    QCOMPARE(fixture.window().listEdit()->text(), QString());
    QVERIFY(bin1->items.empty());
    const ImageLists& images = MainWindowTestAccess::images(fixture.window());
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
    DragScrollTimer* timer = MainWindowTestAccess::dragScrollTimer(window);
    // What the window shows: the hint, the drag scroll timer, the tree's tooltips.
    auto state = [&] {
        return QStringList{MainWindowTestAccess::hintPanel(window)->text(),
                           timer->isActive() ? QString::number(timer->interval()) : "off",
                           tree->toolTipsShown() ? "tips" : "no tips"};
    };
    QStringList during;
    connect(tree, &TopicTreeView::dragStarted, this, [&] { during = state(); });
    connect(list, &CheckListView::dragStarted, this, [&] { during = state(); });
    // The platform here ends every drag at once, as Esc or a drop elsewhere does; the moves
    // after it do not carry the selection along, and the release is no click.
    int distance = QApplication::startDragDistance();
    auto pressAndMove = [&](QWidget* viewport, QPoint at) {
        QTest::mousePress(viewport, Qt::LeftButton, {}, at);
        for (int step = 1; step <= 3; ++step) {
            QTest::mouseMove(viewport, at + QPoint(0, step * distance / 2));
        }
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, at + QPoint(0, 3 * distance / 2));
    };
    const QString instruction = QStringLiteral(" 移動先にドロップして下さい (Escキーでキャンセル)");

    pressAndMove(tree->viewport(), PointOn(tree, editor.document().first(), RowPart::Caption));
    QCOMPARE(during, (QStringList{"[\"Work\" 移動中]" + instruction, "200", "no tips"}));
    QCOMPARE(state(), (QStringList{"", "off", "tips"}));
    QCOMPARE(Shape(editor), (QStringList{"Work/0", "Home/0"}));
    QCOMPARE(editor.selection().topic(), editor.document().first());

    pressAndMove(list->viewport(), list->visualRect(list->model()->index(0, 0)).center());
    QCOMPARE(during, (QStringList{"[チェックリスト 移動中]" + instruction, "200", "tips"}));
    QCOMPARE(state(), (QStringList{"", "off", "tips"}));

    // A press below the last row drags the row selected before.
    during.clear();
    pressAndMove(list->viewport(), QPoint(40, list->viewport()->height() - 30));
    QCOMPARE(during.value(0), "[チェックリスト 移動中]" + instruction);
    QVERIFY(list->selectionModel()->isSelected(list->model()->index(0, 0)));
    QCOMPARE(Rows(editor), QStringList{"x"});
    QVERIFY(!editor.session().isModified());
}

void DragTest::aClickWithoutMovementStaysAClick() {
    test::WindowFixture fixture("T\n\b□a\n\b□b");
    Editor& editor = fixture.editor();
    CheckListView* list = fixture.window().list();
    QString hint;
    connect(list, &CheckListView::dragStarted, this,
            [&] { hint = MainWindowTestAccess::hintPanel(fixture.window())->text(); });
    QRect row = list->visualRect(list->model()->index(1, 0));
    QPoint box(row.left() + CheckListDelegate::boxColumnWidth(list) / 2, row.center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box);
    QVERIFY(editor.list().rowChecked(1));
    QCOMPARE(editor.list().selectedRow(), 1);
    // A tremble below the drag distance is still a click.
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, box);
    QTest::mouseMove(list->viewport(), box + QPoint(1, 1));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, box);
    QVERIFY(!editor.list().rowChecked(1));
    QVERIFY(hint.isEmpty());
    // Moving with the button held does not carry the selection along.
    QPoint first = list->visualRect(list->model()->index(0, 0)).center();
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseMove(list->viewport(), row.center() + QPoint(0, -1));
    QTest::mouseMove(list->viewport(), first);
    QCOMPARE(editor.list().selectedRow(), 1);
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
    editor.tree().selectTopic(Find(editor, "wide"));
    TopicTreeView* tree = window.tree();
    CheckListView* list = window.list();
    DragScrollTimer* timer = MainWindowTestAccess::dragScrollTimer(window);
    QApplication::processEvents();
    QScrollBar* treeBar = tree->verticalScrollBar();
    QScrollBar* listBar = list->verticalScrollBar();
    QScrollBar* listWide = list->horizontalScrollBar();
    QVERIFY(treeBar->maximum() > 10 && listWide->maximum() > 0);
    treeBar->setValue(5);
    listBar->setValue(5);
    listWide->setValue(0);
    QPoint treeOrigin = tree->mapTo(&window, QPoint(0, 0));
    QPoint listOrigin = list->mapTo(&window, QPoint(0, 0));
    // The tree at a height of its middle column: the top edge, the bottom edge, the middle.
    auto tickInTree = [&](int y) {
        timer->tickAt(treeOrigin + QPoint(tree->width() / 2, y));
        return treeBar->value();
    };

    editor.drag().beginDrag(DragKind::Item);
    QCOMPARE(tickInTree(2), 4);
    QCOMPARE(tickInTree(tree->height() - 2), 5);
    QCOMPARE(tickInTree(tree->height() / 2), 5);
    treeBar->setValue(0);
    QCOMPARE(tickInTree(2), 0);  // nothing more above
    // The list's top right corner scrolls it up and to the right in one tick.
    timer->tickAt(listOrigin + QPoint(list->width() - 2, 2));
    QCOMPARE(listBar->value(), 4);
    QCOMPARE(listWide->value(), listWide->singleStep());

    // The timer ticks only while a drag lasts, and a tick after the drag stops it.
    timer->start();
    editor.drag().endDrag();
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
    QCOMPARE(fixture.editor().session().fileName(), path);
    QCOMPARE(fixture.editor().document().first()->caption, std::string("Other"));
}

BRENVALE_UI_TEST(ui_drag_tests, DragTest);
#include "drag_test.moc"
