#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/cli_output.h"
#include "document/print_job.h"

namespace brenvale {

// Writes the pages of the pdf command's job to its output: a file path (kind File), replaced
// only once the PDF is complete, or as it stands (Direct), or to out (Stream).
using PdfWriter = std::function<void(const PrintJob& job, const std::string& path, OutputKind kind,
                                     std::ostream& out)>;

// Runs brenvale-cli with its arguments (without the program name). Returns the exit code:
// 0 success, 1 a file could not be read or written, 2 bad usage. The PDF is painted by a
// program of its own (see pdf_program.h), which needs Qt's fonts and text layout; that
// program runs this with the writer that paints it.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const PdfWriter& pdf = {});

}  // namespace brenvale
