#include "settings/ini_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "common/error.h"
#include "settings/ini_value.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"
#include "support/test_ini_file.h"
#include "support/unprivileged.h"

namespace brenvale {
namespace {

using test::ReadBytes;
using test::Sjis;
using test::WriteBytes;

TEST(IniFile, ReadsNamesWithoutRegardToCaseAndValuesWithoutBlanks) {
    test::TempDir dir;
    const std::string path = dir.file("a.ini");
    WriteBytes(path, "; note\r\n[Window]\r\n  Height =  400 \t\r\nleft=\r\n[LIST]\r\nCekMoj=" +
                         Sjis("※") + "\r\n[Window]\r\nWidth=9\r\n");
    test::TestIniFile ini(path);
    EXPECT_EQ(ini.ReadString("window", "HEIGHT"), "400");
    EXPECT_EQ(ini.ReadString("Window", "Left", "x"), "");
    EXPECT_EQ(ini.ReadString("list", "cekmoj"), Sjis("※"));
    // Only the first section of a name counts.
    EXPECT_EQ(ini.ReadString("Window", "Width", "none"), "none");
    EXPECT_EQ(ini.ReadString("Save", "Width", "none"), "none");
    EXPECT_EQ(ini.SectionKeys("WINDOW"), (std::vector<std::string>{"Height", "left"}));
}

TEST(IniFile, FoldsOnlyAsciiLettersOfCp932Names) {
    test::TempDir dir;
    const std::string path = dir.file("a.ini");
    // "ア" is 83 41: its trail byte is "A", which must not match "a" (83 61 is "ヂ").
    // "ゾ" is 83 5D: its trail byte is "]", which must not end the header.
    WriteBytes(path, "[" + Sjis("ア") + "]\r\nk=1\r\n[" + Sjis("ゾ") + "]\r\nk=2\r\n");
    test::TestIniFile ini(path);
    EXPECT_EQ(ini.ReadString(Sjis("ア"), "K"), "1");
    EXPECT_EQ(ini.ReadString("\x83\x61", "k", "none"), "none");
    EXPECT_EQ(ini.ReadString(Sjis("ゾ"), "k"), "2");
}

TEST(IniFile, CutsLongValuesAndGivesDefaultsForAMissingFile) {
    test::TempDir dir;
    const std::string path = dir.file("a.ini");
    test::TestIniFile missing(path);
    EXPECT_EQ(missing.ReadString("S", "k", "d"), "d");
    EXPECT_EQ(missing.ReadInteger("S", "k", 7), 7);
    EXPECT_TRUE(missing.SectionKeys("S").empty());
    EXPECT_FALSE(std::filesystem::exists(path));

    WriteBytes(path, "[S]\nk=" + std::string(3000, 'v') + "\n");
    EXPECT_EQ(test::TestIniFile(path).ReadString("S", "k"), std::string(2047, 'v'));
}

TEST(IniFile, WritingOneKeyKeepsEverythingElse) {
    test::TempDir dir;
    const std::string path = dir.file("a.ini");
    const std::string original =
        "; kept\r\n[Mine]\r\nUnknown=x\r\n\r\n[Window]\r\nHeight=1\r\n; c\r\nWidth=2\r\n\r\n"
        "[Other]\r\nz=1";
    WriteBytes(path, original);
    test::TestIniFile ini(path);
    ini.WriteInteger("WINDOW", "width", 640);
    ini.WriteString("Window", "Top", "5");
    ini.WriteString("Other", "y", "2");
    ini.WriteBool("New", "Flag", true);
    EXPECT_EQ(ReadBytes(path),
              "; kept\r\n[Mine]\r\nUnknown=x\r\n\r\n[Window]\r\nHeight=1\r\n; c\r\nwidth=640\r\n"
              "Top=5\r\n\r\n[Other]\r\nz=1\r\ny=2\r\n[New]\r\nFlag=1\r\n");
    // The batch reads what it wrote.
    EXPECT_EQ(ini.ReadInteger("Window", "Width", 0), 640);
}

TEST(IniFile, CreatesTheFileAndFollowsItsLineBreaks) {
    test::TempDir dir;
    test::TestIniFile fresh(dir.file("new.ini"));
    fresh.WriteString("S", "k", "v");
    EXPECT_EQ(ReadBytes(dir.file("new.ini")), "[S]\r\nk=v\r\n");

    WriteBytes(dir.file("lf.ini"), "[S]\na=1\n");
    test::TestIniFile lf(dir.file("lf.ini"));
    lf.WriteString("S", "b", "2");
    lf.WriteString("T", "c", "3");
    EXPECT_EQ(ReadBytes(dir.file("lf.ini")), "[S]\na=1\nb=2\n[T]\nc=3\n");
}

TEST(IniFile, ALoneCarriageReturnEndsALineToo) {
    test::TempDir dir;
    const std::string path = dir.file("a.ini");
    WriteBytes(path, "[Save]\r\nEveryS=0\r");
    test::TestIniFile ini(path);
    ini.WriteBool("Save", "BackUp", true);
    EXPECT_EQ(ReadBytes(path), "[Save]\r\nEveryS=0\rBackUp=1\r\n");
    test::TestIniFile again(path);
    EXPECT_EQ(again.ReadString("Save", "EveryS"), "0");
    EXPECT_EQ(again.ReadString("Save", "BackUp"), "1");

    // Mixed line ends stay as they are; a file of lone CRs gets lone CRs.
    WriteBytes(path, "[A]\rx=1\r\n[B]\ny=2\r");
    test::TestIniFile mixed(path);
    mixed.WriteString("B", "z", "3");
    mixed.WriteString("C", "w", "4");
    EXPECT_EQ(ReadBytes(path), "[A]\rx=1\r\n[B]\ny=2\rz=3\r[C]\rw=4\r");
    test::TestIniFile reread(path);
    EXPECT_EQ(reread.ReadString("A", "x"), "1");
    EXPECT_EQ(reread.ReadString("B", "y"), "2");
    EXPECT_EQ(reread.ReadString("B", "z"), "3");
    EXPECT_EQ(reread.SectionKeys("B"), (std::vector<std::string>{"y", "z"}));
}

TEST(IniFile, ASettingsFileInAFolderTheUserMayNotWriteIsWrittenInPlace) {
    test::TempDir dir;
    const std::string folder = dir.file("program");
    ::mkdir(folder.c_str(), 0755);
    ::chmod(dir.path().c_str(), 0755);
    const std::string path = folder + "/brenvale.ini";
    WriteBytes(path, "[Save]\r\nEveryS=0\r\n");
    ::chmod(path.c_str(), 0666);
    ::chmod(folder.c_str(), 0555);
    std::string result = test::Unprivileged([&]() -> std::string {
        try {
            test::TestIniFile ini(path);
            ini.WriteBool("Save", "BackUp", true);
        } catch (const Error& e) {
            return e.what();
        }
        return {};
    });
    ::chmod(folder.c_str(), 0755);
    EXPECT_EQ(result, "");
    EXPECT_EQ(ReadBytes(path), "[Save]\r\nEveryS=0\r\nBackUp=1\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

TEST(IniFile, ErasingASectionRemovesHeaderAndKeysOnly) {
    test::TempDir dir;
    const std::string path = dir.file("a.ini");
    WriteBytes(path,
               "[A]\r\nx=1\r\n[Recent]\r\n0=a\r\n; c\r\n1=b\r\n[B]\r\ny=2\r\n[recent]\r\n5=c\r\n");
    test::TestIniFile ini(path);
    ini.EraseSection("RECENT");
    EXPECT_EQ(ReadBytes(path), "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
    ini.EraseSection("Nothing");
    EXPECT_EQ(ReadBytes(path), "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
    ini.ReplaceSection("A", {{"01", "b"}, {"00", "a"}});
    EXPECT_EQ(ReadBytes(path), "[B]\r\ny=2\r\n[A]\r\n01=b\r\n00=a\r\n");
    EXPECT_EQ(ini.SectionKeys("a"), (std::vector<std::string>{"01", "00"}));
}

TEST(IniFile, ConvertsIntegersBoolsAndColours) {
    test::TempDir dir;
    const std::string path = dir.file("a.ini");
    WriteBytes(path,
               "[S]\nhex=$1F\nneg=-12\nbig=99999999999\nyes=yes\n"
               "two=2\nzero=0\ncol=clwhite\ncolHex=$00FFF8F8\ncolDec=16775416\nbad=blue-ish\n");
    test::TestIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("S", "hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("S", "neg", 0), -12);
    EXPECT_EQ(ini.ReadInteger("S", "big", 5), 5);
    EXPECT_TRUE(ini.ReadBool("S", "yes", true));
    EXPECT_FALSE(ini.ReadBool("S", "yes", false));
    EXPECT_TRUE(ini.ReadBool("S", "two", false));
    EXPECT_FALSE(ini.ReadBool("S", "zero", true));
    EXPECT_EQ(ini.ReadColour("S", "col", 0), 0xFFFFFFu);
    EXPECT_EQ(ini.ReadColour("S", "colHex", 0), 0xFFF8F8u);
    EXPECT_EQ(ini.ReadColour("S", "colDec", 0), 0xFFF8F8u);
    EXPECT_EQ(ini.ReadColour("S", "bad", 0x123456), 0x123456u);

    ini.WriteBool("S", "b", false);
    ini.WriteInteger("S", "i", -40);
    ini.WriteColour("S", "white", 0xFFFFFF);
    ini.WriteColour("S", "tree", 0xFFF8F8);
    std::string bytes = ReadBytes(path);
    EXPECT_NE(bytes.find("\nb=0\ni=-40\nwhite=clWhite\ntree=$00FFF8F8\n"), std::string::npos);
}

TEST(IniValue, ParsesTheIntegerForms) {
    EXPECT_EQ(ParseIniInteger("0"), 0);
    EXPECT_EQ(ParseIniInteger("+7"), 7);
    EXPECT_EQ(ParseIniInteger("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseIniInteger("2147483648"), std::nullopt);
    EXPECT_EQ(ParseIniInteger("$FFFFFFFF"), -1);
    EXPECT_EQ(ParseIniInteger("$100000000"), std::nullopt);
    EXPECT_EQ(ParseIniInteger("0x10"), 16);
    EXPECT_EQ(ParseIniInteger("0x"), std::nullopt);
    EXPECT_EQ(ParseIniInteger("$"), std::nullopt);
    EXPECT_EQ(ParseIniInteger(""), std::nullopt);
    EXPECT_EQ(ParseIniInteger("-"), std::nullopt);
    EXPECT_EQ(ParseIniInteger("12a"), std::nullopt);
    EXPECT_EQ(ParseIniInteger("1 2"), std::nullopt);
}

TEST(Colour, NamesTheTableColoursAndWritesOthersInHex) {
    ASSERT_EQ(NamedColours().size(), 42u);
    EXPECT_EQ(NamedColours().front().name, "clBlack");
    EXPECT_EQ(FormatColour(0x80000018), "clInfoBk");
    EXPECT_EQ(FormatColour(0x1FFFFFFF), "clNone");
    EXPECT_EQ(FormatColour(0x0000FF), "clRed");
    EXPECT_EQ(FormatColour(0x100000), "$00100000");
    EXPECT_EQ(ParseColour("CLBTNFACE"), 0x8000000Fu);
    EXPECT_EQ(ParseColour("-1"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseColour("clNoSuch"), std::nullopt);
    for (const NamedColour& named : NamedColours()) {
        EXPECT_EQ(ParseColour(FormatColour(named.value)), named.value) << named.name;
    }
}

TEST(IniFile, AFailedWriteRaisesTheSettingsMessage) {
    test::TempDir dir;
    const std::string path = dir.file("missing-folder/a.ini");
    test::TestIniFile ini(path);
    try {
        ini.WriteString("S", "k", "v");
        FAIL() << "the write should fail";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), path + " に書き込めません");
    }
}

// A disk that fills up during the write: the old file stays whole and nothing is left beside
// it, a big file as a small one.
TEST(IniFile, AWriteThatRunsOutOfRoomKeepsTheOldFileWhole) {
    test::TempDir dir;
    const std::string path = dir.file("a.ini");
    std::string big = "[Window]\r\nLeft=1\r\n[History]\r\n";
    for (int i = 0; big.size() < (3 << 20); ++i) {
        big += "Entry" + std::to_string(i) + "=/home/user/notes-" + std::to_string(i) + ".bnv\r\n";
    }
    big += "[Recent]\r\n0=/a.bnv";  // no line break at the end
    for (const std::string& text : {std::string("[Window]\nLeft=1\n"), big}) {
        WriteBytes(path, text);
        try {
            test::FileSizeLimit limit(text.size() / 2);
            IniFile(path).WriteString("Window", "Left", "20");
            FAIL() << "the write should fail";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), path + " に書き込めません");
        }
        EXPECT_EQ(ReadBytes(path), text);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
    }
    // With room, the one value changes and every other byte stays.
    IniFile(path).WriteString("Recent", "1", "/b.bnv");
    IniFile(path).WriteString("Window", "Left", "20");
    std::string expected = big;
    expected.replace(expected.find("Left=1"), 6, "Left=20");
    EXPECT_EQ(ReadBytes(path), expected + "\r\n1=/b.bnv\r\n");
}

TEST(IniFile, APipeOrADeviceGivesTheDefaultsAndIsNeverWritten) {
    ::alarm(20);  // a read that waits for a writer ends the test program
    test::TempDir dir;
    const std::string fifo = dir.file("pipe.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
        test::TestIniFile ini(path);
        EXPECT_EQ(ini.ReadInteger("Save", "AutoSv", 1), 1) << path;
        EXPECT_TRUE(ini.SectionKeys("ToolBar").empty()) << path;
        if (path == fifo) {
            EXPECT_THROW(ini.WriteString("S", "k", "v"), Error);
        }
    }
    struct stat st;
    ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    ::alarm(0);
}

TEST(IniFile, RefusesTextThatWouldBreakTheFile) {
    test::TempDir dir;
    const std::string path = dir.file("a.ini");
    WriteBytes(path, "[S]\r\nk=1\r\n");
    test::TestIniFile ini(path);
    EXPECT_THROW(ini.WriteString("S", "k", "1\r\n[Evil]\r\nx=2"), Error);
    EXPECT_THROW(ini.WriteString("S", "a=b", "1"), Error);
    EXPECT_THROW(ini.WriteString("S]x", "k", "1"), Error);
    EXPECT_THROW(ini.WriteString("S", "", "1"), Error);
    EXPECT_EQ(ReadBytes(path), "[S]\r\nk=1\r\n");
}

}  // namespace
}  // namespace brenvale
