#pragma once

class QString;
class QWidget;

namespace brenvale {

class HelpWindow;

// The help context numbers of the dialogs' help buttons.
inline constexpr int kHelpShortcutKeys = 16;
inline constexpr int kHelpToolbarDialog = 17;
inline constexpr int kHelpOptionsView = 21;
inline constexpr int kHelpOptionsColor = 22;
inline constexpr int kHelpOptionsExt = 23;
inline constexpr int kHelpOptionsSave = 24;

// Opens the help at the page of a help context. Every help button goes through this one call.
void ShowHelpContext(QWidget* parent, int context);

// The help commands: the help at its contents, and the help with its search ready for typing.
void HelpContentsExecute(QWidget* parent);
void HelpTopicExecute(QWidget* parent);

// The one help window, created and shown on first use; nothing (after a message saying why)
// when the help files cannot be found or read.
HelpWindow* OpenHelpWindow(QWidget* parent);

// The program whose help files are looked for (the running program unless set, for tests).
void SetHelpProgramPath(const QString& programPath);

}  // namespace brenvale
