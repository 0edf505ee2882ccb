#pragma once

class QApplication;

namespace brenvale {

// Whether a window can be shown at all: a display to connect to, or a platform chosen with
// QT_QPA_PLATFORM.
bool HasDisplay();

// The Japanese face of every window (12 pixels), with fallbacks where it is not installed,
// and Qt's own dialogs in Japanese.
void SetUpJapanese(QApplication& app);

}  // namespace brenvale
