#pragma once

#include <QString>

#include "editor/editor_host.h"

class QWidget;

namespace brenvale {

// A modal message box centred on the screen, with the caption and icon of its kind and
// Japanese buttons in the order Yes, No, OK, Cancel (or Reload, Save As, Cancel). Enter
// presses OK (else Yes; Cancel beside Reload); Escape presses Cancel (else No, else OK); the
// close box answers Cancel. The kind's sound plays first.
MessageAnswer ShowMessageBox(QWidget* parent, const QString& text, MessageKind kind,
                             MessageButtons buttons);

// The application title every window shows.
inline const char* const kApplicationTitle = "Brenvale";

}  // namespace brenvale
