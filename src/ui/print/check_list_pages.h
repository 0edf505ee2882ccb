#pragma once

#include <QPageSize>

#include "document/print_job.h"

class QPagedPaintDevice;

namespace brenvale {

// Paints a print job on the pages of a printer or a PDF writer: each Topic a heading with its
// path, each Item a drawn check box (ticked when checked) and its text, wrapped to the width
// of the page; a separator a rule; a no-box Item its mark. Every page ends with the job's
// title and "page / pages". Returns the number of pages.
int PaintCheckLists(const PrintJob& job, QPagedPaintDevice& device);

// A4, or Letter where the locale measures in inches.
QPageSize DefaultPageSize();

}  // namespace brenvale
