#pragma once

#include <string>

#include "document/print_job.h"

namespace brenvale {

// The pages of a print job as a PDF, A4 (Letter where the locale measures in inches) with
// the Japanese font embedded. Both work with or without a running Qt application: without
// one, a QGuiApplication on the offscreen platform is made for the time it takes, so the
// command-line tool needs no display.
std::string ExportPdf(const PrintJob& job);
// Writes the PDF to path, replacing the file only once it is complete.
void WritePdf(const PrintJob& job, const std::string& path);

}  // namespace brenvale
