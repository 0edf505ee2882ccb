#pragma once

#include <cstdio>
#include <string>

namespace brenvale::test {

// What a shell command line writes to standard output (its errors go where the test's go).
inline std::string RunCommand(const std::string& command) {
    std::string out;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            out.append(buffer, n);
        }
        ::pclose(pipe);
    }
    return out;
}

}  // namespace brenvale::test
