#include "editor/command_table.h"

#include <gtest/gtest.h>

#include <set>

#include "editor/icon_menu.h"

namespace brenvale {
namespace {

TEST(CommandTable, HoldsTheCommandsInTagOrderWithUniqueNames) {
    std::set<std::string_view> names;
    int tag = 1;
    for (const CommandInfo& info : CommandTable()) {
        EXPECT_EQ(info.tag, tag++);
        EXPECT_EQ(static_cast<int>(info.id), info.tag - 1);
        EXPECT_TRUE(names.insert(info.name).second) << info.name;
        EXPECT_GE(info.image, 0);
        EXPECT_LT(info.image, kBuiltInBarImages);
        EXPECT_EQ(FindCommand(info.name), info.id);
    }
    EXPECT_EQ(Command(CommandId::Exit).name, "PGMExit");
    EXPECT_EQ(Command(CommandId::About).name, "About");
    EXPECT_FALSE(FindCommand("pgmexit"));
}

TEST(CommandTable, SplitsHintsIntoTooltipAndStatusText) {
    std::string_view hint = Command(CommandId::Save).hint;
    EXPECT_EQ(ShortHint(hint), "上書き保存");
    EXPECT_EQ(LongHint(hint), "現在編集中のファイルを上書き保存します");
    std::string_view help = Command(CommandId::HelpContents).hint;
    EXPECT_EQ(ShortHint(help), "ヘルプ(目次)の表示");
    EXPECT_EQ(LongHint(help), "ヘルプ(目次)の表示");
    EXPECT_EQ(
        Command(CommandId::ListChkBox).hint,
        "チェックボックス表示/非表示|選択されたチェックリストのチェックボックスの表示/非表示を"
        "切り替えます");
    EXPECT_EQ(Command(CommandId::AddTreeChild).defaultKey, "Shift+Ctrl+Ins");
    EXPECT_EQ(Command(CommandId::DelTree).defaultKey, "");
}

}  // namespace
}  // namespace brenvale
