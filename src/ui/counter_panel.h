#pragma once

#include <QIcon>
#include <QWidget>

#include <functional>

namespace brenvale {

// An owner-drawn status bar panel: a 16-pixel icon, then a black text and an optional red
// one, on a tinted background. Its width follows the texts.
class CounterPanel : public QWidget {
    Q_OBJECT
public:
    struct Texts {
        QString black;
        QString red;
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
