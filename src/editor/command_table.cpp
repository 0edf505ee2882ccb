#include "editor/command_table.h"

#include "document/topic.h"
#include "editor/command_handlers.h"
#include "editor/command_states.h"
#include "editor/document_session.h"
#include "editor/editor_host.h"
#include "editor/editor_parts.h"
#include "editor/merge_commands.h"
#include "editor/selection.h"
#include "editor/undo_history.h"
#include "editor/visible_list.h"

namespace brenvale {

namespace {

using C = CommandId;

constexpr std::string_view kFile = "ファイル";
constexpr std::string_view kTree = "ツリー操作";
constexpr std::string_view kList = "チェックリスト操作";
constexpr std::string_view kOption = "オプション";
constexpr std::string_view kHelp = "ヘルプ";
constexpr std::string_view kEdit = "編集";
constexpr std::string_view kFind = "検索";
constexpr std::string_view kSchedule = "予定";

// A handler called with the bundle of parts it takes (command_parts.h), sliced out of the
// editor's parts.
template <auto Handler>
void Run(EditorParts& p) {
    Handler(p);
}

// When the commands are enabled.
bool Modified(const EditorParts& p) {
    return p.session.isModified();
}
bool HasTopics(const EditorParts& p) {
    return !p.doc().empty();
}
bool TopicSelected(const EditorParts& p) {
    return p.selection.topic() != nullptr;
}
bool TopicHasParent(const EditorParts& p) {
    Topic* t = p.selection.topic();
    return t && t->parent();
}
bool TopicHasSibling(const EditorParts& p) {
    Topic* t = p.selection.topic();
    return t && (t->previousSibling() || t->nextSibling());
}
bool TopicHasPrevious(const EditorParts& p) {
    Topic* t = p.selection.topic();
    return t && t->previousSibling();
}
bool TopicHasNext(const EditorParts& p) {
    Topic* t = p.selection.topic();
    return t && t->nextSibling();
}
bool ClipboardHasText(const EditorParts& p) {
    return p.commands.clipboardHasText();
}
bool ItemSelected(const EditorParts& p) {
    return p.list.hasSelectedItem();
}
bool TextTyped(const EditorParts& p) {
    return !p.selection.text(EditBox::List).empty();
}
bool ItemSelectedAndTextTyped(const EditorParts& p) {
    return ItemSelected(p) && TextTyped(p);
}
bool ItemSelectedAndNoBoxItems(const EditorParts& p) {
    return ItemSelected(p) && p.settings.noBoxItems;
}
bool RowAboveSelected(const EditorParts& p) {
    return p.list.selectedRow() > 0;
}
bool RowBelowSelected(const EditorParts& p) {
    return ItemSelected(p) && static_cast<size_t>(p.list.selectedRow()) + 1 < p.list.rowCount();
}
bool SeparatorItems(const EditorParts& p) {
    return p.settings.separatorItems;
}
bool CanUndo(const EditorParts& p) {
    return p.history.canUndo();
}
bool CanRedo(const EditorParts& p) {
    return p.history.canRedo();
}
bool TopicWithItemsSelected(const EditorParts& p) {
    Topic* t = p.selection.topic();
    return t && !t->items.empty();
}
bool HidingChecked(const EditorParts& p) {
    return p.settings.hideCheckedItems;
}
bool ShowingProgress(const EditorParts& p) {
    return p.settings.showProgress;
}
bool ItemWithTagsSelected(const EditorParts& p) {
    return SelectedItemHasTags(p);
}

constexpr std::array<CommandInfo, kCommandCount> kTable = {{
    {C::Exit, "PGMExit", 1, kFile, "終了", "終了|アプリケーションを終了します", 0, "Alt+F4",
     Run<ExitExecute>, nullptr},
    {C::NewOpen, "NewOpen", 2, kFile, "新規作成(&N)", "新規作成|新しくファイルを作成します", 7,
     "Ctrl+N", Run<NewOpenExecute>, nullptr},
    {C::Open, "Open", 3, kFile, "開く(&O)...", "開く...|ファイルを開きます", 10, "Ctrl+O",
     Run<OpenExecute>, nullptr},
    {C::Save, "Save", 4, kFile, "上書き保存", "上書き保存|現在編集中のファイルを上書き保存します",
     8, "Ctrl+S", Run<SaveExecute>, Modified},
    {C::SaveName, "SaveName", 5, kFile, "名前を付けて保存...",
     "名前を付けて保存...|現在編集中のファイルに名前を付けて保存します", 9, "Ctrl+Alt+S",
     Run<SaveNameExecute>, nullptr},
    {C::SaveText, "SaveText", 6, kFile, "テキスト形式で保存...",
     "テキスト形式で保存...|現在編集中のファイルをテキスト形式で出力します", 37, "Ctrl+T",
     Run<SaveTextExecute>, HasTopics},
    {C::ChgIcon, "ChgIcon", 7, kTree, "アイコン変更...",
     "アイコン変更...|選択されているツリーのアイコンを変更します", 36, "Ctrl+I",
     Run<ChgIconExecute>, TopicSelected},
    {C::AddTree, "AddTree", 8, kTree, "同じ階層に追加",
     "同じ階層に追加|選択されているツリーと同じ階層にツリーを追加します", 4, "Ctrl+Ins",
     Run<AddTreeExecute>, nullptr},
    {C::AddTreeChild, "AddTreeChild", 9, kTree, "下の階層に追加",
     "下の階層に追加|選択されているツリーの下の階層にツリーを追加します", 5, "Shift+Ctrl+Ins",
     Run<AddTreeChildExecute>, TopicSelected},
    {C::TreeRight, "TreeRight", 10, kTree, "ツリーの階層を下げる",
     "ツリーの階層を下げる|選択されているツリーの階層を下げます", 21, "Shift+Ctrl+Right",
     Run<TreeRightExecute>, TopicHasSibling},
    {C::TreeLeft, "TreeLeft", 11, kTree, "ツリーの階層を上げる",
     "ツリーの階層を上げる|選択されているツリーの階層を上げます", 22, "Shift+Ctrl+Left",
     Run<TreeLeftExecute>, TopicHasParent},
    {C::TreeUp, "TreeUp", 12, kTree, "ツリーを上に移動",
     "ツリーを上に移動|選択されているツリーを同じ階層のツリーの上に移動します", 31, "Shift+Ctrl+Up",
     Run<TreeUpExecute>, TopicHasPrevious},
    {C::TreeDown, "TreeDown", 13, kTree, "ツリーを下に移動",
     "ツリーを下に移動|選択されているツリーを同じ階層のツリーの下に移動します", 32,
     "Shift+Ctrl+Down", Run<TreeDownExecute>, TopicHasNext},
    {C::DelTree, "DelTree", 14, kTree, "ツリー削除",
     "ツリー削除|選択されているツリーとその下の階層のツリーすべてを削除します", 6, "",
     Run<DelTreeExecute>, TopicSelected, nullptr, true},
    {C::TreeCut, "TreeCut", 15, kTree, "ツリー切り取り",
     "ツリー切り取り|選択されているツリーとその下の階層のツリーすべてを切り取りクリップボードに"
     "コピーします",
     11, "", Run<TreeCutExecute>, TopicSelected},
    {C::TreeCopy, "TreeCopy", 16, kTree, "ツリーコピー",
     "ツリーコピー|選択されているツリーとその下の階層のツリーすべてをクリップボードにコピーします",
     12, "", Run<TreeCopyExecute>, TopicSelected},
    {C::TreePaste, "TreePaste", 17, kTree, "ツリー貼りつけ",
     "ツリー貼りつけ|クリップボードからツリーを貼りつけます", 13, "", Run<TreePasteExecute>,
     ClipboardHasText, nullptr, true},
    {C::ListAdd, "ListAdd", 18, kList, "チェックリスト追加",
     "チェックリスト追加|入力されている値をチェックリストに追加(挿入)します", 14, "",
     Run<ListAddExecute>, TextTyped},
    {C::ListDel, "ListDel", 19, kList, "チェックリスト削除",
     "チェックリスト削除|選択されているチェックリストの項目を削除します", 15, "",
     Run<ListDelExecute>, ItemSelected},
    {C::ListMoveUp, "ListMoveUp", 20, kList, "チェックリスト上移動",
     "チェックリスト上移動|選択されているチェックリストを上に移動します", 33, "Shift+Up",
     Run<ListMoveUpExecute>, RowAboveSelected},
    {C::ListMoveDown, "ListMoveDown", 21, kList, "チェックリスト下移動",
     "チェックリスト下移動|選択されているチェックリストを下に移動します", 34, "Shift+Down",
     Run<ListMoveDownExecute>, RowBelowSelected},
    {C::ListReEdit, "ListUp", 22, kList, "チェックリスト再編集",
     "チェックリスト再編集|選択されているチェックリストの項目を編集枠にセットします", 19,
     "Shift+BkSp", Run<ListReEditExecute>, ItemSelected},
    {C::ListReplace, "ListDown", 23, kList, "チェックリスト置換え",
     "チェックリスト置換え|選択されているチェックリストの項目と編集枠の値と置換えます", 20,
     "Shift+Enter", Run<ListReplaceExecute>, ItemSelectedAndTextTyped},
    {C::ListAddLine, "ListAddLine", 24, kList, "区切り追加",
     "区切り追加|チェックリストに区切り線を追加(挿入)します", 40, "", Run<ListAddLineExecute>,
     SeparatorItems},
    {C::ListChkBox, "ListChkBox", 25, kList, "チェックボックス表示/非表示",
     "チェックボックス表示/"
     "非表示|選択されたチェックリストのチェックボックスの表示/非表示を切り替えます",
     41, "", Run<ListChkBoxExecute>, ItemSelectedAndNoBoxItems},
    {C::ListCut, "ListCut", 26, kList, "チェックリスト切り取り",
     "チェックリスト切り取り|選択されているチェックリストの項目を切り取りクリップボードにコピー"
     "します",
     16, "", Run<ListCutExecute>, ItemSelected},
    {C::ListCopy, "ListCopy", 27, kList, "チェックリストコピー",
     "チェックリストコピー|選択されているチェックリストの項目をクリップボードにコピーします", 17,
     "", Run<ListCopyExecute>, ItemSelected},
    {C::ListPaste, "ListPaste", 28, kList, "チェックリスト貼り付け",
     "チェックリスト貼り付け|チェックリストの項目をクリップボードから貼りつけます", 18, "",
     Run<ListPasteExecute>, ClipboardHasText, nullptr, true},
    {C::Options, "OptSet", 29, kOption, "オプション設定...",
     "オプション設定...|アプリケーションのオプション(環境)設定ダイアログを表示します", 26, "Ctrl+P",
     Run<OptionsExecute>, nullptr},
    {C::KeySet, "KeySet", 30, kOption, "ショートカットキー設定...",
     "ショートカットキー設定...|アプリケーションのショートカットキー設定ダイアログを表示します", 35,
     "Ctrl+K", Run<KeySetExecute>, nullptr},
    {C::ToolBtnSet, "ToolBtnSet", 31, kOption, "ツールバー設定...",
     "ツールバー設定...|アプリケーションのツールバー設定ダイアログを表示します", 38, "Ctrl+B",
     Run<ToolBtnSetExecute>, nullptr},
    {C::HelpContents, "HelpContents", 32, kHelp, "目次(&C)", "ヘルプ(目次)の表示", 2, "F1",
     Run<HelpContentsExecute>, nullptr},
    {C::HelpTopic, "HelpTopic", 33, kHelp, "トピックの検索(&N)", "ヘルプトピックの検索", 3, "",
     Run<HelpTopicExecute>, nullptr},
    {C::About, "About", 34, kHelp, "バージョン情報(&V)...",
     "バージョン情報...|アプリケーションのバージョン情報ダイアログを表示します", 1, "",
     Run<AboutExecute>, nullptr},
    {C::Undo, "Undo", 35, kEdit, "元に戻す(&U)", "元に戻す|直前の操作を元に戻します", 42, "Ctrl+Z",
     Run<UndoExecute>, CanUndo, nullptr, true},
    {C::Redo, "Redo", 36, kEdit, "やり直し(&R)", "やり直し|元に戻した操作をやり直します", 43,
     "Ctrl+Y", Run<RedoExecute>, CanRedo, nullptr, true},
    {C::Find, "Find", 37, kFind, "検索(&F)...",
     "検索...|ツリーの名前とチェックリストの項目から文字列を検索します", 44, "Ctrl+F",
     Run<FindExecute>, nullptr},
    {C::FindNext, "FindNext", 38, kFind, "次を検索", "次を検索|次に見つかった箇所へ移動します", 45,
     "F3", Run<FindNextExecute>, nullptr},
    {C::FindPrevious, "FindPrevious", 39, kFind, "前を検索",
     "前を検索|前に見つかった箇所へ移動します", 46, "Shift+F3", Run<FindPreviousExecute>, nullptr},
    {C::HideChecked, "HideChecked", 40, kOption, "チェック済みを隠す",
     "チェック済みを隠す|チェック済みの項目をチェックリストに表示しないようにします", 47, "",
     Run<HideCheckedExecute>, nullptr, HidingChecked},
    {C::ShowProgress, "ShowProgress", 41, kOption, "進捗を表示",
     "進捗を表示|ツリーの名前の後にチェック済みの数と項目数を表示します", 48, "",
     Run<ShowProgressExecute>, nullptr, ShowingProgress},
    {C::UncheckAll, "UncheckAll", 42, kList, "すべてのチェックを外す",
     "すべてのチェックを外す|選択されているツリーのチェックリストの項目のチェックをすべて外します",
     49, "", Run<UncheckAllExecute>, TopicWithItemsSelected},
    {C::Import, "Import", 43, kFile, "インポート...",
     "インポート...|Markdown、OPML、テキストのファイルを読み込み、ツリーの最後に追加します", 50, "",
     Run<ImportExecute>, nullptr},
    {C::Export, "Export", 44, kFile, "エクスポート...",
     "エクスポート...|現在編集中のファイルを Markdown、OPML、テキストで書き出します", 51, "",
     Run<ExportExecute>, HasTopics},
    {C::Print, "Print", 45, kFile, "印刷...", "印刷...|印刷プレビューを表示して印刷します", 52, "",
     Run<PrintExecute>, HasTopics},
    {C::ExportPdf, "ExportPdf", 46, kFile, "PDF に書き出し...",
     "PDF に書き出し...|現在編集中のファイルを PDF に書き出します", 53, "", Run<ExportPdfExecute>,
     HasTopics},
    {C::ListEditInPlace, "ListEditInPlace", 47, kList, "編集(&E)",
     "編集|選択されているチェックリストの項目をその行で直接編集します", 54, "",
     Run<ListEditInPlaceExecute>, ItemSelected},
    {C::ShowConflicts, "ShowConflicts", 48, kFind, "競合の一覧(&K)",
     "競合の一覧|統合で残った競合（「 #競合」の付いた名前と項目）を検索して一覧にします", 55, "",
     Run<ShowConflictsExecute>, HasTopics},
    {C::Agenda, "Agenda", 49, kSchedule, "予定(&A)...",
     "予定...|期限のある未チェックの項目を、期限切れ・今日・明日・今週・それ以降に分けて表示します",
     56, "Ctrl+D", Run<AgendaExecute>, nullptr},
    {C::SortByDue, "SortByDue", 50, kList, "期限順に並べ替え(&D)",
     "期限順に並べ替え|選択されているツリーのチェックリストを期限の順に並べ替えます("
     "期限のない項目は"
     "その後に元の順で並びます)",
     57, "", Run<SortByDueExecute>, TopicWithItemsSelected},
    {C::TagAdd, "TagAdd", 51, kList, "タグを追加(&T)...",
     "タグを追加...|選択されているチェックリストの項目にタグを付けます", 58, "", Run<TagAddExecute>,
     ItemSelected},
    {C::TagRemove, "TagRemove", 52, kList, "タグを外す(&X)...",
     "タグを外す...|選択されているチェックリストの項目からタグを外します", 59, "",
     Run<TagRemoveExecute>, ItemWithTagsSelected},
    {C::TagRename, "TagRename", 53, kList, "タグ名を変更(&M)...",
     "タグ名を変更...|選択されているチェックリストの項目のタグの名前を変えます", 60, "",
     Run<TagRenameExecute>, ItemWithTagsSelected},
}};

constexpr bool RowsInIdOrder() {
    for (size_t i = 0; i < kTable.size(); ++i) {
        if (static_cast<size_t>(kTable[i].id) != i || kTable[i].tag != static_cast<int>(i) + 1) {
            return false;
        }
    }
    return true;
}
static_assert(RowsInIdOrder(), "rows stand in the order of CommandId, tagged by position");

}  // namespace

const std::array<CommandInfo, kCommandCount>& CommandTable() {
    return kTable;
}

bool MayRun(const CommandInfo& command, EditorParts& parts) {
    if (command.enabled == ClipboardHasText) {
        parts.commands.setClipboardHasText(parts.host.ClipboardHasText());
    }
    return !command.enabled || command.enabled(parts);
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
        bool firstVersion = info.tag <= kFirstVersionCommands;
        entries.push_back({info.name, info.tag, info.category, info.caption, info.image,
                           firstVersion, info.defaultKey});
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
