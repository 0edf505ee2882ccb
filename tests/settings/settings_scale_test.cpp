// A big settings file is read and written with work linear in its size. Rather than time it,
// these tests count the work that grows with the file: the bytes allocated (going through the
// text again for every key allocates its lines or a copy of it again) and the bytes that pass
// through read and write (writing the file once per key moves all of it once per key). Each
// stays within a few times the file's size, where a pass per key takes hundreds of times it.
// The file goes through in pieces and is never held whole: what is allocated stays a small part
// of its size.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <new>

#include "settings/ini_file.h"
#include "settings/option_writes.h"
#include "settings/settings_file.h"
#include "settings/toolbar_layout.h"
#include "support/temp_dir.h"

namespace {
std::atomic<size_t> g_allocated{0};
}  // namespace

// Every allocation of this program is counted. (GCC takes the free() below for the release of
// memory that operator new gave, which it is.)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    g_allocated.fetch_add(size, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return ::operator new(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace brenvale {
namespace {

// The bytes this process has read and written through system calls so far.
struct IoBytes {
    size_t read = 0;
    size_t written = 0;
};
IoBytes ProcessIo() {
    std::ifstream io("/proc/self/io");
    IoBytes bytes;
    std::string name;
    size_t value = 0;
    while (io >> name >> value) {
        if (name == "rchar:") {
            bytes.read = value;
        } else if (name == "wchar:") {
            bytes.written = value;
        }
    }
    return bytes;
}

// What one operation cost, in multiples of the file's size.
struct Work {
    double allocated = 0;
    double read = 0;
    double written = 0;
};

template <typename Operation>
Work Measure(size_t fileSize, Operation operation) {
    const IoBytes ioBefore = ProcessIo();
    const size_t allocatedBefore = g_allocated.load();
    operation();
    const size_t allocated = g_allocated.load() - allocatedBefore;
    const IoBytes ioAfter = ProcessIo();
    const double size = static_cast<double>(fileSize);
    return {static_cast<double>(allocated) / size,
            static_cast<double>(ioAfter.read - ioBefore.read) / size,
            static_cast<double>(ioAfter.written - ioBefore.written) / size};
}

// About 16 MB: the program's own sections around a big one it does not know, and a toolbar
// of some hundred buttons at the end.
size_t WriteBigSettingsFile(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "[Window]\r\nHeight=400\r\nWidth=600\r\nMoving=1\r\n[Save]\r\nAutoSv=2\r\n"
           "Interval=300000\r\n[Tree]\r\nTreeColor=clWhite\r\n[History]\r\n";
    for (int i = 0; i < 200000; ++i) {
        out << "Entry" << i << "=/home/user/documents/project-" << i % 97 << "/notes-" << i
            << ".bnv|2024-01-01 12:00:00|opened\r\n";
    }
    out << "[List]\r\nKugiri=0\r\n[Recent]\r\n0=/a/b.bnv\r\n[ToolBar]\r\n";
    for (int i = 0; i < 300; ++i) {
        out << (i < 10 ? "0" : "") << i << "=FileNew\r\n";
    }
    return static_cast<size_t>(out.tellp());
}

class BigSettingsFile : public ::testing::Test {
protected:
    void SetUp() override { size_ = WriteBigSettingsFile(path_); }

    test::TempDir dir_;
    const std::string path_ = dir_.file("brenvale.ini");
    size_t size_ = 0;
};

TEST_F(BigSettingsFile, TheStartReadsItOnce) {
    StartupSettings read;
    Work work = Measure(size_, [&] { read = ReadSettings(path_, 1024, 768); });
    EXPECT_EQ(read.layout.bounds.width, 600);
    EXPECT_FALSE(read.options.settings.separatorItems);
    EXPECT_EQ(read.layout.recentFiles, std::vector<std::string>{"/a/b.bnv"});
    EXPECT_LT(work.allocated, 0.2) << "allocated " << work.allocated << " times the file";
    EXPECT_LT(work.read, 2) << "read " << work.read << " times the file";

    std::vector<std::string> toolbar;
    work = Measure(size_, [&] { toolbar = ReadToolbarValues(path_); });
    EXPECT_EQ(toolbar.size(), 300u);
    EXPECT_LT(work.allocated, 0.2) << "allocated " << work.allocated << " times the file";
}

TEST_F(BigSettingsFile, TheCloseAndTheOptionsWriteItOnceEach) {
    WindowLayout layout;
    layout.bounds = {10, 20, 640, 480};
    std::vector<std::string> recent;
    for (int i = 0; i < 10; ++i) {
        recent.push_back("/docs/" + std::to_string(i) + ".bnv");
    }
    Work work = Measure(size_, [&] { WriteClosingSettings(path_, layout, recent); });
    EXPECT_LT(work.allocated, 0.2) << "allocated " << work.allocated << " times the file";
    // Once for where the edits go, once for the runs they leave alone.
    EXPECT_LT(work.read, 3) << "read " << work.read << " times the file";
    EXPECT_LT(work.written, 2) << "wrote " << work.written << " times the file";
    EXPECT_EQ(ReadSettings(path_, 1024, 768).layout.recentFiles.front(), "/docs/9.bnv");

    class NoTarget : public OptionTarget {
        void ApplySettings(const Settings&) override {}
        void ApplyAutoSaveInterval(int) override {}
        void ApplyColour(ViewColour, Colour) override {}
    } target;
    IniFile ini(path_);
    work = Measure(size_, [&] { WriteOptions(ini, OptionValues{}, Settings{}, target); });
    EXPECT_LT(work.allocated, 0.2) << "allocated " << work.allocated << " times the file";
    EXPECT_LT(work.written, 2) << "wrote " << work.written << " times the file";
    EXPECT_TRUE(ReadSettings(path_, 1024, 768).options.settings.separatorItems);
}

}  // namespace
}  // namespace brenvale
