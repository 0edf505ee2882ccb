#pragma once

#include <optional>
#include <string>

#include "editor/editor_host.h"

class QWidget;

namespace brenvale {

// Asks for a file to open or to save with a file dialog over parent: the chosen path, or
// nothing when the dialog was cancelled. The program asks about overwriting itself.
std::optional<std::string> AskFileName(QWidget* parent, const FileDialogOptions& options,
                                       bool save);

}  // namespace brenvale
