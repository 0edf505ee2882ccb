#pragma once

#include <functional>

#include "editor/editor_host.h"

namespace brenvale {

// The desktop's event sound of a message kind (freedesktop sound names): warnings and errors
// sound the exclamation, information the asterisk, confirmations the question.
const char* AlertSoundName(MessageKind kind);

// Plays the kind's sound through the desktop's event sounds where it offers them (libcanberra,
// loaded when present), and the plain beep otherwise.
void PlayAlertSound(MessageKind kind);

// Tests hear the sounds here instead; an empty function gives the desktop back.
void SetAlertSoundSink(std::function<void(MessageKind)> sink);

}  // namespace brenvale
