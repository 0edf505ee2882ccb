#include "ui/help_context.h"

namespace brenvale {

void ShowHelpContext(QWidget* /*parent*/, int /*context*/) {
    // The help window is not part of this build yet; a help button shows nothing.
}

}  // namespace brenvale
