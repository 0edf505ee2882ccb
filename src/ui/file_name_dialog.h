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
// The same with the filter the file was chosen under. The default extension follows the
// filter the user picks, so that a name typed without one gets the chosen format's.
std::optional<FileChoice> AskFileChoice(QWidget* parent, const FileDialogOptions& options,
                                        bool save);

}  // namespace brenvale
