#pragma once

#include <QLayout>
#include <QList>

namespace brenvale {

// Lays its widgets out left to right, spacing() apart, and wraps them into further rows when
// the width runs out; a break can also be forced after a widget.
class FlowLayout : public QLayout {
public:
    explicit FlowLayout(QWidget* parent = nullptr);
    ~FlowLayout() override;

    void addItem(QLayoutItem* item) override;
    // The next widget starts a new row.
    void addBreak();
    int count() const override { return static_cast<int>(items_.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    int layOut(const QRect& rect, bool apply) const;

    struct Entry {
        QLayoutItem* item;
        bool breakBefore;
    };
    QList<Entry> items_;
    bool pendingBreak_ = false;
};

}  // namespace brenvale
