#include "settings/shortcut_key_list.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "editor/command_table.h"
#include "settings/caption_text.h"
#include "settings/text_order.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::ReadBytes;
using test::WriteBytes;

constexpr size_t kNewOpen = static_cast<size_t>(CommandId::NewOpen);
constexpr size_t kKeySet = static_cast<size_t>(CommandId::KeySet);

std::vector<Shortcut> DefaultKeys(size_t count = kFirstVersionCommands) {
    std::vector<Shortcut> keys;
    for (const CommandInfo& info : CommandTable()) {
        keys.push_back(ParseShortcut(info.defaultKey));
    }
    keys.resize(count);
    return keys;
}

std::vector<CommandEntry> FirstVersionEntries() {
    std::vector<CommandEntry> entries = CommandEntries();
    entries.resize(kFirstVersionCommands);
    return entries;
}

class KeyListTest : public ::testing::Test {
protected:
    // The commands of the first version; the later ones have tests of their own.
    std::vector<CommandEntry> commands_ = FirstVersionEntries();
    ShortcutKeyList list_{commands_, DefaultKeys()};

    size_t row(CommandId id) { return *list_.rowOf(static_cast<size_t>(id)); }
    // Every warning as "row:first words", in the order they come.
    std::vector<std::string> Warnings(bool answer = true) {
        std::vector<std::string> seen;
        list_.ConfirmKeys([&](size_t r, const std::string& message) {
            seen.push_back(std::to_string(r) + ":" + message.substr(0, message.find('\n')));
            return answer;
        });
        return seen;
    }
};

TEST(TextOrder, IgnoresCaseFirstThenPutsLowerCaseFirst) {
    EXPECT_LT(CompareLocaleText("a", "A"), 0);
    EXPECT_LT(CompareLocaleText("A", "b"), 0);
    EXPECT_LT(CompareLocaleText("Ctrl+N", "ctrl+O"), 0);  // byte order says otherwise
    EXPECT_EQ(CompareLocaleText("Ctrl+N", "Ctrl+N"), 0);
    EXPECT_LT(CompareLocaleText("Ctrl", "Ctrl+N"), 0);
    EXPECT_LT(CompareLocaleText("あいう", "アイウ"), 0);
    EXPECT_LT(CompareLocaleText("アイウ", "あいえ"), 0);
    // Signs and digits before letters, letters before Japanese.
    EXPECT_LT(CompareLocaleText("(なし)", "0"), 0);
    EXPECT_LT(CompareLocaleText("9", "Alt+F4"), 0);
    EXPECT_LT(CompareLocaleText("(34) バージョン情報(&V)...", "区切り"), 0);
}

TEST_F(KeyListTest, ComposesFromTheKeyListAndTheBoxes) {
    const size_t a = 13, f5 = 5, enter = 58;
    EXPECT_EQ(ShortcutKeyList::ComposeKey(a, false, false, false), "(なし)");
    EXPECT_EQ(ShortcutKeyList::ComposeKey(a, false, true, false), "Ctrl+A");
    EXPECT_EQ(ShortcutKeyList::ComposeKey(f5, false, false, false), "F5");
    EXPECT_EQ(ShortcutKeyList::ComposeKey(enter, true, true, true), "Shift+Ctrl+Alt+Enter");
    EXPECT_EQ(ShortcutKeyList::ComposeKey(0, true, true, false), "(なし)");
    EXPECT_EQ(ShortcutKeyList::ComposeKey(std::nullopt, false, true, false), "(なし)");
    EXPECT_EQ(ShortcutKeyList::ComposeKey(59, false, true, false), "(なし)");
}

TEST_F(KeyListTest, ARowShowsItsKeyInTheControls) {
    auto c = list_.ControlsFor(row(CommandId::AddTreeChild));
    EXPECT_EQ(c.keyEntry, std::optional<size_t>(51));  // "Ins"
    EXPECT_TRUE(c.shift && c.ctrl && !c.alt);
    c = list_.ControlsFor(row(CommandId::DelTree));
    EXPECT_EQ(c.keyEntry, std::optional<size_t>(0));
    EXPECT_FALSE(c.shift || c.ctrl || c.alt);
    // A key the list does not offer leaves the list's entry as it is.
    list_.setKeyText(0, "Ctrl+PgUp");
    c = list_.ControlsFor(0);
    EXPECT_EQ(c.keyEntry, std::nullopt);
    EXPECT_TRUE(c.ctrl);
    list_.setKeyText(0, "alt+f4");
    EXPECT_EQ(list_.ControlsFor(0).keyEntry, std::optional<size_t>(4));
}

TEST_F(KeyListTest, SortsByTheClickedColumnAndTurnsTheOrderRound) {
    list_.setKeyText(row(CommandId::DelTree), "ctrl+H");
    list_.setKeyText(row(CommandId::TreeCut), "Ctrl+G");
    list_.setKeyText(row(CommandId::TreeCopy), "ctrl+g");
    list_.ClickColumn(ShortcutKeyList::kKey);
    EXPECT_EQ(list_.sortState(), 3);
    std::vector<std::string> keys;
    for (size_t r = 0; r < list_.size(); ++r) {
        keys.push_back(list_.keyText(r));
    }
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end(),
                               [](auto& a, auto& b) { return CompareLocaleText(a, b) < 0; }));
    auto at = [&](std::string_view key) {
        return std::find(keys.begin(), keys.end(), key) - keys.begin();
    };
    // Case counts only between texts that are otherwise equal.
    EXPECT_EQ(at("ctrl+g") + 1, at("Ctrl+G"));
    EXPECT_EQ(at("Ctrl+G") + 1, at("ctrl+H"));
    EXPECT_EQ(keys.front(), "(なし)");

    list_.ClickColumn(ShortcutKeyList::kKey);
    EXPECT_EQ(list_.sortState(), -3);
    EXPECT_EQ(list_.keyText(0), "Shift+Up");
    EXPECT_EQ(list_.keyText(33), "(なし)");
    list_.ClickColumn(ShortcutKeyList::kCategory);
    EXPECT_EQ(list_.sortState(), 4);
    EXPECT_EQ(list_.text(0, ShortcutKeyList::kCategory), "オプション");
    list_.ClickColumn(ShortcutKeyList::kNumber);
    list_.ClickColumn(ShortcutKeyList::kNumber);
    EXPECT_EQ(list_.sortState(), -1);
    EXPECT_EQ(list_.text(0, ShortcutKeyList::kNumber), "33");
}

TEST(PlainCaptionTest, DropsAccessKeysAndKeepsTheRest) {
    EXPECT_EQ(PlainCaption("開く(&O)..."), "開く...");
    EXPECT_EQ(PlainCaption("新規作成(&N)"), "新規作成");
    EXPECT_EQ(PlainCaption("&File"), "File");
    EXPECT_EQ(PlainCaption("Save && Quit"), "Save & Quit");
    EXPECT_EQ(PlainCaption("上書き保存"), "上書き保存");
    EXPECT_EQ(PlainCaption("(&)"), "()");
    EXPECT_EQ(PlainCaption("a(&&)"), "a(&)");
    EXPECT_EQ(PlainCaption("end&"), "end");
    EXPECT_EQ(PlainCaption(""), "");
}

TEST_F(KeyListTest, TheCommandColumnShowsCaptionsWithoutAccessKeys) {
    EXPECT_EQ(list_.text(row(CommandId::Open), ShortcutKeyList::kCaption), "開く...");
    EXPECT_EQ(list_.text(row(CommandId::About), ShortcutKeyList::kCaption), "バージョン情報...");
    // Files store commands by name, whatever the list shows.
    EXPECT_EQ(list_.FileLines()[row(CommandId::Open)].name, "Open");
}

TEST_F(KeyListTest, WarnsAtTheLaterOfTwoEqualKeysInDisplayOrder) {
    EXPECT_TRUE(Warnings().empty());
    list_.setKeyText(row(CommandId::NewOpen), "Ctrl+K");
    EXPECT_EQ(Warnings(),
              (std::vector<std::string>{"29:ショートカットキー（Ctrl+K）が重複しています。"}));
    // Sorted the other way round the warning comes at the other row; case does not count.
    list_.setKeyText(row(CommandId::KeySet), "ctrl+k");
    list_.ClickColumn(ShortcutKeyList::kNumber);
    list_.ClickColumn(ShortcutKeyList::kNumber);
    EXPECT_EQ(Warnings(),
              (std::vector<std::string>{std::to_string(row(CommandId::NewOpen)) +
                                        ":ショートカットキー（Ctrl+K）が重複しています。"}));
    EXPECT_GT(row(CommandId::NewOpen), row(CommandId::KeySet));
}

TEST_F(KeyListTest, WarnsAboutReservedKeysAfterTheDuplicateAndStopsAtCancel) {
    list_.setKeyText(row(CommandId::TreeCopy), "Ctrl+C");
    list_.setKeyText(row(CommandId::ListCopy), "Ctrl+C");
    list_.setKeyText(row(CommandId::About), "ctrl+c");  // reserved only as written
    const std::string reserved =
        "ショートカットキー（Ctrl+C）はプログラムによって予約/使用されています。";
    EXPECT_EQ(Warnings(),
              (std::vector<std::string>{
                  "15:" + reserved, "26:ショートカットキー（Ctrl+C）が重複しています。",
                  "26:" + reserved, "33:ショートカットキー（ctrl+c）が重複しています。"}));
    std::vector<std::string> cancelled = Warnings(false);
    EXPECT_EQ(cancelled, (std::vector<std::string>{"15:" + reserved}));
    EXPECT_FALSE(list_.ConfirmKeys([](size_t, const std::string&) { return false; }));
}

TEST_F(KeyListTest, OkAfterSortingByKeyGivesEveryCommandItsOwnKey) {
    list_.setKeyText(row(CommandId::DelTree), "F9");
    list_.setKeyText(row(CommandId::Exit), "(なし)");
    list_.setKeyText(row(CommandId::About), "Hyper+Q");
    list_.ClickColumn(ShortcutKeyList::kKey);
    list_.ClickColumn(ShortcutKeyList::kKey);
    std::vector<Shortcut> keys = list_.SortedShortcuts();
    EXPECT_EQ(list_.sortState(), 1);
    std::vector<Shortcut> expected = DefaultKeys();
    expected[static_cast<size_t>(CommandId::DelTree)] = ParseShortcut("F9");
    expected[static_cast<size_t>(CommandId::Exit)] = {};
    EXPECT_EQ(keys, expected);
    for (size_t r = 0; r < list_.size(); ++r) {
        EXPECT_EQ(list_.commandAt(r), r);
    }
}

TEST_F(KeyListTest, ExportAndImportRoundTripInDisplayOrder) {
    test::TempDir dir;
    const std::string path = dir.file("mine.key");
    WriteBytes(path, "[Other]\r\nx=1\r\n");
    list_.setKeyText(row(CommandId::DelTree), "Shift+Alt+Del");
    list_.ClickColumn(ShortcutKeyList::kCategory);
    list_.Export(path);
    std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.rfind("[Other]\r\nx=1\r\n[ShortCutKey]\r\nOptSet=Ctrl+P\r\n", 0), 0u);

    ShortcutKeyList fresh(commands_, DefaultKeys());
    fresh.ClickColumn(ShortcutKeyList::kKey);
    EXPECT_EQ(fresh.Import(path), std::nullopt);
    for (size_t r = 0; r < fresh.size(); ++r) {
        EXPECT_EQ(fresh.keyText(r), list_.keyText(*list_.rowOf(fresh.commandAt(r))));
    }
}

TEST_F(KeyListTest, ImportShowsNoneForACommandTheFileLacks) {
    test::TempDir dir;
    const std::string path = dir.file("part.key");
    WriteBytes(path, "[ShortCutKey]\r\nNewOpen=ctrl+k\r\nKeySet=\r\n");
    EXPECT_EQ(list_.Import(path), std::nullopt);
    EXPECT_EQ(list_.keyText(row(CommandId::NewOpen)), "ctrl+k");
    EXPECT_EQ(list_.keyText(row(CommandId::KeySet)), "(なし)");
    EXPECT_EQ(list_.keyText(row(CommandId::Exit)), "(なし)");

    const std::string missing = dir.file("none.key");
    list_.setKeyText(0, "F3");
    EXPECT_EQ(list_.Import(missing), "ファイル " + missing + "が見つかりません。");
    EXPECT_EQ(list_.keyText(0), "F3");
}

}  // namespace
}  // namespace brenvale
