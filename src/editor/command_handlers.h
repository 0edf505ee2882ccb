#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_identity.h"
#include "document/backup_copy.h"
#include "document/document_reader.h"
#include "document/document_writer.h"
#include "editor/command_parts.h"
#include "editor/command_table.h"
#include "editor/drag_state.h"
#include "editor/editor_host.h"
#include "schedule/calendar_date.h"

namespace brenvale {

struct FormatChoice;
class Topic;

// What the commands do, one function per command of the command table, and the routines
// several of them share. They run whatever the commands' enabled states say (the keys the
// window handles itself call them directly), so each one makes its own tests first.

// ---- The selected Topic (selection_steps.cpp)
// The steps that run when a Topic becomes the selected one: its caption into the tree's edit
// box, its Items into the list. Nothing is loaded while a bulk build holds the tree.
void ShowSelectedTopic(SelectionParts p, Topic* topic);
// Selects topic unless it already is.
void SelectTopic(SelectionParts p, Topic* topic);
// Expands every ancestor of t, so that it shows.
void RevealTopic(SelectionParts p, Topic* t);

// ---- Documents (file_commands.cpp)
void NewOpenExecute(EditorParts& p);
void OpenExecute(EditorParts& p);
void SaveExecute(EditorParts& p);
void SaveNameExecute(EditorParts& p);
void SaveTextExecute(EditorParts& p);
// The overwrite question before a file is replaced: true to go on (also when nothing is there).
bool ConfirmOverwrite(WindowParts p, const std::string& path);
// How a save the user asked for ended. A write that fails throws Error.
enum class SaveResult {
    Saved,
    Cancelled,  // a dialog or question was cancelled: nothing was written
};
// What a save does when the backup the settings ask for cannot be made: ask whether to save
// without one, or (auto-save, nobody to ask in the middle of typing) say so in the hint panel
// and write nothing. A file another program wrote while the save ran is asked about as one
// found before it; with Hint it throws FileChangedError for the auto-save to write its copy.
enum class BackupFailure { Ask, Hint };
SaveResult SaveDocument(EditorParts& p, BackupFailure onFailure = BackupFailure::Ask);
void ShowBackupHint(EditorParts& p, const BackupError& e);
SaveResult SaveDocumentAs(EditorParts& p);
// The save question before unsaved changes would be lost: true to go on.
bool AskSaveChanges(EditorParts& p);
// Opens a file after the save question; a file that cannot be read leaves everything as it
// was (the error is thrown for the window to report).
void OpenDocument(EditorParts& p, const std::string& path);
// The first file is opened here and every further one in another instance.
void OpenFirstLaunchOthers(EditorParts& p, const std::vector<std::string>& paths);
void StartDocuments(EditorParts& p, const std::vector<std::string>& files);
void FileRecentClick(EditorParts& p, size_t index);
void FileRecentDelClick(EditorParts& p);
// Shows a document just read (or restored) in place of the open one, under path (nullptr:
// untitled). When memory runs out before it is in place, the open one stays; after that, an
// empty, untitled document takes its place. Either way the failure is thrown.
void ShowReadDocument(EditorParts& p, ReadResult read, const std::string* path);
// An empty, untitled, unmodified document in place of the open one.
void ShowEmptyDocument(EditorParts& p);
// Writes the document to path as Save does, the list then showing the stored texts. Throws
// BackupError when the backup the settings ask for could not be made, FileChangedError when
// the file is no longer the version `replaces` (see DocumentSession::write).
std::optional<FileIdentity> WriteShown(EditorParts& p, const std::string& path, bool backup = true,
                                       WriteTarget target = WriteTarget::AnyFile,
                                       std::optional<FileIdentity> replaces = std::nullopt);

// ---- The document's file as other programs see it (external_changes.cpp)
// Looks at the open document's file on disk: an unmodified document follows a changed file,
// keeping its places (ReloadDocument); a modified one asks once what to do; a file that went
// leaves the document modified. False when the editor is busy (a write, a drag, a dialog of
// the program): the caller looks again later.
bool CheckDocumentFile(EditorParts& p);
// Reads the document's file again in place of the open document, keeping the selected Topic,
// its selected row and the expanded Topics where they are still there. The undo history starts
// afresh. A file that cannot be read throws Error and leaves everything as it was.
void ReloadDocument(EditorParts& p);
// Before a save over the document's own file: when it changed on disk since it was read or
// written here, the user chooses to overwrite it, to merge it into the document first, to save
// under another name, or none of them. With Write, replaces gets the version of the file the
// save may replace (nothing when there is no file to look at).
enum class OverwriteAnswer { Write, Merge, SaveAs, Cancel };
OverwriteAnswer AskBeforeOverwritingChanges(EditorParts& p,
                                            std::optional<FileIdentity>* replaces = nullptr);
// Whether the document's file changed on disk since it was read or written here.
bool DocumentFileChanged(EditorParts& p);
// Whether path names the document's own file.
bool IsDocumentFile(EditorParts& p, const std::string& path);
// Before path is opened: when another editor has it open, the user is asked whether to open it
// all the same. True to open it.
bool ConfirmOpenElsewhere(EditorParts& p, const std::string& path);

// ---- Other formats, print and PDF (exchange_commands.cpp)
void ImportExecute(MoveParts p);
void ExportExecute(MoveParts p);
void PrintExecute(MoveParts p);
void ExportPdfExecute(MoveParts p);
// Imports the file at path in the format its name names (see FormatOfFileName); a name that
// names none takes `chosen`, the format of the filter it was chosen under, if any.
void ImportFile(MoveParts p, const std::string& path, const FormatChoice* chosen = nullptr);

// ---- Auto-save and the recovery copy (auto_save.cpp, crash_recovery.cpp)
void AutoSaveTick(EditorParts& p);
void RecoveryTick(EditorParts& p);
// Offers the copies that gone instances left; true when one was restored.
bool OfferLeftOverCopies(EditorParts& p, const std::vector<std::string>& files);

// ---- The tree (tree_commands.cpp)
void AddTreeExecute(TreeParts p);
void AddTreeChildExecute(TreeParts p);
void DelTreeExecute(TreeParts p);
void TreeRightExecute(TreeParts p);
void TreeLeftExecute(TreeParts p);
void TreeUpExecute(TreeParts p);
void TreeDownExecute(TreeParts p);
void IconMenuClick(TreeParts p, int tag);
void RenameSelectedTopic(TreeParts p, std::string text);
// Moves t with its subtree to child row of parent, keeping every expanded state, as a move
// does: a new parent that had no children is expanded so that t stays in view.
void MoveTopicKeepingExpansion(TreeParts p, Topic* t, Topic* parent, size_t row);

// ---- The check list (list_commands.cpp)
void ListAddExecute(ListParts p);
void ListDelExecute(ListParts p);
void ListMoveUpExecute(ListParts p);
void ListMoveDownExecute(ListParts p);
void ListReEditExecute(ListParts p);
void ListReplaceExecute(ListParts p);
void ListAddLineExecute(ListParts p);
void ListChkBoxExecute(ListParts p);
void UncheckAllExecute(ListParts p);
void ToggleRowCheck(ListParts p, size_t row);
// Asks the window to edit the selected row's text over the row itself.
void ListEditInPlaceExecute(ListParts p);
// The text typed over a row in place (CP932): the row's Item takes it as one undo step and
// keeps its tick. The same text changes nothing.
void StoreRowText(ListParts p, size_t row, std::string_view text);

// ---- Finding (find_commands.cpp)
void FindExecute(FindParts p);
void FindNextExecute(FindParts p);
void FindPreviousExecute(FindParts p);
// The text of the find box changed: the first hit from the current position on.
void FindTyped(FindParts p, std::string query, bool kanaBlind);
// The next or the previous hit from the last one, past the end of the document (or its
// start) on from the other end.
void FindStep(FindParts p, bool forward);
void CountFindHits(FindParts p);
void CollectFindResults(FindParts p);
void GoToFindResult(FindParts p, size_t index);
// The next slice of the searches under way (see EditorHost::ScheduleFindSlice).
void FindSlice(FindParts p);

// ---- The clipboard (clipboard_commands.cpp)
void TreeCutExecute(MoveParts p);
void TreeCopyExecute(MoveParts p);
void TreePasteExecute(MoveParts p);
void ListCutExecute(MoveParts p);
void ListCopyExecute(MoveParts p);
void ListPasteExecute(MoveParts p);
// Pastes a tree clipboard text as one undo step named after command, then shows the last
// new top-level Topic, or with showFirst the first one.
void PasteText(MoveParts p, std::string_view text, CommandId command, bool showFirst);

// ---- Undo and redo (undo_commands.cpp)
void UndoExecute(UndoParts p);
void RedoExecute(UndoParts p);

// ---- Drag and drop (drop_commands.cpp)
void BeginDrag(MoveParts p, DragKind kind);
void EndDrag(MoveParts p);
bool TreeDragOver(MoveParts p);
bool ListDragOver(MoveParts p, int pointerRow);
void DropOnTree(MoveParts p, TopicDropZone zone, Topic* under);
void DropOnList(MoveParts p, int pointerRow);
std::string DragText(MoveParts p);

// ---- Dates, tags and repeats (schedule_commands.cpp, tag_commands.cpp)
void AgendaExecute(ListParts p);
void SortByDueExecute(ListParts p);
void TagAddExecute(ListParts p);
void TagRemoveExecute(ListParts p);
void TagRenameExecute(ListParts p);
bool SelectedItemHasTags(ListParts p);
// The text of an edit box as it is committed: the date words typed become days ("due:明日" is
// "due:2026-12-25"); a token that cannot be read stays as typed, and the hint panel says why.
std::string CommitDateWords(ListParts p, std::string_view text);
// The tree's edit box was left (or Enter pressed in it): the rename it ends gets the date words
// of the caption turned into days, in the same step.
void CommitTopicCaption(ListParts p);
// The stored form an ordinary Item takes when its box is ticked (checked) or unticked, when
// more than its mark changes: a repeating Item ticked stays open with its due moved on, and
// with the option "完了日を記録" the day is noted ("done:") or the note taken away.
struct TickedForm {
    bool checked = false;
    std::string text;
};
std::optional<TickedForm> FormAfterTick(ListParts p, std::string_view text, bool checked);
// A click on the box of a row whose Item changes more than its mark (see FormAfterTick), as one
// step; false when only the mark changes, which the caller does as before.
bool TickWithForm(ListParts p, size_t row);
// Ticks an open Item of any Topic as its box would, as one step (a reminder's "完了").
void TickItem(ListParts p, Topic* t, size_t item);
// Unchecks the Items of every routine whose due day has passed and moves its due on to the first
// day of its series that is today or later, as one step; the hint panel names them.
void RenewRoutines(ListParts p, Date today);
// Selects t and the row of its Item (shown even when a filter hid it).
void GoToItem(ListParts p, Topic* t, size_t item);

// ---- What the window does itself (window_commands.cpp)
void ExitExecute(WindowParts p);
void ChgIconExecute(WindowParts p);
void OptionsExecute(WindowParts p);
void KeySetExecute(WindowParts p);
void ToolBtnSetExecute(WindowParts p);
void HelpContentsExecute(WindowParts p);
void HelpTopicExecute(WindowParts p);
void AboutExecute(WindowParts p);
void HideCheckedExecute(WindowParts p);
void ShowProgressExecute(WindowParts p);

}  // namespace brenvale
