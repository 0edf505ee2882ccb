#pragma once

class QWidget;

namespace brenvale {

// The help context numbers of the dialogs' help buttons.
inline constexpr int kHelpSetKey = 16;
inline constexpr int kHelpSetToolBtn = 17;
inline constexpr int kHelpSetupView = 21;
inline constexpr int kHelpSetupColor = 22;
inline constexpr int kHelpSetupExt = 23;
inline constexpr int kHelpSetupSave = 24;

// Opens the help at the page of a help context. Every help button goes through this one call.
void ShowHelpContext(QWidget* parent, int context);

}  // namespace brenvale
