#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/document.h"
#include "editor/action_runner.h"
#include "editor/agenda_view.h"
#include "editor/command_states.h"
#include "editor/command_table.h"
#include "editor/document_changes.h"
#include "editor/document_session.h"
#include "editor/drag_actions.h"
#include "editor/drag_state.h"
#include "editor/editor_host.h"
#include "editor/editor_observer.h"
#include "editor/editor_parts.h"
#include "editor/file_actions.h"
#include "editor/find_actions.h"
#include "editor/find_state.h"
#include "editor/hint_panel.h"
#include "editor/progress_counts.h"
#include "editor/row_tokens.h"
#include "editor/schedule_actions.h"
#include "editor/schedule_clock.h"
#include "editor/schedule_index.h"
#include "editor/selection.h"
#include "editor/tag_actions.h"
#include "editor/tag_filter.h"
#include "editor/tree_actions.h"
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
    const VisibleList& list() const { return list_; }
    // The window gives the list its text measure and client width.
    VisibleList& list() { return list_; }
    const Selection& selection() const { return selection_; }
    const ProgressCounts& progress() const { return progress_; }
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

    // ---- Events from the window
    // The user changed the text of an edit box: the tree's renames the selected Topic.
    void editTextChanged(EditBox box, std::string text);
    // A click or a right click on the list: row -1 clears the selection.
    void selectRow(int row);
    // The box of a row was clicked or the space key pressed on it.
    void toggleCheck(size_t row);
    // The text typed over a row in place (CP932), as one undo step.
    void storeRowText(size_t row, std::string_view text);
    void clipboardChanged(bool hasText);
    // The application's current hint; its status bar part shows unless a drag owns the panel.
    void setHint(std::string_view hint);
    const std::string& hintText() const { return hint_.text(); }

    // ---- The concerns the window reaches through the editor, each over the parts it needs
    FileActions& files() { return files_; }
    TreeActions& tree() { return tree_; }
    const TreeActions& tree() const { return tree_; }
    DragActions& drag() { return dragActions_; }
    const DragActions& drag() const { return dragActions_; }
    FindActions& find() { return findActions_; }
    const FindActions& find() const { return findActions_; }
    ScheduleActions& schedule() { return scheduleActions_; }
    const ScheduleActions& schedule() const { return scheduleActions_; }
    TagActions& tags() { return tags_; }

private:
    friend class EditorObservation;
    // Tests that build a Document in place.
    friend struct EditorTestAccess;
    // execute without an action of its own.
    void run(CommandId id);

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
    ActionRunner runner_;
    FileActions files_;
    TreeActions tree_;
    DragActions dragActions_;
    FindActions findActions_;
    ScheduleActions scheduleActions_;
    TagActions tags_;
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
