#pragma once

#include <QObject>
#include <QTimer>

class QAbstractScrollArea;
class QPoint;
class QWidget;

namespace brenvale {

class DragActions;

// The drag scroll timer (DragScrollTimer): runs only while a Topic or an Item is dragged, and
// every 200 ms scrolls the tree or the list one line towards the edge the pointer rests near.
class DragScrollTimer : public QObject {
    Q_OBJECT
public:
    static constexpr int kInterval = 200;

    DragScrollTimer(const DragActions& drag, QWidget& window, QAbstractScrollArea& tree,
                    QAbstractScrollArea& list, QObject* parent = nullptr);

    void start();
    void stop();
    bool isActive() const { return timer_.isActive(); }
    int interval() const { return timer_.interval(); }
    // One tick with the pointer at a point in the window's coordinates.
    void tickAt(const QPoint& pointer);

private:
    void tick();

    const DragActions& drag_;
    QWidget& window_;
    QAbstractScrollArea& tree_;
    QAbstractScrollArea& list_;
    QTimer timer_;
};

}  // namespace brenvale
