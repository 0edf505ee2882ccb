#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace brenvale {

// Runs brenvale-cli with its arguments (without the program name). Returns the exit code:
// 0 success, 1 a file could not be read or written, 2 bad usage.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace brenvale
