#pragma once

#include <QPageSize>

#include <functional>

#include "document/print_job.h"

class QPagedPaintDevice;

namespace brenvale {

struct PageOptions {
    // Told of each Topic and Item laid out; may stop the print.
    PrintProgress* progress = nullptr;
    // Paints only the first pages (a preview), 0 for all of them.
    int maxPages = 0;
    // Called when the progress stops the print while pages are being painted, before the
    // painter ends: a printer drops the pages painted so far (QPrinter::abort).
    std::function<void()> abort;
};

struct PaintResult {
    int pages = 0;  // the pages of the whole job
    bool cancelled = false;
};

// Paints a print job on the pages of a printer or a PDF writer: each Topic a heading with its
// last levels' captions, indented by its level (as far as kMaxPrintIndent, deeper ones showing
// their level), each Item a drawn check box (ticked when checked) and its text, wrapped to the
// width left; a separator a rule; a no-box Item its mark. Every page ends with the job's
// title and "page / pages". The pages are laid out twice, to count them and to paint them,
// one Item at a time: nothing of a page is kept once it is painted.
PaintResult PaintCheckLists(const PrintJob& job, QPagedPaintDevice& device,
                            const PageOptions& options = {});

// A4, or Letter where the locale measures in inches.
QPageSize DefaultPageSize();

}  // namespace brenvale
