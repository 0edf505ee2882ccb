#pragma once

#include <QIcon>
#include <QWidget>

#include <functional>

#include "settings/colour_scheme.h"

namespace brenvale {

// An owner-drawn status bar panel: a 16-pixel icon, then a black text, an optional alert one
// in red and an optional black one after it, on a tinted background. Its width follows the
// texts. A screen reader reads its label and the texts.
class CounterPanel : public QWidget {
    Q_OBJECT
public:
    struct Texts {
        QString black;
        QString red;
        QString after = {};  // black again, after the red text
    };

    CounterPanel(QString label, QIcon icon, std::function<Texts()> texts,
                 QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // The counters changed: repaint and take the new width.
    void refresh();
    // The texts of the last paint: what the user sees.
    const Texts& painted() const { return painted_; }
    // The tint and the text colours (light ones on a dark desktop).
    void setColours(const CounterColours& colours);
    const CounterColours& colours() const { return colours_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void updateAccessibleName();

    QString label_;
    QIcon icon_;
    std::function<Texts()> texts_;
    CounterColours colours_ = TreeCounterColours(false);
    Texts painted_;
};

}  // namespace brenvale
