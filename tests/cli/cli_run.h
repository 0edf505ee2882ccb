#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace brenvale::test {

// What the tool printed and its exit code, run in the test's own process.
struct CliRun {
    int code;
    std::string out;
    std::string err;
};

inline CliRun Cli(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    int code = RunCli(args, out, err);
    return {code, out.str(), err.str()};
}

}  // namespace brenvale::test
