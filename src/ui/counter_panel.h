#pragma once

#include <QIcon>
#include <QWidget>

#include <functional>

namespace brenvale {

// An owner-drawn status bar panel: a 16-pixel icon, then a black text, an optional red one
// and an optional black one after it, on a tinted background. Its width follows the texts.
class CounterPanel : public QWidget {
    Q_OBJECT
public:
    struct Texts {
        QString black;
        QString red;
        QString after = {};  // black again, after the red text
    };

    CounterPanel(QColor background, QIcon icon, std::function<Texts()> texts,
                 QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // The counters changed: repaint and take the new width.
    void refresh();
    // The texts of the last paint: what the user sees.
    const Texts& painted() const { return painted_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor background_;
    QIcon icon_;
    std::function<Texts()> texts_;
    Texts painted_;
};

}  // namespace brenvale
