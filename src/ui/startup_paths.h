#pragma once

#include <QStringList>

#include "ui/main_window.h"

namespace brenvale {

// The program's path, its companion files and the documents named on the command line.
StartupOptions MakeStartupOptions(const QStringList& arguments);

}  // namespace brenvale
