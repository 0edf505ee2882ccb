#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/document.h"
#include "editor/agenda_view.h"
#include "editor/command_states.h"
#include "editor/command_table.h"
#include "editor/document_changes.h"
#include "editor/document_session.h"
#include "editor/drag_state.h"
#include "editor/editor_host.h"
#include "editor/editor_observer.h"
#include "editor/editor_parts.h"
#include "editor/find_state.h"
#include "editor/hint_panel.h"
#include "editor/progress_counts.h"
#include "editor/row_tokens.h"
#include "editor/schedule_clock.h"
#include "editor/schedule_index.h"
#include "editor/selection.h"
#include "editor/tag_filter.h"
#include "editor/tree_rows.h"
#include "editor/undo_history.h"
#include "editor/view_notifier.h"
#include "editor/visible_list.h"
#include "settings/settings.h"

namespace brenvale {

class RecoveryCopy;

// The keys the main window hands to the editor itself, by the focused control.
enum class WindowKey { Copy, Cut, Paste, F2, Delete, Undo, Redo, Insert };
enum class FocusArea { Tree, TreeEdit, List, ListEdit, Other };

// The editor without widgets: it owns the Document and everything the main window shows of
// it, and carries out every command. It is a façade over its parts: the document session
// (the file's life), the selection and edit boxes, the visible check list, the drag under
// way, the undo history and the command states; the commands (command_handlers.h) work on
// them, and DocumentChanges is the one way they change the Document. The window shows the
// parts' state, forwards the user's actions here, and implements EditorHost. After every
// action the command states are worked out afresh.
class Editor {
public:
    Editor(EditorHost& host, Settings settings, int userIconCount = 0);
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    void addObserver(EditorObserver* observer) { views_.add(observer); }
    void removeObserver(EditorObserver* observer) { views_.remove(observer); }

    // ---- The parts, as the window reads them
    const Document& document() const { return session_.document(); }
    const DocumentSession& session() const { return session_; }
    // The window sets the session's title measure, auto-save period and folders.
    DocumentSession& session() { return session_; }
    // The tree's rows: the Topics a tree view shows, in order.
    const TreeRows& treeRows() const { return treeRows_; }
    const VisibleList& list() const { return list_; }
    // The window gives the list its text measure and client width.
    VisibleList& list() { return list_; }
    const Selection& selection() const { return selection_; }
    const DragState& drag() const { return drag_; }
    const ProgressCounts& progress() const { return progress_; }
    const FindState& find() const { return find_; }
    const UndoHistory& history() const { return history_; }
    void setUndoLimit(size_t bytes) { history_.setLimit(bytes); }
    const Settings& settings() const { return settings_; }
    void setSettings(const Settings& settings);
    int topicImageCount() const { return parts_.topicImageCount; }
    int userIconCount() const { return userIconCount_; }

    // ---- Commands
    // Runs a command when its enabled rule allows it now; a disabled one does nothing, or beeps
    // where its row says so. Menus, buttons and keys all come here.
    void execute(CommandId id);
    bool isEnabled(CommandId id) const { return commands_.enabled(id); }
    // Whether a switch command's switch is on.
    bool isChecked(CommandId id) const { return commands_.checked(id); }
    bool checkBoxButtonPressed() const { return commands_.checkBoxPressed(); }
    // The keys the window handles itself: true when the key was used.
    bool key(WindowKey key, FocusArea area);

    // ---- The document's life
    // The command line: nothing starts a new document; otherwise the first file is opened
    // here and every further one in another instance. Recovery copies are offered first.
    // preread: the first file as read while the program started, taken when it fits.
    void start(const std::vector<std::string>& files,
               std::shared_ptr<DocumentPreread> preread = nullptr);
    // Opens a file after the save question; a file that cannot be read leaves everything as
    // it was (the error is thrown for the window to report).
    void openDocument(const std::string& path);
    void filesDropped(const std::vector<std::string>& paths);
    void fileRecentClick(size_t index);
    void fileRecentDelClick();
    // Asked before the window closes: true when it may close.
    bool closeQuery();
    void autoSaveTick();
    void recoveryTick();
    // The hide timer ran out: the Items ticked meanwhile are hidden now.
    void hideCheckedTick();
    // Looks at the document's file on disk (see CheckDocumentFile): false when the editor is
    // busy with something else and the window should look again a little later.
    bool checkDocumentFile();

    // ---- Events from the window
    void selectTopic(Topic* topic);
    // The user opened or folded a Topic in the view.
    void setTopicExpanded(Topic* topic, bool expanded);
    void expandAllTopics();
    // The user opened a Topic and everything below it.
    void expandTopicSubtree(Topic* topic);
    // The user changed the text of an edit box: the tree's renames the selected Topic.
    void editTextChanged(EditBox box, std::string text);
    // A click or a right click on the list: row -1 clears the selection.
    void selectRow(int row);
    // The box of a row was clicked or the space key pressed on it.
    void toggleCheck(size_t row);
    // The text typed over a row in place (CP932), as one undo step.
    void storeRowText(size_t row, std::string_view text);
    void clipboardChanged(bool hasText);
    // The tree's own label editing is refused; the focus goes to the tree's edit box instead.
    void treeEditRequested();
    // A click in an icon menu; tag 1 is the folder pair, any other tag the icon index.
    void iconMenuClick(int tag);
    // The application's current hint; its status bar part shows unless a drag owns the panel.
    void setHint(std::string_view hint);
    const std::string& hintText() const { return hint_.text(); }

    // ---- Drag and drop
    void beginDrag(DragKind kind);
    void endDrag();
    // What a drag carries to other programs: the tree clipboard text of the dragged Topic or
    // the text of the dragged Item (CP932).
    std::string dragText() const;
    // The pointer moved over the tree: true when the drop is accepted there (a Topic or an
    // Item of this editor is dragged). The list's insertion line goes away.
    bool treeDragOver();
    // The pointer moved over the list at pointerRow (rowCount() below the last Item, -1
    // outside the list's client area, where the line stays as it was): true when the drop is
    // accepted there, which only an Item is. The insertion line follows the pointer.
    bool listDragOver(int pointerRow);
    // A drop on the tree: a dragged Topic goes where the zone says, a dragged Item to the end
    // of the list of the Topic on whose row it was dropped.
    void dropOnTree(TopicDropZone zone, Topic* under);
    // A drop on the list at pointerRow (as for ListDragOver): a dragged Item moves there.
    void dropOnList(int pointerRow);

    // ---- Finding
    // The find box's text (CP932) and option: the first hit from the current position on.
    void findTyped(std::string query, bool kanaBlind);
    void findNext();
    void findPrevious();
    // Counts every hit (the counter "12 件中 3 件目"); the find bar asks for it once typing
    // pauses.
    void countFindHits();
    // The list of every hit, and a click on one of them.
    void collectFindResults();
    void goToFindResult(size_t index);
    // The next slice of the searches under way, which the window runs from its event loop when
    // asked to (EditorHost::ScheduleFindSlice).
    void findSlice();

    // ---- Status bar: the tree's counter "3/12" (the list's are VisibleList's).
    std::string treeCounterText() const;
    // The conflict marks a merge left that are still in the document: "競合 残り 3 件", or ""
    // when there are none, as the schedule index keeps their count.
    std::string conflictCounterText();

    // ---- Dates, tags, repeats and reminders
    // The clock the editor reads (the system's unless a test gives another).
    void setClock(const Clock& clock) { schedule_.setClock(clock); }
    // Where the times each document was last open are kept (see SeenTimes).
    void setSeenTimes(SeenTimes seen) { schedule_.setSeenTimes(std::move(seen)); }
    LocalTime now() const { return schedule_.now(); }
    // The clock's timer ran out (EditorHost::SetClockTimer).
    void clockTick();
    // A button of a notification was chosen; no notification could be shown.
    void notificationAction(uint64_t key, std::string_view action);
    void notificationFailed();
    // The window is closing: the document was open until now.
    void windowClosed();
    // An edit box was left or Enter pressed in it: what it committed has its date words
    // turned into days.
    void editBoxCommitted(EditBox box);
    // How a row of the list shows its due, and where its tokens are (byte offsets in its text).
    DueLook rowDueLook(size_t row) const;
    const std::vector<TextSpan>& rowTokenSpans(size_t row) const;

    // The tags and dues of the document (built when first asked for).
    ScheduleIndex& scheduleIndex() { return index_; }
    const TagFilterState& tagFilter() const { return tagFilter_; }
    // A click on a tag of the tag panel (its name, CP932), on "タグなし", and the end of the
    // filter.
    void clickTag(std::string_view name, TagClick how);
    void clickUntagged();
    void clearTagFilter();

    // The agenda: refreshAgenda makes it afresh for today; a row leads to its Item.
    AgendaView& agenda() { return agenda_; }
    void refreshAgenda();
    // False when the agenda was stale: it was made afresh and nothing else happened.
    bool goToAgendaRow(AgendaGroup group, size_t k);

private:
    friend class EditorObservation;
    // Tests that build a Document in place.
    friend struct EditorTestAccess;
    // Runs an action and works out the command states afterwards (once, for nested ones).
    template <typename Fn>
    void act(Fn&& fn);
    // execute without act of its own.
    void run(CommandId id);

    // How long a slice of the find waits while another action runs.
    static constexpr int kFindSliceRetryMs = 100;

    EditorHost& host_;
    Settings settings_;
    int userIconCount_;
    ViewNotifier views_;
    DocumentSession session_;
    // The steps hold Topics taken out of the Document: they go first.
    UndoHistory history_;
    TreeRows treeRows_;
    VisibleList list_;
    Selection selection_;
    DragState drag_;
    HintPanel hint_;
    CommandStates commands_;
    ProgressCounts progress_;
    FindState find_;
    ScheduleIndex index_;
    TagFilterState tagFilter_;
    ScheduleClock schedule_;
    AgendaView agenda_;
    mutable RowTokenCache rowTokens_;
    DocumentChanges changes_;
    EditorParts parts_;
    int acting_ = 0;
    // The conflict marks counted, and the session's revision they were counted at.
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
