#pragma once

#include <optional>
#include <string>
#include <vector>

namespace brenvale {

// The program that paints PDFs for brenvale-cli, so that the tool itself loads no Qt
// library: brenvale-pdf beside the running tool (the build tree), else in the libexec folder
// of the tool's own prefix (an installation moved or unpacked elsewhere), else at the path it
// was installed to. Nothing when none of them is there.
std::optional<std::string> FindPdfProgram();

// Runs the PDF program with the tool's arguments on the same standard input, output and
// error, and waits for it. Returns its exit code; a program that cannot be found or started,
// or that is killed, gives 1 with a message on err.
int RunPdfProgram(const std::vector<std::string>& args, std::ostream& err);

}  // namespace brenvale
