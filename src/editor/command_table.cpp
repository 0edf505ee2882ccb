#include "editor/command_table.h"

namespace brenvale {

namespace {

using C = CommandId;

constexpr std::string_view kFile = "ファイル";
constexpr std::string_view kTree = "ツリー操作";
constexpr std::string_view kList = "チェックリスト操作";
constexpr std::string_view kOption = "オプション";
constexpr std::string_view kHelp = "ヘルプ";

constexpr std::array<CommandInfo, kCommandCount> kTable = {{
    {C::PGMExit, "PGMExit", 1, kFile, "終了", "終了|アプリケーションを終了します", 0, "Alt+F4"},
    {C::NewOpen, "NewOpen", 2, kFile, "新規作成(&N)", "新規作成|新しくファイルを作成します", 7,
     "Ctrl+N"},
    {C::Open, "Open", 3, kFile, "開く(&O)...", "開く...|ファイルを開きます", 10, "Ctrl+O"},
    {C::Save, "Save", 4, kFile, "上書き保存", "上書き保存|現在編集中のファイルを上書き保存します",
     8, "Ctrl+S"},
    {C::SaveName, "SaveName", 5, kFile, "名前を付けて保存...",
     "名前を付けて保存...|現在編集中のファイルに名前を付けて保存します", 9, "Ctrl+Alt+S"},
    {C::SaveText, "SaveText", 6, kFile, "テキスト形式で保存...",
     "テキスト形式で保存...|現在編集中のファイルをテキスト形式で出力します", 37, "Ctrl+T"},
    {C::ChgIcon, "ChgIcon", 7, kTree, "アイコン変更...",
     "アイコン変更...|選択されているツリーのアイコンを変更します", 36, "Ctrl+I"},
    {C::AddTree, "AddTree", 8, kTree, "同じ階層に追加",
     "同じ階層に追加|選択されているツリーと同じ階層にツリーを追加します", 4, "Ctrl+Ins"},
    {C::AddTreeChild, "AddTreeChild", 9, kTree, "下の階層に追加",
     "下の階層に追加|選択されているツリーの下の階層にツリーを追加します", 5, "Shift+Ctrl+Ins"},
    {C::TreeRight, "TreeRight", 10, kTree, "ツリーの階層を下げる",
     "ツリーの階層を下げる|選択されているツリーの階層を下げます", 21, "Shift+Ctrl+Right"},
    {C::TreeLeft, "TreeLeft", 11, kTree, "ツリーの階層を上げる",
     "ツリーの階層を上げる|選択されているツリーの階層を上げます", 22, "Shift+Ctrl+Left"},
    {C::TreeUp, "TreeUp", 12, kTree, "ツリーを上に移動",
     "ツリーを上に移動|選択されているツリーを同じ階層のツリーの上に移動します", 31,
     "Shift+Ctrl+Up"},
    {C::TreeDown, "TreeDown", 13, kTree, "ツリーを下に移動",
     "ツリーを下に移動|選択されているツリーを同じ階層のツリーの下に移動します", 32,
     "Shift+Ctrl+Down"},
    {C::DelTree, "DelTree", 14, kTree, "ツリー削除",
     "ツリー削除|選択されているツリーとその下の階層のツリーすべてを削除します", 6, ""},
    {C::TreeCut, "TreeCut", 15, kTree, "ツリー切り取り",
     "ツリー切り取り|選択されているツリーとその下の階層のツリーすべてを切り取りクリップボードに"
     "コピーします",
     11, ""},
    {C::TreeCopy, "TreeCopy", 16, kTree, "ツリーコピー",
     "ツリーコピー|選択されているツリーとその下の階層のツリーすべてをクリップボードにコピーします",
     12, ""},
    {C::TreePaste, "TreePaste", 17, kTree, "ツリー貼りつけ",
     "ツリー貼りつけ|クリップボードからツリーを貼りつけます", 13, ""},
    {C::ListAdd, "ListAdd", 18, kList, "チェックリスト追加",
     "チェックリスト追加|入力されている値をチェックリストに追加(挿入)します", 14, ""},
    {C::ListDel, "ListDel", 19, kList, "チェックリスト削除",
     "チェックリスト削除|選択されているチェックリストの項目を削除します", 15, ""},
    {C::ListMoveUp, "ListMoveUp", 20, kList, "チェックリスト上移動",
     "チェックリスト上移動|選択されているチェックリストを上に移動します", 33, "Shift+Up"},
    {C::ListMoveDown, "ListMoveDown", 21, kList, "チェックリスト下移動",
     "チェックリスト下移動|選択されているチェックリストを下に移動します", 34, "Shift+Down"},
    {C::ListUp, "ListUp", 22, kList, "チェックリスト再編集",
     "チェックリスト再編集|選択されているチェックリストの項目を編集枠にセットします", 19,
     "Shift+BkSp"},
    {C::ListDown, "ListDown", 23, kList, "チェックリスト置換え",
     "チェックリスト置換え|選択されているチェックリストの項目と編集枠の値と置換えます", 20,
     "Shift+Enter"},
    {C::ListAddLine, "ListAddLine", 24, kList, "区切り追加",
     "区切り追加|チェックリストに区切り線を追加(挿入)します", 40, ""},
    {C::ListChkBox, "ListChkBox", 25, kList, "チェックボックス表示/非表示",
     "チェックボックス表示/"
     "非表示|選択されたチェックリストのチェックボックスの表示/非表示を切り替えます",
     41, ""},
    {C::ListCut, "ListCut", 26, kList, "チェックリスト切り取り",
     "チェックリスト切り取り|選択されているチェックリストの項目を切り取りクリップボードにコピー"
     "します",
     16, ""},
    {C::ListCopy, "ListCopy", 27, kList, "チェックリストコピー",
     "チェックリストコピー|選択されているチェックリストの項目をクリップボードにコピーします", 17,
     ""},
    {C::ListPaste, "ListPaste", 28, kList, "チェックリスト貼り付け",
     "チェックリスト貼り付け|チェックリストの項目をクリップボードから貼りつけます", 18, ""},
    {C::OptSet, "OptSet", 29, kOption, "オプション設定...",
     "オプション設定...|アプリケーションのオプション(環境)設定ダイアログを表示します", 26,
     "Ctrl+P"},
    {C::KeySet, "KeySet", 30, kOption, "ショートカットキー設定...",
     "ショートカットキー設定...|アプリケーションのショートカットキー設定ダイアログを表示します", 35,
     "Ctrl+K"},
    {C::ToolBtnSet, "ToolBtnSet", 31, kOption, "ツールバー設定...",
     "ツールバー設定...|アプリケーションのツールバー設定ダイアログを表示します", 38, "Ctrl+B"},
    {C::HelpContents, "HelpContents", 32, kHelp, "目次(&C)", "ヘルプ(目次)の表示", 2, "F1"},
    {C::HelpTopic, "HelpTopic", 33, kHelp, "トピックの検索(&N)", "ヘルプトピックの検索", 3, ""},
    {C::About, "About", 34, kHelp, "バージョン情報(&V)...",
     "バージョン情報...|アプリケーションのバージョン情報ダイアログを表示します", 1, ""},
}};

}  // namespace

const std::array<CommandInfo, kCommandCount>& CommandTable() {
    return kTable;
}

const CommandInfo& Command(CommandId id) {
    return kTable[static_cast<size_t>(id)];
}

std::optional<CommandId> FindCommand(std::string_view name) {
    for (const CommandInfo& info : kTable) {
        if (info.name == name) {
            return info.id;
        }
    }
    return std::nullopt;
}

std::vector<std::string_view> CommandNames() {
    std::vector<std::string_view> names;
    names.reserve(kTable.size());
    for (const CommandInfo& info : kTable) {
        names.push_back(info.name);
    }
    return names;
}

std::vector<CommandEntry> CommandEntries() {
    std::vector<CommandEntry> entries;
    entries.reserve(kTable.size());
    for (const CommandInfo& info : kTable) {
        entries.push_back({info.name, info.tag, info.category, info.caption, info.image});
    }
    return entries;
}

std::string StepName(CommandId id) {
    std::string name(Command(id).caption);
    if (size_t key = name.find("(&"); key != std::string::npos) {
        name.erase(key, name.find(')', key) + 1 - key);
    }
    while (!name.empty() && name.back() == '.') {
        name.pop_back();
    }
    return name;
}

std::string_view ShortHint(std::string_view hint) {
    size_t bar = hint.find('|');
    return bar == std::string_view::npos ? hint : hint.substr(0, bar);
}

std::string_view LongHint(std::string_view hint) {
    size_t bar = hint.find('|');
    return bar == std::string_view::npos ? hint : hint.substr(bar + 1);
}

}  // namespace brenvale
