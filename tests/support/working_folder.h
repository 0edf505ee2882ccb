#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

namespace brenvale::test {

// Makes folder the process's working folder for as long as it lives.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::string& folder) : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~WorkingFolder() {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    std::filesystem::path previous_;
};

}  // namespace brenvale::test
