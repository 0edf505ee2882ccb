#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "document/print_job.h"

namespace brenvale {

// The pages of a print job as a PDF, A4 (Letter where the locale measures in inches) with the
// Japanese font embedded. The bytes go out as the pages are painted, so the memory taken
// does not grow with the number of pages. Both work with or without a running Qt
// application: without one, a QGuiApplication on the offscreen platform is made for the time
// it takes, so the command-line tool needs no display. Both return false when the progress
// stopped the PDF.

// Hands the PDF's bytes to sink as they are made; an exception from sink stops the PDF and
// is thrown on.
bool WritePdfTo(const PrintJob& job, const std::function<void(std::string_view)>& sink,
                PrintProgress* progress = nullptr);
// Writes the PDF to path, replacing the file only once it is complete; a PDF that fails or
// is stopped leaves the file as it was and nothing beside it.
bool WritePdf(const PrintJob& job, const std::string& path, PrintProgress* progress = nullptr);

}  // namespace brenvale
