// The main window's place on the screen. The settings file and the documents store its outer
// bounds, frame included; Qt positions a window by its frame but sizes its client area, and
// the frame is known only once the window system shows it. Moves by the user keep the window
// on the screen when Moving is on.
#include <QMoveEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <chrono>

#include "editor/window_placement.h"
#include "ui/check_list_view.h"
#include "ui/main_window.h"
#include "ui/tag_panel.h"

namespace brenvale {

namespace {

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

Bounds BoundsOf(const QRect& r) {
    return {r.left(), r.top(), r.width(), r.height()};
}

}  // namespace

QRect MainWindow::normalBounds() const {
    if (pendingOuter_) {
        return *pendingOuter_;
    }
    if (windowState() == Qt::WindowNoState) {
        return frameGeometry();
    }
    return normalGeometry().marginsAdded(frameMargins_);
}

void MainWindow::placeOuter(const QRect& outer) {
    moveFilter_.Unsettle(NowMs());
    move(outer.topLeft());
    resize(outer.size().shrunkBy(frameMargins_));
    // Until the frame is known (and while a maximise or restore settles) the bounds are kept
    // to be applied again then.
    if (exposed_ && !settling_ && windowState() == Qt::WindowNoState) {
        pendingOuter_.reset();
    } else {
        pendingOuter_ = outer;
    }
}

void MainWindow::frameKnown() {
    if (windowState() != Qt::WindowNoState || !isVisible()) {
        return;
    }
    QRect frame = frameGeometry();
    QRect client = geometry();
    frameMargins_ = QMargins(client.left() - frame.left(), client.top() - frame.top(),
                             frame.right() - client.right(), frame.bottom() - client.bottom());
    if (pendingOuter_) {
        placeOuter(*pendingOuter_);
    }
}

void MainWindow::windowStateChanged() {
    moveFilter_.Unsettle(NowMs());
    settling_ = true;
    QTimer::singleShot(UserMoveFilter::kSettleMs, this, [this] {
        settling_ = false;
        frameKnown();
    });
}

void MainWindow::applyDocumentGeometry(const GeometryRead& read) {
    if (!read.sawGeometryLine) {
        return;
    }
    if (isMaximized()) {
        showNormal();
    }
    QRect bounds = normalBounds();
    DocumentGeometry g =
        read.appliedTo({bounds.height(), bounds.width(), bounds.top(), bounds.left(), treeWidth()});
    // -1 means centred here as in the settings file (documents written without a window
    // carry it), rather than a title bar off the top of the screen.
    QSize area = screen() ? screen()->size() : QSize(1024, 768);
    Bounds placed = CentreUnset({g.left, g.top, g.width, g.height}, area.width(), area.height());
    placeOuter(QRect(placed.left, placed.top, placed.width, placed.height));
    setTreeWidth(g.treeWidth);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (QWindow* window = windowHandle(); window && !exposed_) {
        window->installEventFilter(this);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (list_ && watched == list_->viewport() && event->type() == QEvent::Paint) {
        // The clock's work waits a turn of the event loop, after this paint.
        list_->viewport()->removeEventFilter(this);
        host_.windowPainted();
        painted_ = true;
        if (tagPanel_) {
            tagPanel_->holdUntilPainted(false);
        }
    }
    if (watched == windowHandle() && event->type() == QEvent::Expose && !exposed_ &&
        windowHandle()->isExposed()) {
        exposed_ = true;
        frameKnown();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (!editor_ || !list_ || !screen()) {
        return;
    }
    QRect frame = frameGeometry();
    // Qt has no say in a move while it happens, so a window dragged past the work area's
    // edge is put back as soon as it arrives there.
    if (!moveFilter_.IsUserMove(NowMs(), BoundsOf(frame)) || !editor_->settings().keepOnScreen ||
        windowState() != Qt::WindowNoState) {
        return;
    }
    Bounds kept = KeepOnScreen(BoundsOf(frame), BoundsOf(screen()->availableGeometry()));
    if (kept.left != frame.left() || kept.top != frame.top()) {
        move(kept.left, kept.top);
    }
}

}  // namespace brenvale
