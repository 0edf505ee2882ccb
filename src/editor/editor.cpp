#include "editor/editor.h"

#include <optional>
#include <utility>

#include "editor/command_handlers.h"
#include "editor/document_preread.h"
#include "editor/recovery_copy.h"
#include "schedule/item_tokens.h"

namespace brenvale {

Document& EditorParts::doc() const {
    return session.document();
}

void ShowHint(EditorParts& p, const std::string& text) {
    if (!p.drag.active()) {
        p.hint.show(text);
    }
}

Editor::Editor(EditorHost& host, Settings settings, int userIconCount)
    : host_(host),
      settings_(std::move(settings)),
      userIconCount_(userIconCount),
      session_(host_, settings_, views_, history_),
      treeRows_(session_),
      list_(views_, settings_, host_),
      selection_(views_),
      hint_(views_),
      commands_(views_),
      progress_(settings_, views_),
      find_(session_),
      index_(session_, settings_),
      tagFilter_(views_),
      agenda_(index_, treeRows_, settings_),
      changes_(session_, history_, views_, list_, treeRows_, progress_, index_),
      parts_{host_,     settings_,  kBuiltInTopicImages + userIconCount,
             views_,    session_,   history_,
             changes_,  treeRows_,  selection_,
             list_,     drag_,      hint_,
             commands_, progress_,  find_,
             index_,    tagFilter_, schedule_} {
    views_.setTreeRows(&treeRows_);
    // Parts that forget what they hold when another document comes.
    views_.add(&index_);
    views_.add(&tagFilter_);
    views_.add(&schedule_);
    views_.add(&rowTokens_);
    // Save follows the modified flag at once, whoever changed it.
    session_.onModifiedChanged([this] { commands_.refresh(parts_); });
    session_.onOpenLockFailed([this](const std::string& text) {
        if (!drag_.active()) {
            hint_.show(text);
        }
    });
    commands_.setClipboardHasText(host_.ClipboardHasText());
    commands_.refresh(parts_);
}

Editor::~Editor() = default;

EditorObservation::EditorObservation(Editor& editor, EditorObserver* observer)
    : observers_(editor.views_.registry()), observer_(observer) {
    editor.addObserver(observer);
}

EditorObservation::~EditorObservation() {
    if (auto observers = observers_.lock()) {
        std::erase(*observers, observer_);
    }
}

template <typename Fn>
void Editor::act(Fn&& fn) {
    struct Refresh {
        Editor& e;
        ~Refresh() {
            if (--e.acting_ == 0) {
                e.progress_.tellViews();
                e.commands_.refresh(e.parts_);
            }
        }
    } refresh{*this};
    ++acting_;
    fn();
}

void Editor::setSettings(const Settings& settings) {
    act([&] {
        Settings before = std::exchange(settings_, settings);
        bool kinds = before.separatorItems != settings_.separatorItems ||
                     before.noBoxItems != settings_.noBoxItems;
        if (kinds) {
            progress_.recountAll();
            index_.invalidate();
        }
        if (kinds || before.hideCheckedItems != settings_.hideCheckedItems) {
            list_.refilter();
        }
        if (before.showProgress != settings_.showProgress) {
            views_.tree([](EditorObserver& o) { o.topicProgressChanged(nullptr); });
        }
        // Every row gains or loses its indentation for the top level's expand buttons.
        if (before.topLevelButtons != settings_.topLevelButtons && treeRows_.rowCount() > 0) {
            views_.tree([&](EditorObserver& o) { o.treeRowsChanged(0, treeRows_.rowCount()); });
        }
        if (before.greyCheckedItems != settings_.greyCheckedItems && list_.rowCount() > 0) {
            views_.list([&](EditorObserver& o) { o.itemsChanged(0, list_.rowCount() - 1); });
        }
    });
}

// ---- Commands

void Editor::execute(CommandId id) {
    act([&] { run(id); });
}

void Editor::run(CommandId id) {
    const CommandInfo& command = Command(id);
    if (MayRun(command, parts_)) {
        command.handler(parts_);
    } else if (command.beepsWhenDisabled) {
        host_.Beep();
    }
}

bool Editor::key(WindowKey key, FocusArea area) {
    bool tree = area == FocusArea::Tree;
    bool list = area == FocusArea::List;
    // The command a key stands for where the focus is; the edit boxes keep their own meaning of
    // the clipboard and undo keys.
    std::optional<CommandId> command;
    bool used = false;
    switch (key) {
        case WindowKey::Copy:
            command = tree ? CommandId::TreeCopy : CommandId::ListCopy;
            used = tree || list;
            break;
        case WindowKey::Cut:
            command = tree ? CommandId::TreeCut : CommandId::ListCut;
            used = tree || list;
            break;
        case WindowKey::Paste:
            command = tree ? CommandId::TreePaste : CommandId::ListPaste;
            used = tree || list;
            break;
        case WindowKey::Undo:
        case WindowKey::Redo:
            command = key == WindowKey::Undo ? CommandId::Undo : CommandId::Redo;
            used = tree || list;
            break;
        case WindowKey::F2:
            break;
        case WindowKey::Delete:
            command = tree ? CommandId::DelTree : CommandId::ListDel;
            break;
        case WindowKey::Insert:
            // The key the empty tree's hint names: a Topic at the selected one's level.
            command = CommandId::AddTree;
            used = tree;
            break;
    }
    act([&] {
        if (key == WindowKey::F2) {
            if (tree || area == FocusArea::TreeEdit) {
                host_.FocusEditBox(EditBox::Tree);
            } else if (list || area == FocusArea::ListEdit) {
                run(CommandId::ListReEdit);
                host_.FocusEditBox(EditBox::List);
            }
        } else if (command && (tree || (list && key != WindowKey::Insert))) {
            run(*command);
        }
    });
    return used;
}

// ---- The document's life

void Editor::start(const std::vector<std::string>& files,
                   std::shared_ptr<DocumentPreread> preread) {
    parts_.session.setPreread(std::move(preread));
    act([&] { StartDocuments(parts_, files); });
    // A read the start did not take is of no use later.
    parts_.session.setPreread(nullptr);
}

void Editor::openDocument(const std::string& path) {
    act([&] { brenvale::OpenDocument(parts_, path); });
}

void Editor::filesDropped(const std::vector<std::string>& paths) {
    act([&] { OpenFirstLaunchOthers(parts_, paths); });
}

void Editor::fileRecentClick(size_t index) {
    act([&] { brenvale::FileRecentClick(parts_, index); });
}

void Editor::fileRecentDelClick() {
    act([&] { brenvale::FileRecentDelClick(parts_); });
}

bool Editor::closeQuery() {
    bool close = false;
    act([&] { close = AskSaveChanges(parts_); });
    return close;
}

void Editor::autoSaveTick() {
    act([&] { brenvale::AutoSaveTick(parts_); });
}

void Editor::recoveryTick() {
    brenvale::RecoveryTick(parts_);
}

void Editor::hideCheckedTick() {
    // Not in the middle of an action (a dialog inside a command) or of a drag, whose rows
    // must stay as they are: a moment later.
    if (acting_ > 0 || drag_.active()) {
        host_.SetHideCheckedTimer(VisibleList::kHideDelayMs);
        return;
    }
    act([&] { list_.hidePending(); });
}

bool Editor::checkDocumentFile() {
    // Not inside another action: a question or dialog of that action is what runs the event
    // loop that asked.
    if (acting_ > 0) {
        return false;
    }
    bool done = true;
    act([&] { done = CheckDocumentFile(parts_); });
    return done;
}

// ---- Events from the window

void Editor::selectTopic(Topic* topic) {
    act([&] { brenvale::SelectTopic(parts_, topic); });
}

void Editor::setTopicExpanded(Topic* topic, bool expanded) {
    if (topic) {
        changes_.setExpanded(topic, expanded);
    }
}

void Editor::expandAllTopics() {
    changes_.expandAll();
}

void Editor::expandTopicSubtree(Topic* topic) {
    if (topic) {
        changes_.expandSubtree(topic);
    }
}

void Editor::editTextChanged(EditBox box, std::string text) {
    act([&] {
        if (box == EditBox::Tree) {
            RenameSelectedTopic(parts_, std::move(text));
        } else {
            selection_.typed(EditBox::List, std::move(text));
        }
    });
}

void Editor::selectRow(int row) {
    act([&] {
        if (row < -1 || row >= static_cast<int>(list_.rowCount())) {
            row = -1;
        }
        list_.select(row);
    });
}

void Editor::toggleCheck(size_t row) {
    act([&] { ToggleRowCheck(parts_, row); });
}

void Editor::storeRowText(size_t row, std::string_view text) {
    act([&] { StoreRowText(parts_, row, text); });
}

void Editor::clipboardChanged(bool hasText) {
    act([&] { commands_.setClipboardHasText(hasText); });
}

void Editor::treeEditRequested() {
    host_.FocusEditBox(EditBox::Tree);
}

void Editor::iconMenuClick(int tag) {
    act([&] { brenvale::IconMenuClick(parts_, tag); });
}

void Editor::setHint(std::string_view hint) {
    if (!drag_.active()) {
        hint_.show(std::string(LongHint(hint)));
    }
}

// ---- Drag and drop

void Editor::beginDrag(DragKind kind) {
    brenvale::BeginDrag(parts_, kind);
}

void Editor::endDrag() {
    brenvale::EndDrag(parts_);
}

std::string Editor::dragText() const {
    return DragText(parts_);
}

bool Editor::treeDragOver() {
    return brenvale::TreeDragOver(parts_);
}

bool Editor::listDragOver(int pointerRow) {
    return brenvale::ListDragOver(parts_, pointerRow);
}

void Editor::dropOnTree(TopicDropZone zone, Topic* under) {
    act([&] { brenvale::DropOnTree(parts_, zone, under); });
}

void Editor::dropOnList(int pointerRow) {
    act([&] { brenvale::DropOnList(parts_, pointerRow); });
}

// ---- Finding

void Editor::findTyped(std::string query, bool kanaBlind) {
    act([&] { FindTyped(parts_, std::move(query), kanaBlind); });
}

void Editor::findNext() {
    act([&] { FindStep(parts_, true); });
}

void Editor::findPrevious() {
    act([&] { FindStep(parts_, false); });
}

void Editor::countFindHits() {
    act([&] { CountFindHits(parts_); });
}

void Editor::collectFindResults() {
    act([&] { CollectFindResults(parts_); });
}

void Editor::goToFindResult(size_t index) {
    act([&] { GoToFindResult(parts_, index); });
}

// ---- Dates, tags, repeats and reminders

void Editor::clockTick() {
    act([&] { ClockTick(parts_); });
}

void Editor::notificationAction(uint64_t key, std::string_view action) {
    act([&] { NotificationAction(parts_, key, action); });
}

void Editor::notificationFailed() {
    act([&] { NotificationFailed(parts_); });
}

void Editor::windowClosed() {
    ScheduleWindowClosed(parts_);
    session_.windowClosed();
}

void Editor::editBoxCommitted(EditBox box) {
    if (box == EditBox::Tree) {
        act([&] { CommitTopicCaption(parts_); });
    }
}

DueLook Editor::rowDueLook(size_t row) const {
    if (row >= list_.rowCount() || list_.rowChecked(row) ||
        list_.rowKind(row) != ItemKind::Ordinary) {
        return DueLook::None;
    }
    std::string_view text = list_.rowText(row);
    if (!MayHoldTokens(text)) {
        return DueLook::None;
    }
    const RowTokens& tokens = rowTokens_.of(list_.rowRef(row), text);
    if (!tokens.due) {
        return DueLook::None;
    }
    Date today = schedule_.today();
    return tokens.due->day < today    ? DueLook::Overdue
           : tokens.due->day == today ? DueLook::Today
                                      : DueLook::Later;
}

const std::vector<TextSpan>& Editor::rowTokenSpans(size_t row) const {
    static const std::vector<TextSpan> none;
    if (row >= list_.rowCount()) {
        return none;
    }
    std::string_view text = list_.rowText(row);
    if (!MayHoldTokens(text)) {
        return none;
    }
    return rowTokens_.of(list_.rowRef(row), text).spans;
}

void Editor::clickTag(std::string_view name, TagClick how) {
    act([&] { ApplyTagFilter(parts_, ClickedFilter(tagFilter_.filter(), name, how)); });
}

void Editor::clickUntagged() {
    act([&] { ApplyTagFilter(parts_, UntaggedFilter()); });
}

void Editor::clearTagFilter() {
    act([&] { ApplyTagFilter(parts_, {}); });
}

void Editor::refreshAgenda() {
    agenda_.refresh(schedule_.today());
}

bool Editor::goToAgendaRow(AgendaGroup group, size_t k) {
    if (agenda_.stale()) {
        refreshAgenda();
        return false;
    }
    const AgendaRow* row = agenda_.row(group, k);
    if (!row) {
        return false;
    }
    AgendaRow target = *row;
    act([&] { GoToItem(parts_, target.topic, target.item); });
    return true;
}

void Editor::findSlice() {
    // Not in the middle of another action (a dialog inside a command), whose selection a hit
    // found now would move: a moment later.
    if (acting_ > 0) {
        host_.ScheduleFindSlice(kFindSliceRetryMs);
        return;
    }
    act([&] { FindSlice(parts_); });
}

std::string Editor::treeCounterText() const {
    const Document& doc = session_.document();
    Topic* t = selection_.topic();
    size_t position = t ? treeRows_.treeOrderIndex(t) + 1 : 0;
    return std::to_string(position) + "/" + std::to_string(doc.topicCount());
}

std::string Editor::conflictCounterText() {
    // Kept with every change by the schedule index: a walk of every text after each edit
    // would stall the window on a big document.
    size_t marks = index_.conflictMarks();
    return marks ? "競合 残り " + std::to_string(marks) + " 件" : "";
}

}  // namespace brenvale
