// Every system call of a save made to fail in turn: the old file stays byte for byte, nothing
// is left beside it, and the error carries the system's text.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <set>

#include "common/error.h"
#include "common/file_io.h"
#include "common/system_calls.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

namespace brenvale {
namespace {

namespace fs = std::filesystem;

// Counts the calls of a save and makes the one numbered failAt fail.
class FaultyCalls : public SystemCalls {
public:
    std::vector<std::string> calls;
    size_t failAt = SIZE_MAX;
    int injected = 0;  // the errno of the failed call
    bool unnamedFiles = true;

    int open(const char* path, int flags, mode_t mode) override {
        if (!unnamedFiles && (flags & O_TMPFILE) == O_TMPFILE) {
            errno = EOPNOTSUPP;
            return -1;
        }
        return Fails("open", ENOSPC) ? -1 : SystemCalls::open(path, flags, mode);
    }
    // Writes are short, as the system may make them, so that a save takes several.
    ssize_t write(int fd, const void* data, size_t size) override {
        return Fails("write", ENOSPC) ? -1 : SystemCalls::write(fd, data, std::min(size, kChunk));
    }
    ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) override {
        return Fails("pwrite", ENOSPC)
                   ? -1
                   : SystemCalls::pwrite(fd, data, std::min(size, kChunk), offset);
    }
    ssize_t pread(int fd, void* data, size_t size, off_t offset) override {
        return Fails("pread", EIO) ? -1 : SystemCalls::pread(fd, data, size, offset);
    }
    int fsync(int fd) override { return Fails("fsync", EIO) ? -1 : SystemCalls::fsync(fd); }
    int close(int fd) override {
        int result = SystemCalls::close(fd);  // a failed close still closes
        return Fails("close", EIO) ? -1 : result;
    }
    int link(int fd, const char* to) override {
        return Fails("link", EMLINK) ? -1 : SystemCalls::link(fd, to);
    }
    int rename(const char* from, const char* to) override {
        return Fails("rename", EXDEV) ? -1 : SystemCalls::rename(from, to);
    }
    int fchown(int fd, uid_t owner, gid_t group) override {
        return Fails("fchown", EIO) ? -1 : SystemCalls::fchown(fd, owner, group);
    }
    int fchmod(int fd, mode_t mode) override {
        return Fails("fchmod", EIO) ? -1 : SystemCalls::fchmod(fd, mode);
    }
    int ftruncate(int fd, off_t size) override {
        return Fails("ftruncate", EFBIG) ? -1 : SystemCalls::ftruncate(fd, size);
    }
    int unlink(const char* path) override {
        return Fails("unlink", EIO) ? -1 : SystemCalls::unlink(path);
    }

private:
    static constexpr size_t kChunk = 1 << 17;

    bool Fails(const char* name, int error) {
        calls.push_back(name);
        if (calls.size() - 1 != failAt) {
            return false;
        }
        injected = error;
        errno = error;
        return true;
    }
};

struct Scenario {
    const char* name;
    bool existing = true;      // a file is there before the save
    bool unnamedFiles = true;  // the file system makes files without a name
    std::function<void(const test::TempDir&)> prepare;
};

// Bytes that differ at every position from the old ones, long enough for several writes.
const std::string kOld(300000, 'o');
const std::string kNew(700001, 'n');

// Runs every fault of a scenario; returns the number of faults injected.
size_t InjectEveryFault(const Scenario& scenario) {
    FaultyCalls dry;
    dry.unnamedFiles = scenario.unnamedFiles;
    size_t renameAt = SIZE_MAX;
    {
        test::TempDir dir;
        if (scenario.existing) {
            test::WriteBytes(dir.file("a.bnv"), kOld);
        }
        if (scenario.prepare) {
            scenario.prepare(dir);
        }
        ScopedSystemCalls use(dry);
        WriteFileAtomically(dir.file("a.bnv"), kNew);
        EXPECT_EQ(test::ReadBytes(dir.file("a.bnv")), kNew) << scenario.name;
    }
    for (size_t i = 0; i < dry.calls.size(); ++i) {
        if (dry.calls[i] == "rename") {
            renameAt = i;
        }
    }
    EXPECT_GT(dry.calls.size(), 5u) << scenario.name;
    for (size_t k = 0; k < dry.calls.size(); ++k) {
        SCOPED_TRACE(std::string(scenario.name) + ": call " + std::to_string(k) + " (" +
                     dry.calls[k] + ") fails");
        test::TempDir dir;
        const std::string path = dir.file("a.bnv");
        if (scenario.existing) {
            test::WriteBytes(path, kOld);
        }
        if (scenario.prepare) {
            scenario.prepare(dir);
        }
        const std::set<std::string> before = test::FolderEntries(dir.path());
        FaultyCalls faults;
        faults.unnamedFiles = scenario.unnamedFiles;
        faults.failAt = k;
        bool failed = false;
        try {
            ScopedSystemCalls use(faults);
            WriteFileAtomically(path, kNew);
        } catch (const Error& e) {
            failed = true;
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(std::strerror(faults.injected)), std::string::npos)
                << e.what();
        }
        std::set<std::string> after = before;
        if (renameAt != SIZE_MAX && k > renameAt) {
            // Only the folder's sync comes after the rename: the new file is complete.
            EXPECT_FALSE(failed);
            EXPECT_TRUE(test::ReadBytes(path) == kNew) << "the new file is not there";
            after.insert("a.bnv");
        } else {
            EXPECT_TRUE(failed);
            if (scenario.existing) {
                EXPECT_TRUE(test::ReadBytes(path) == kOld) << "the old file changed";
            }
        }
        EXPECT_EQ(test::FolderEntries(dir.path()), after);
    }
    return dry.calls.size();
}

TEST(SaveFaults, EveryFailingCallLeavesTheOldFileAndNothingBesideIt) {
    std::vector<Scenario> scenarios = {
        {"replace", true, true, {}},
        {"replace without unnamed files", true, false, {}},
        {"new file", false, true, {}},
        {"new file without unnamed files", false, false, {}},
        {"in place, second name", true, true,
         [](const test::TempDir& dir) { fs::create_hard_link(dir.file("a.bnv"), dir.file("b")); }},
    };
    if (test::IsRoot()) {
        scenarios.push_back({"replace, other owner", true, true, [](const test::TempDir& dir) {
                                 ::chown(dir.file("a.bnv").c_str(), test::kNobody, test::kNoGroup);
                             }});
    }
    size_t total = 0;
    for (const Scenario& scenario : scenarios) {
        size_t faults = InjectEveryFault(scenario);
        std::cout << "[ faults   ] " << scenario.name << ": " << faults
                  << " calls, each failed once\n";
        total += faults;
    }
    std::cout << "[ faults   ] " << total << " faults injected\n";
}

}  // namespace
}  // namespace brenvale
