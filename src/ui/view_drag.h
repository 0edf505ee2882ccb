#pragma once

#include <QObject>
#include <QPixmap>
#include <QPoint>

#include <optional>

class QMimeData;
class QMouseEvent;
class QWidget;

namespace brenvale {

class DragActions;

// The format that marks a drag of this program's Topics and Items; other programs see only
// the plain text beside it.
inline constexpr char kOwnDragFormat[] = "application/x-brenvale-drag";

// The data of the drag the editor has begun: the marker and the text other programs take.
QMimeData* MakeDragData(const DragActions& drag);
bool IsOwnDrag(const QMimeData* data);

// The drag cursor for a screen of device pixel ratio `ratio`: the arrow's tip is its centre.
QPixmap DragCursor(qreal ratio);

// Runs a drag from source until it ends (dropped, cancelled with Esc, or dropped elsewhere),
// with the drag cursor over targets that accept it and no drag image.
void RunDrag(QWidget* source, QMimeData* data);

// Keeps the program's own drags from dropping their text into widget (an edit box takes any
// text); the drag shows the no-drop cursor there and files can still be dropped.
void RefuseOwnDrags(QWidget* widget);

// Tells a press that stays a click from one that becomes a drag: a left press on something
// that can be dragged, then a move past the platform's drag distance with the button held.
class DragGesture {
public:
    void press(const QMouseEvent* event, bool canDrag);
    // Whether the press being released became a drag: its release is then no click.
    bool release();
    // Whether a button is held since a press in the view: the move belongs to the gesture,
    // so the view does not move its selection along.
    bool holds(const QMouseEvent* event) const;
    // True once, when a move of a drag-capable press crosses the drag distance.
    bool startsDrag(const QMouseEvent* event);

private:
    std::optional<QPoint> pressedAt_;
    bool canDrag_ = false;
    bool dragged_ = false;
};

}  // namespace brenvale
