#pragma once

#include <QString>

class QWidget;

namespace brenvale {

// Makes the program's own widgets known to screen readers: the check list's rows, the
// toolbar's buttons and the status bar's counters. Run once before the first window shows.
void InstallAccessibility();

// Names a control after its hint "|[NAME] DESCRIPTION": a screen reader reads the name and
// the description.
void NameAfterHint(QWidget* widget, const QString& hint);

}  // namespace brenvale
