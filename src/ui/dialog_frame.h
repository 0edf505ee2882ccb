#pragma once

#include <QSize>

class QAbstractItemView;
class QDialog;
class QPushButton;

namespace brenvale {

// The frame of the settings dialogs: resizable but not below the designed client size,
// centred on the screen of the window it belongs to, with no minimise button.
void FrameAsSizableDialog(QDialog* dialog, QSize client);

// Gives a framed dialog a new size, no smaller than its minimum and no larger than its screen's
// work area, and centres it there again.
void ResizeCentred(QDialog* dialog, QSize size);

// A list keeps showing its selection in the selection colour while it has no focus.
void KeepSelectionVisible(QAbstractItemView* view);

// A dialog button of the usual size (75 × 25, wider when its text needs it).
QPushButton* SizedDialogButton(QPushButton* button);

}  // namespace brenvale
