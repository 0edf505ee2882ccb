#include "ui/dialog_frame.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace brenvale {

void FrameAsSizableDialog(QDialog* dialog, QSize client) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                           Qt::WindowCloseButtonHint);
    dialog->setSizeGripEnabled(true);
    dialog->setMinimumSize(client);
    dialog->resize(client);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) {
        dialog->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, client,
                                                screen->availableGeometry()));
    }
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
