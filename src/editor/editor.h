#pragma once

#include <array>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/path.h"
#include "document/document.h"
#include "document/document_writer.h"
#include "document/item_kind.h"
#include "document/model.h"
#include "editor/command_table.h"
#include "editor/document_changes.h"
#include "editor/editor_host.h"
#include "editor/editor_observer.h"
#include "editor/icon_menu.h"
#include "editor/list_extent.h"
#include "editor/recent_files.h"
#include "editor/undo_history.h"
#include "settings/settings.h"

namespace brenvale {

class ClaimedCopy;
class RecoveryCopy;
struct PasteResult;
struct ReadResult;

// The editor without widgets: it owns the Document and everything the main window shows of
// it (the selected Topic, the visible check list, the two edit boxes, the modified flag and
// the enabled state of every command) and carries out every command. The window shows this
// state, forwards the user's actions here, and implements EditorHost.
class Editor {
public:
    Editor(EditorHost& host, Settings settings, int userIconCount = 0);
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    void addObserver(EditorObserver* observer);
    void removeObserver(EditorObserver* observer);

    // ---- State the window shows
    const Document& document() const { return *doc_; }
    Document& document() { return *doc_; }
    Topic* selectedTopic() const { return selected_; }
    const Settings& settings() const { return settings_; }
    void setSettings(const Settings& settings);
    int topicImageCount() const { return kBuiltInTopicImages + userIconCount_; }
    int userIconCount() const { return userIconCount_; }

    size_t rowCount() const;
    std::string_view rowText(size_t row) const;
    bool rowChecked(size_t row) const;
    ItemKind rowKind(size_t row) const;
    int selectedRow() const { return selectedRow_; }
    bool hasSelectedItem() const { return selectedRow_ >= 0 && rowCount() > 0; }

    const std::string& treeEditText() const { return treeEdit_; }
    const std::string& listEditText() const { return listEdit_; }

    bool isModified() const { return modified_; }
    bool isEnabled(CommandId id) const { return enabled_[static_cast<size_t>(id)]; }
    // The toolbar button of ListChkBox shows pressed for a no-box Item.
    bool checkBoxButtonPressed() const { return chkBoxPressed_; }

    // Status bar counters: tree "3/12"; list "2/5" followed by the unchecked count " (3)".
    std::string treeCounterText() const;
    std::string listCounterText() const;
    std::string uncheckedCounterText() const;

    // Horizontal scroll extent of the list: 0, or the widest text plus 24 pixels when that
    // does not fit the list's client width.
    void setTextWidthMeasure(TextWidthFn measure);
    void setListClientWidth(int width);
    int listExtent() const { return listExtent_; }
    void UpdateListExtent();

    std::vector<IconMenuEntry> iconMenuEntries() const;
    // The position of the entry matching the selected Topic's icon, -1 for none.
    int checkedIconEntry() const;

    // ---- Events from the window
    void SelectTopic(Topic* topic);
    void SetTopicExpanded(Topic* topic, bool expanded);
    // Marks every Topic expanded; the tree view expands itself in one go.
    void ExpandAllTopics();
    // The user changed the text of edtTree (renames the selected Topic) or of edtList.
    void TreeEditChanged(std::string text);
    void ListEditChanged(std::string text);
    // A click or a right click on the list: row -1 clears the selection.
    void SelectRow(int row);
    // The box of a row was clicked or the space key pressed on it.
    void ToggleCheck(size_t row);
    void ClipboardChanged(bool hasText);
    // The tree's own label editing is refused; the focus goes to edtTree instead.
    void TreeEditRequested();

    // Keys the main window handles itself, by the focused control.
    enum class FocusArea { Tree, TreeEdit, List, ListEdit, Other };
    // Ctrl+C, Ctrl+X, Ctrl+V: true when the key was used (the tree or the list had the focus).
    bool CopyKey(FocusArea area);
    bool CutKey(FocusArea area);
    bool PasteKey(FocusArea area);
    void F2Key(FocusArea area);
    void DeleteKey(FocusArea area);
    // Ctrl+Z, and Ctrl+Y or Shift+Ctrl+Z: true when the key was used (the tree or the list had
    // the focus); the edit boxes keep their own meaning of them.
    bool UndoKey(FocusArea area);
    bool RedoKey(FocusArea area);

    // Runs an enabled command; false for the commands the window carries out itself.
    bool Execute(CommandId id);

    // ---- Commands
    void AddTreeExecute();
    void AddTreeChildExecute();
    void DelTreeExecute();
    void TreeRightExecute();
    void TreeLeftExecute();
    void TreeUpExecute();
    void TreeDownExecute();
    // A click in an icon menu; tag 1 is the folder pair, any other tag the icon index.
    void IconMenuClick(int tag);
    void TreeCopyExecute();
    void TreeCutExecute();
    void TreePasteExecute();

    void ListAddExecute();
    void ListDelExecute();
    void ListMoveUpExecute();
    void ListMoveDownExecute();
    void ListUpExecute();
    void ListDownExecute();
    void ListAddLineExecute();
    void ListChkBoxExecute();
    void ListCutExecute();
    void ListCopyExecute();
    void ListPasteExecute();

    // ---- Undo and redo of every change of the Document
    // Beep when there is nothing to undo or redo; the hint says what was.
    void UndoExecute();
    void RedoExecute();
    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    const UndoHistory& history() const { return history_; }
    void setUndoLimit(size_t bytes) { history_.setLimit(bytes); }

    // ---- Document lifecycle
    // The command line: nothing starts a new document; otherwise the first file is opened
    // here and every further one in another instance.
    void Start(const std::vector<std::string>& files);
    void NewOpenExecute();
    void OpenExecute();
    void SaveExecute();
    void SaveNameExecute();
    void SaveTextExecute();
    // Opens a file after the save question; a file that cannot be read leaves everything as
    // it was (the error is thrown for the window to report).
    void OpenDocument(const std::string& path);
    // The save question: true to go on, false when the user stopped or the save failed.
    bool AskSaveChanges();
    // Asked before the window closes: true when it may close.
    bool CloseQuery() { return AskSaveChanges(); }
    void FilesDropped(const std::vector<std::string>& paths);
    bool saveSucceeded() const { return saveSucceeded_; }

    const RecentFiles& recentFiles() const { return recent_; }
    void AddRecentFile(const std::string& path);
    void FileRecentClick(size_t index);
    void FileRecentDelClick();

    // The window title: the file name (or its path, shortened to 200 pixels) and the
    // application title.
    void UpdateTitle();
    const std::string& title() const { return title_; }
    void setTitleMeasure(TextWidthFn measure) { titleMeasure_ = std::move(measure); }

    // Auto-save: the timer's period, the folder used when the document has none, and the tick.
    void setAutoSaveInterval(int ms);
    int autoSaveInterval() const { return autoSaveInterval_; }
    void setProgramFolder(std::string folder) { programFolder_ = std::move(folder); }
    void AutoSaveTick();

    // ---- Recovery copy
    // From now on a copy of the unsaved document is kept for the next start after a crash;
    // Start offers the copies that gone instances left.
    void EnableRecovery(std::unique_ptr<RecoveryCopy> recovery);
    RecoveryCopy* recovery() const { return recovery_.get(); }
    // The tick of the timer the host keeps for it.
    void RecoveryTick();
    // The window closed normally (CloseQuery let it): nothing of this session is left to
    // recover.
    void WindowClosed();

    // ---- Drag and drop
    // Where a Topic is dropped in relation to the Topic under the pointer.
    enum class TopicDropZone {
        OnTopic,        // its icon or caption: last child
        Indent,         // left of it: directly before it, at its level
        BelowAll,       // empty area below the last Topic: last top-level Topic
        ButtonOrRight,  // its expand button or right of its caption: first child
        Outside,        // outside the tree's rows: nothing
    };
    // What is being dragged: the selected Topic, or the selected row of the list.
    enum class DragKind { None, Topic, Item };
    void BeginTopicDrag();
    void BeginItemDrag();
    void EndDrag();
    bool dragging() const { return drag_ != DragKind::None; }
    DragKind dragKind() const { return drag_; }
    // What a drag carries to other programs: the tree clipboard text of the dragged Topic or
    // the text of the dragged Item (CP932).
    std::string dragText() const;
    // The application's current hint; its status bar part shows unless a drag owns the panel.
    void SetHint(std::string_view hint);
    const std::string& hintText() const { return hint_; }
    // The pointer moved over the tree: true when the drop is accepted there (a Topic or an
    // Item of this editor is dragged). The list's insertion line goes away.
    bool TreeDragOver();
    // The pointer moved over the list at pointerRow (rowCount() below the last Item, -1
    // outside the list's client area, where the line stays as it was): true when the drop is
    // accepted there, which only an Item is. The insertion line follows the pointer.
    bool ListDragOver(int pointerRow);
    // The row at whose upper edge the insertion line shows, -1 for none.
    int insertionRow() const { return insertionRow_; }
    // A drop on the tree: a dragged Topic goes where the zone says, a dragged Item to the end
    // of the list of the Topic on whose row it was dropped.
    void DropOnTree(TopicDropZone zone, Topic* under);
    // A drop on the list at pointerRow (as for ListDragOver): a dragged Item moves there.
    void DropOnList(int pointerRow);
    void DropTopic(TopicDropZone zone, Topic* under);
    // row: the row at the drop point, rowCount() below the last Item, -1 outside the list.
    void DropItemInList(int row);
    void DropItemOnTopic(Topic* topic);
    // Where the insertion line shows while an Item is dragged over row `hovered` (rowCount()
    // below the last Item).
    static int InsertionRow(int hovered, int dragged, int count);

    // ---- Model routines
    void SetModified(bool modified);
    void RefreshTreeCommands();
    void RefreshListCommands();
    void RefreshTrashIcon();
    // Moves t with its subtree: as the last child of target, or directly after target (which
    // must be t's parent). Keeps every expanded state and leaves t selected.
    void MoveTopic(Topic* t, Topic* target, bool asChild);

    using ExpansionSnapshot = std::vector<std::pair<Topic*, bool>>;
    ExpansionSnapshot SaveExpansion() const;
    void RestoreExpansion(ExpansionSnapshot& snapshot);

private:
    friend class EditorObservation;
    friend class DocumentChanges;
    class BulkBuild;
    class BusyScope;
    class UndoScope;
    template <typename Fn>
    void notify(Fn&& fn) {
        for (EditorObserver* o : *observers_) {
            fn(*o);
        }
    }

    void selectionChanged(Topic* topic);
    void loadList(Topic* topic);
    void storeList();
    void clearVisibleList();
    void setSelectedRow(int row);
    void setEditText(EditBox box, std::string text);
    void setEnabled(CommandId id, bool enabled);
    void showTopic(Topic* t);
    bool requireTopicForList();
    void singleAdd(std::string_view text);
    void addPieces(const std::vector<std::string_view>& pieces);
    void insertRow(std::string_view text);
    void setRowText(size_t row, std::string_view text);
    void relocateTopic(Topic* t, Topic* parent, size_t row);
    void moveKeepingExpansion(Topic* t, Topic* parent, size_t row);
    void addTopicCommand(bool asChild);
    ItemList* visibleItems() const { return selected_ ? &selected_->items : nullptr; }
    void writeDocument(const std::string& path);
    void refreshTrimmedRows();
    void replaceDocument(std::unique_ptr<Document> doc);
    void openFirstLaunchOthers(const std::vector<std::string>& paths);
    bool confirmOverwrite(const std::string& path);
    void updateAutoSaveTimer();
    std::string autoSavePath() const;
    void setHintPanel(std::string text);
    bool placeTopic(Topic* s, TopicDropZone zone, Topic* under);
    void setInsertionRow(int row);
    void showReadDocument(ReadResult read, const std::optional<std::string>& path);
    void recoveryModifiedChanged(bool modified);
    void armRecoveryTimer(std::optional<std::chrono::milliseconds> delay);
    bool offerLeftOverCopies(const std::vector<std::string>& files);
    bool offerEachLeftOverCopy(const std::vector<std::string>& files);
    void restoreCopy(ClaimedCopy& copy);
    void showRecoveryFailure();
    UndoSelection currentSelection() const { return {selected_, selectedRow_}; }
    void replay(bool undo);
    void recordPaste(const PasteResult& pasted, Topic* current, size_t itemsBefore);

    EditorHost& host_;
    Settings settings_;
    int userIconCount_;
    std::unique_ptr<Document> doc_;
    // Shared with the observations, which thus see whether the editor is still there.
    std::shared_ptr<std::vector<EditorObserver*>> observers_ =
        std::make_shared<std::vector<EditorObserver*>>();

    Topic* selected_ = nullptr;
    int selectedRow_ = -1;
    // Rows whose box was ticked without being stored (an Item "-"), until the next store.
    std::vector<std::pair<size_t, bool>> unstoredChecks_;
    // Whether every mark of the visible list is already "■" or "□", so storing is free.
    bool marksStored_ = true;
    std::string treeEdit_;
    std::string listEdit_;

    bool modified_ = false;
    std::array<bool, kCommandCount> enabled_{};
    bool chkBoxPressed_ = false;
    bool clipboardHasText_ = false;

    TextWidthFn measure_;
    int listClientWidth_ = 0;
    int listExtent_ = 0;
    WidthTracker widths_;

    int bulkTree_ = 0;
    int bulkList_ = 0;

    bool saveSucceeded_ = false;
    bool writing_ = false;
    RecentFiles recent_;
    std::string title_ = "Brenvale";
    TextWidthFn titleMeasure_;
    int autoSaveInterval_ = 600000;
    std::string programFolder_;
    DragKind drag_ = DragKind::None;
    int insertionRow_ = -1;
    std::string hint_;
    std::unique_ptr<RecoveryCopy> recovery_;
    bool recoveryTimerArmed_ = false;
    std::optional<std::string> recoveryFailure_;
    // The steps hold Topics taken out of the Document; they go before it.
    UndoHistory history_;
    DocumentChanges changes_{*this, history_};
};

// An observer's registration with an editor, for an observer whose life is not nested in the
// editor's (a Qt object freed with its parent window): it ends with whichever of the two goes
// first, so their order of destruction does not matter.
class EditorObservation {
public:
    EditorObservation(Editor& editor, EditorObserver* observer);
    ~EditorObservation();
    EditorObservation(const EditorObservation&) = delete;
    EditorObservation& operator=(const EditorObservation&) = delete;

private:
    std::weak_ptr<std::vector<EditorObserver*>> observers_;
    EditorObserver* observer_;
};

}  // namespace brenvale
