#include "settings/shortcut.h"

#include <gtest/gtest.h>

#include <array>

#include "settings/ini_file.h"
#include "settings/shortcut_file.h"
#include "settings/toolbar_layout.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::ReadBytes;
using test::Sjis;
using test::WriteBytes;

Shortcut Key(std::string key, bool shift = false, bool ctrl = false, bool alt = false) {
    return {std::move(key), shift, ctrl, alt};
}

TEST(Shortcut, ParsesPrefixesInAnyOrderAndCase) {
    EXPECT_EQ(ParseShortcut("Alt+F4"), Key("F4", false, false, true));
    EXPECT_EQ(ParseShortcut("ctrl+alt+s"), Key("S", false, true, true));
    EXPECT_EQ(ParseShortcut("ALT+Ctrl+SHIFT+ins"), Key("Ins", true, true, true));
    EXPECT_EQ(ParseShortcut("Shift+bksp"), Key("BkSp", true));
    EXPECT_EQ(ParseShortcut("F1"), Key("F1"));
    EXPECT_EQ(ParseShortcut("Ctrl+pgdn"), Key("PgDn", false, true));
    EXPECT_EQ(ParseShortcut("space"), Key("Space"));
    EXPECT_EQ(ParseShortcut("Ctrl+0"), Key("0", false, true));
}

TEST(Shortcut, AnythingElseIsNoShortcut) {
    for (std::string_view text : {"", "(なし)", "(\x82\xC8\x82\xB5)", "Ctrl+", "Ctrl+F13", "Meta+A",
                                  "Ctrl+AB", "Ctrl A", "Shift+Ctrl+Alt+", "F 1"}) {
        EXPECT_TRUE(ParseShortcut(text).empty()) << text;
    }
}

TEST(Shortcut, FormatsInTheFixedPrefixOrderAndRoundTripsEveryKey) {
    EXPECT_EQ(FormatShortcut(Key("Ins", true, true)), "Shift+Ctrl+Ins");
    EXPECT_EQ(FormatShortcut(Key("S", false, true, true)), "Ctrl+Alt+S");
    EXPECT_EQ(FormatShortcut(ParseShortcut("alt+shift+enter")), "Shift+Alt+Enter");
    EXPECT_EQ(FormatShortcut({}), "(なし)");
    ASSERT_EQ(ShortcutDialogKeys().size(), 59u);
    EXPECT_EQ(ShortcutDialogKeys()[0], kNoShortcutText);
    EXPECT_EQ(ShortcutDialogKeys()[12], "F12");
    EXPECT_EQ(ShortcutDialogKeys()[58], "Enter");
    for (std::string_view key : ShortcutDialogKeys().subspan(1)) {
        Shortcut s = Key(std::string(key), true, false, true);
        EXPECT_EQ(ParseShortcut(FormatShortcut(s)), s) << key;
    }
    for (std::string_view reserved : ReservedShortcutTexts()) {
        EXPECT_EQ(FormatShortcut(ParseShortcut(reserved)), reserved);
    }
}

constexpr std::array<std::string_view, 4> kNames = {"PGMExit", "NewOpen", "Open", "Save"};

TEST(ShortcutFile, WritesOneLinePerCommandAndKeepsOtherSections) {
    test::TempDir dir;
    const std::string path = dir.file("brenvale.key");
    WriteBytes(path, "[ShortCutKey]\r\nOld=F9\r\n[Mine]\r\nx=1\r\n");
    std::vector<ShortcutFileLine> lines = {
        {"Save", "Ctrl+S"}, {"PGMExit", "Alt+F4"}, {"Open", std::string(kNoShortcutText)}};
    WriteShortcutFile(path, lines);
    EXPECT_EQ(ReadBytes(path),
              "[Mine]\r\nx=1\r\n[ShortCutKey]\r\nSave=Ctrl+S\r\nPGMExit=Alt+F4\r\n"
              "Open=(\x82\xC8\x82\xB5)\r\n");
}

TEST(ShortcutFile, StartUpKeepsDefaultsForMissingAndEmptyValues) {
    test::TempDir dir;
    const std::string path = dir.file("brenvale.key");
    EXPECT_EQ(ReadShortcutFile(path, kNames),
              (std::vector<std::optional<Shortcut>>(4, std::nullopt)));

    WriteBytes(path,
               "[shortcutkey]\r\npgmexit=(\x82\xC8\x82\xB5)\r\nNewOpen=\r\n"
               "Open=(なし)\r\nSave = ctrl+shift+s \r\n");
    std::vector<std::optional<Shortcut>> read = ReadShortcutFile(path, kNames);
    EXPECT_EQ(read[0], Shortcut{});
    EXPECT_EQ(read[1], std::nullopt);
    EXPECT_EQ(read[2], Shortcut{});
    EXPECT_EQ(read[3], Key("S", true, true));

    WriteBytes(path, "[ShortCutKey]\r\nPGMExit=Hyper+Q\r\n");
    EXPECT_EQ(ReadShortcutFile(path, kNames)[0], Shortcut{});
}

TEST(ShortcutFile, ImportShowsNoneWhereTheFileHasNoValue) {
    test::TempDir dir;
    const std::string path = dir.file("my.key");
    WriteBytes(path, "[ShortCutKey]\r\nPGMExit=Alt+F4\r\nOpen=(\x82\xC8\x82\xB5)\r\n");
    EXPECT_EQ(ReadShortcutTexts(path, kNames),
              (std::vector<std::string>{"Alt+F4", "(なし)", "(なし)", "(なし)"}));
}

TEST(ToolbarLayout, ReadsValuesInFileOrderAndResolvesThem) {
    test::TempDir dir;
    const std::string path = dir.file("brenvale.ini");
    EXPECT_TRUE(ReadToolbarValues(path).empty());
    WriteBytes(path,
               "[ToolBar]\r\n02=Save\r\n00=Open\r\n01=-\r\n03=Bogus\r\n04=open\r\n"
               "05=PGMExit\r\n06=Open\r\n07=-\r\n");
    std::vector<std::string> values = ReadToolbarValues(path);
    EXPECT_EQ(values, (std::vector<std::string>{"Save", "Open", "-", "Bogus", "open", "PGMExit",
                                                "Open", "-"}));
    // Unknown names go; "Open" named twice lands at its later place.
    EXPECT_EQ(ResolveToolbar(values, kNames),
              (std::vector<int>{3, kToolbarSeparator, 0, 2, kToolbarSeparator}));
}

TEST(ToolbarLayout, WritesTwoDigitKeysAndErasesWhenEmpty) {
    test::TempDir dir;
    const std::string path = dir.file("brenvale.ini");
    WriteBytes(path, "[ToolBar]\r\n00=Stale\r\n99=Stale\r\n[Window]\r\nState=1\r\n");
    std::vector<std::string> values(11, "-");
    values[0] = "Open";
    WriteToolbarValues(path, values);
    std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.find("Stale"), std::string::npos);
    EXPECT_NE(bytes.find("[Window]\r\nState=1\r\n[ToolBar]\r\n00=Open\r\n01=-\r\n"),
              std::string::npos);
    EXPECT_NE(bytes.find("\r\n09=-\r\n10=-\r\n"), std::string::npos);
    EXPECT_EQ(ReadToolbarValues(path), values);

    WriteToolbarValues(path, {});
    EXPECT_EQ(ReadBytes(path), "[Window]\r\nState=1\r\n");
}

}  // namespace
}  // namespace brenvale
