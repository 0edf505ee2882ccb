#include "ui/dialog_frame.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace brenvale {

void FrameAsSizableDialog(QDialog* dialog, QSize client) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                           Qt::WindowCloseButtonHint);
    dialog->setSizeGripEnabled(true);
    dialog->setMinimumSize(client);
    ResizeCentred(dialog, client);
}

void ResizeCentred(QDialog* dialog, QSize size) {
    QWidget* owner = dialog->parentWidget();
    QScreen* screen = owner ? owner->window()->screen() : QGuiApplication::primaryScreen();
    size = size.expandedTo(dialog->minimumSize());
    if (!screen) {
        dialog->resize(size);
        return;
    }
    const QRect area = screen->availableGeometry();
    size = size.boundedTo(area.size()).expandedTo(dialog->minimumSize());
    dialog->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, area));
}

void KeepSelectionVisible(QAbstractItemView* view) {
    QPalette palette = view->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    }
    view->setPalette(palette);
}

QPushButton* SizedDialogButton(QPushButton* button) {
    button->setMinimumSize(75, 25);
    button->setAutoDefault(false);
    return button;
}

}  // namespace brenvale
