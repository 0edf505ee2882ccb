#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

#include "common/error.h"
#include "settings/ini_file.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

constexpr int kKeysPerWriter = 500;
constexpr int kRewritten = 100;  // keys each writer writes a second time at the end

// One instance of the program: writes its own 500 keys, then changes the first 100 again.
[[noreturn]] void RunWriter(const std::string& path, char name, int startFd) {
    char go;
    if (::read(startFd, &go, 1) < 0) {
        ::_exit(3);
    }
    try {
        for (int i = 0; i < kKeysPerWriter; ++i) {
            IniFile(path).WriteString("Race", name + std::to_string(i),
                                      "first" + std::to_string(i));
        }
        for (int i = 0; i < kRewritten; ++i) {
            IniFile(path).WriteString("Race", name + std::to_string(i), "last" + std::to_string(i));
        }
    } catch (const Error&) {
        ::_exit(2);
    }
    ::_exit(0);
}

TEST(IniFileRace, TwoInstancesWritingAtOnceLoseNothing) {
    test::TempDir dir;
    const std::string path = dir.file("brenvale.ini");
    test::WriteBytes(path, "[Other]\r\nkeep=me\r\n");
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    pid_t writers[2];
    for (int w = 0; w < 2; ++w) {
        writers[w] = ::fork();
        ASSERT_GE(writers[w], 0);
        if (writers[w] == 0) {
            ::close(start[1]);
            RunWriter(path, static_cast<char>('a' + w), start[0]);
        }
    }
    ::close(start[0]);
    ::close(start[1]);  // both writers start now
    for (pid_t writer : writers) {
        int status = 0;
        ASSERT_EQ(::waitpid(writer, &status, 0), writer);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    // The file is whole: two headers, and every other line one key of ours, each key once.
    std::istringstream lines(test::ReadBytes(path));
    std::map<std::string, std::string> race;
    std::string line;
    std::string section;
    int headers = 0;
    while (std::getline(lines, line)) {
        ASSERT_FALSE(line.empty());
        ASSERT_EQ(line.back(), '\r');
        line.pop_back();
        if (line.front() == '[') {
            section = line;
            ++headers;
            continue;
        }
        size_t eq = line.find('=');
        ASSERT_NE(eq, std::string::npos) << line;
        if (section == "[Race]") {
            EXPECT_TRUE(race.emplace(line.substr(0, eq), line.substr(eq + 1)).second) << line;
        } else {
            EXPECT_EQ(section + line, "[Other]keep=me");
        }
    }
    EXPECT_EQ(headers, 2);
    ASSERT_EQ(race.size(), 2u * kKeysPerWriter);
    for (char name : {'a', 'b'}) {
        for (int i = 0; i < kKeysPerWriter; ++i) {
            std::string expected = (i < kRewritten ? "last" : "first") + std::to_string(i);
            EXPECT_EQ(race[name + std::to_string(i)], expected);
        }
    }
    // No temporary file is left behind; the lock file stays.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"brenvale.ini", "brenvale.ini.lock"}));
}

}  // namespace
}  // namespace brenvale
