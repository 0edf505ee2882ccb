#include "ui/drag_scroll_timer.h"

#include <QAbstractScrollArea>
#include <QCursor>
#include <QScrollBar>
#include <QStyle>

#include "editor/drag_actions.h"
#include "editor/drag_scroll.h"

namespace brenvale {

namespace {

ScrollBarState StateOf(const QScrollBar* bar) {
    return {true, bar->minimum(), bar->maximum(), bar->value()};
}

// Scrolls one line (the bar's own step) the way step says: -1 back, +1 on, 0 not at all.
void Step(QScrollBar* bar, int step) {
    if (step < 0) {
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    } else if (step > 0) {
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    }
}

}  // namespace

DragScrollTimer::DragScrollTimer(const DragActions& drag, QWidget& window,
                                 QAbstractScrollArea& tree, QAbstractScrollArea& list,
                                 QObject* parent)
    : QObject(parent), drag_(drag), window_(window), tree_(tree), list_(list) {
    timer_.setInterval(kInterval);
    connect(&timer_, &QTimer::timeout, this, &DragScrollTimer::tick);
}

void DragScrollTimer::start() {
    timer_.start();
}

void DragScrollTimer::stop() {
    timer_.stop();
}

void DragScrollTimer::tick() {
    if (!drag_.state().active()) {
        stop();
        return;
    }
    tickAt(window_.mapFromGlobal(QCursor::pos()));
}

void DragScrollTimer::tickAt(const QPoint& pointer) {
    auto bounds = [this](const QWidget& control) {
        QPoint origin = control.mapTo(&window_, QPoint(0, 0));
        return Bounds{origin.x(), origin.y(), control.width(), control.height()};
    };
    // The height of a scroll bar's arrow and the width of a vertical scroll bar.
    int extent = tree_.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &tree_);
    QScrollBar* vertical = tree_.verticalScrollBar();
    QScrollBar* horizontal = tree_.horizontalScrollBar();
    TreeScrollRoom room{
        CanScrollFurther(StateOf(vertical), true), CanScrollFurther(StateOf(vertical), false),
        CanScrollFurther(StateOf(horizontal), true), CanScrollFurther(StateOf(horizontal), false)};
    DragScroll step = DragScrollStep(bounds(tree_), bounds(list_), pointer.x(), pointer.y(), extent,
                                     extent, room);
    Step(vertical, step.treeVertical);
    Step(horizontal, step.treeHorizontal);
    Step(list_.verticalScrollBar(), step.listVertical);
    Step(list_.horizontalScrollBar(), step.listHorizontal);
}

}  // namespace brenvale
