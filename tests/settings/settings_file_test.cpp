#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include "common/error.h"
#include "settings/dialog_size.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::ReadBytes;
using test::Sjis;
using test::WriteBytes;

TEST(ReadSettings, AMissingFileGivesTheDefaultsCentred) {
    test::TempDir dir;
    StartupSettings read = ReadSettings(dir.file("brenvale.ini"), 1024, 768);
    const WindowLayout& w = read.layout;
    EXPECT_EQ(w.bounds, (WindowBounds{(1024 - 573) / 2, (768 - 376) / 2, 573, 376}));
    EXPECT_EQ(w.state, WindowState::Normal);
    EXPECT_TRUE(w.statusBar);
    EXPECT_TRUE(w.flatButtons);
    EXPECT_EQ(w.treeWidth, 129);
    EXPECT_FALSE(w.tagPanel);
    const ViewColours& c = read.options.colours;
    EXPECT_EQ(c.treeBack, 0xFFF8F8u);
    EXPECT_EQ(c.treeText, 0x100000u);
    EXPECT_EQ(c.listBack, 0xF8F8FFu);
    EXPECT_EQ(c.listText, 0x000010u);
    EXPECT_EQ(read.options.autoSaveInterval, 600000);
    EXPECT_TRUE(w.recentFiles.empty());

    const Settings& s = read.options.settings;
    EXPECT_EQ(s.autoSave, AutoSaveMode::Off);
    EXPECT_FALSE(s.backup);
    EXPECT_EQ(s.backupFolder, Sjis("※File"));
    EXPECT_EQ(s.tempFolder, Sjis("※File"));
    EXPECT_TRUE(s.separatorItems && s.noBoxItems && s.noBoxBold && s.applyGeometry &&
                s.trimItemSpaces);
    EXPECT_FALSE(s.noBoxItalic || s.noBoxUnderline || s.keepOnScreen);
    EXPECT_EQ(s.checkMark, Sjis("※"));
    EXPECT_EQ(s.listKindOptions().checkMark, Sjis("※"));
    EXPECT_EQ(s.writeOptions().backupFolder, Sjis("※File"));
}

TEST(ReadSettings, AppliesTheStoredValues) {
    test::TempDir dir;
    const std::string path = dir.file("brenvale.ini");
    WriteBytes(path,
               "[Window]\r\nHeight=300\r\nWidth=-101\r\nTop=-1\r\nLeft=100\r\nState=0\r\n"
               "StatusBar=7\r\nMoving=1\r\n[Save]\r\nAutoSv=3\r\nInterval=$EA60\r\n"
               "BackUpPass= /tmp/bak \r\nTempPass=\xE2\x80\xBB"
               "File\r\n[ToolBtn]\r\nFlat=0\r\n"
               "[Tree]\r\nWidth=200\r\nTreeColor=clAqua\r\nTreeFontColor=not a colour\r\n"
               "[List]\r\nKugiri=0\r\nCekMoj=" +
                   Sjis("＊") + "\r\nListColor=255\r\n");
    StartupSettings read = ReadSettings(path, 1025, 801);
    const WindowLayout& w = read.layout;
    // (801 - 300) / 2 and the left as stored; a negative width still divides toward zero.
    EXPECT_EQ(w.bounds, (WindowBounds{100, 250, -101, 300}));
    EXPECT_EQ(w.state, WindowState::Maximized);
    EXPECT_TRUE(w.statusBar);
    EXPECT_FALSE(w.flatButtons);
    EXPECT_EQ(w.treeWidth, 200);
    EXPECT_EQ(read.options.colours.treeBack, 0xFFFF00u);
    EXPECT_EQ(read.options.colours.treeText, 0x100000u);  // not a colour: the default
    EXPECT_EQ(read.options.colours.listBack, 0x0000FFu);
    EXPECT_EQ(read.options.autoSaveInterval, 60000);
    const Settings& s = read.options.settings;
    EXPECT_EQ(s.autoSave, AutoSaveMode::OverDocument);
    EXPECT_TRUE(s.keepOnScreen);
    EXPECT_FALSE(s.separatorItems);
    EXPECT_EQ(s.checkMark, Sjis("＊"));
    EXPECT_EQ(s.backupFolder, "/tmp/bak");
    EXPECT_EQ(s.tempFolder, Sjis("※File"));

    WriteBytes(path, "[Window]\r\nLeft=-1\r\nWidth=-101\r\n");
    EXPECT_EQ(ReadSettings(path, 1024, 768).layout.bounds.left, (1024 + 101) / 2);
}

TEST(ReadSettings, ListsRecentFilesFromKeyNineDownToZero) {
    test::TempDir dir;
    const std::string path = dir.file("brenvale.ini");
    WriteBytes(path, "[Recent]\r\n0= /a/zero.bnv \r\n5=/a/five.bnv\r\n7=\r\n10=/a/ten.bnv\r\n");
    EXPECT_EQ(ReadSettings(path, 800, 600).layout.recentFiles,
              (std::vector<std::string>{"/a/five.bnv", "/a/zero.bnv"}));
}

TEST(WriteClosingSettings, NormalWindowWritesItsBoundsThenState) {
    test::TempDir dir;
    const std::string path = dir.file("brenvale.ini");
    WriteBytes(path, "[Save]\r\nAutoSv=2\r\n[Recent]\r\n0=/old.bnv\r\n9=/older.bnv\r\n");
    WindowLayout w;
    w.bounds = {10, 20, 640, 480};
    w.restoredBounds = {1, 2, 3, 4};  // not used for a normal window
    w.statusBar = false;
    w.tagPanel = true;
    w.treeWidth = 150;
    w.recentFiles = {"/ignored.bnv"};
    WriteClosingSettings(path, w, {"/b.bnv", "/a.bnv"});
    EXPECT_EQ(ReadBytes(path),
              "[Save]\r\nAutoSv=2\r\n"
              "[Window]\r\nHeight=480\r\nWidth=640\r\nTop=20\r\nLeft=10\r\nState=1\r\n"
              "StatusBar=0\r\nTagPanel=1\r\n[ToolBtn]\r\nFlat=1\r\n[Tree]\r\nWidth=150\r\n"
              "[Recent]\r\n0=/b.bnv\r\n1=/a.bnv\r\n");

    StartupSettings again = ReadSettings(path, 800, 600);
    EXPECT_EQ(again.layout.bounds, w.bounds);
    EXPECT_TRUE(again.layout.tagPanel);
    EXPECT_EQ(again.layout.recentFiles, (std::vector<std::string>{"/a.bnv", "/b.bnv"}));
}

TEST(WriteClosingSettings, TheFindResultsHeightOnceKnown) {
    test::TempDir dir;
    const std::string path = dir.file("brenvale.ini");
    WindowLayout w;
    WriteClosingSettings(path, w, {});
    EXPECT_EQ(ReadBytes(path).find("[Find]"), std::string::npos);
    EXPECT_EQ(ReadSettings(path, 800, 600).layout.findResultsHeight, 0);
    w.findResultsHeight = 140;
    WriteClosingSettings(path, w, {});
    EXPECT_EQ(ReadSettings(path, 800, 600).layout.findResultsHeight, 140);
    WriteBytes(path, "[Find]\r\nResultsHeight=-5\r\n");
    EXPECT_EQ(ReadSettings(path, 800, 600).layout.findResultsHeight, 0);
}

TEST(DialogSize, IsKeptPerDialogAndOnlyWhenUsable) {
    test::TempDir dir;
    const std::string path = dir.file("brenvale.ini");
    EXPECT_FALSE(ReadDialogSize(path, kShortcutKeyDialogSection));
    WriteDialogSize(path, kShortcutKeyDialogSection, {640, 420});
    WriteDialogSize(path, kToolbarDialogSection, {500, 300});
    EXPECT_EQ(ReadDialogSize(path, kShortcutKeyDialogSection), (DialogSize{640, 420}));
    EXPECT_EQ(ReadDialogSize(path, kToolbarDialogSection), (DialogSize{500, 300}));
    for (const char* bad : {"Width=0\r\nHeight=300", "Width=500", "Width=x\r\nHeight=300",
                            "Width=500\r\nHeight=100000", "Width=-500\r\nHeight=300"}) {
        WriteBytes(path, std::string("[KeyDialog]\r\n") + bad + "\r\n");
        EXPECT_FALSE(ReadDialogSize(path, kShortcutKeyDialogSection)) << bad;
    }
}

TEST(WriteClosingSettings, MaximisedWindowWritesStateThenRestoredBounds) {
    test::TempDir dir;
    const std::string path = dir.file("brenvale.ini");
    WindowLayout w;
    w.state = WindowState::Maximized;
    w.bounds = {0, 0, 1920, 1080};
    w.restoredBounds = {30, 40, 700, 500};
    WriteClosingSettings(path, w, {});
    EXPECT_EQ(ReadBytes(path),
              "[Window]\r\nState=0\r\nHeight=500\r\nWidth=700\r\nTop=40\r\nLeft=30\r\n"
              "StatusBar=1\r\nTagPanel=0\r\n[ToolBtn]\r\nFlat=1\r\n[Tree]\r\nWidth=129\r\n");
    StartupSettings again = ReadSettings(path, 800, 600);
    EXPECT_EQ(again.layout.state, WindowState::Maximized);
    EXPECT_EQ(again.layout.bounds, w.restoredBounds);

    // Minimised: only the state; the rectangle of the previous close stays.
    w.state = WindowState::Minimized;
    w.restoredBounds = {0, 0, 1, 1};
    WriteClosingSettings(path, w, {});
    EXPECT_EQ(ReadSettings(path, 800, 600).layout.bounds, (WindowBounds{30, 40, 700, 500}));
}

TEST(WriteClosingSettings, KeepsTenRecentFilesAndLeavesOutUnstorableNames) {
    test::TempDir dir;
    const std::string path = dir.file("brenvale.ini");
    std::vector<std::string> recent = {"/bad\nname.bnv"};
    for (int i = 0; i < 11; ++i) {
        recent.push_back("/f" + std::to_string(i) + ".bnv");
    }
    WriteClosingSettings(path, WindowLayout{}, recent);
    std::vector<std::string> read = ReadSettings(path, 800, 600).layout.recentFiles;
    ASSERT_EQ(read.size(), 10u);
    EXPECT_EQ(read.front(), "/f9.bnv");
    EXPECT_EQ(read.back(), "/f0.bnv");
    EXPECT_EQ(ReadBytes(path).find("bad"), std::string::npos);
}

TEST(WriteClosingSettings, AFailedWriteStopsTheBatchAndKeepsTheFileWhole) {
    test::TempDir dir;
    const std::string path = dir.file("brenvale.ini");
    try {
        // Room for the window keys and "State" (59 bytes) but not for "StatusBar".
        test::FileSizeLimit limit(60);
        WriteClosingSettings(path, WindowLayout{}, {"/a.bnv"});
        FAIL() << "the write should fail";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), path + " に書き込めません");
    }
    EXPECT_EQ(ReadBytes(path),
              "[Window]\r\nHeight=376\r\nWidth=573\r\nTop=-1\r\nLeft=-1\r\nState=1\r\n");
}

}  // namespace
}  // namespace brenvale
