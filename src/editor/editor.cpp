#include "editor/editor.h"

#include <algorithm>

#include "common/check_mark.h"
#include "editor/editor_scopes.h"
#include "editor/recovery_copy.h"

namespace brenvale {

Editor::Editor(EditorHost& host, Settings settings, int userIconCount)
    : host_(host),
      settings_(std::move(settings)),
      userIconCount_(userIconCount),
      doc_(std::make_unique<Document>()),
      measure_([](std::string_view) { return 0; }) {
    enabled_.fill(true);
    enabled_[static_cast<size_t>(CommandId::Save)] = false;
    clipboardHasText_ = host_.ClipboardHasText();
    setEnabled(CommandId::TreePaste, clipboardHasText_);
    setEnabled(CommandId::ListPaste, clipboardHasText_);
    RefreshTreeCommands();
}

Editor::~Editor() = default;

void Editor::addObserver(EditorObserver* observer) {
    observers_->push_back(observer);
}

void Editor::removeObserver(EditorObserver* observer) {
    std::erase(*observers_, observer);
}

EditorObservation::EditorObservation(Editor& editor, EditorObserver* observer)
    : observers_(editor.observers_), observer_(observer) {
    editor.addObserver(observer);
}

EditorObservation::~EditorObservation() {
    if (auto observers = observers_.lock()) {
        std::erase(*observers, observer_);
    }
}

void Editor::setSettings(const Settings& settings) {
    settings_ = settings;
    RefreshListCommands();
}

void Editor::SetHint(std::string_view hint) {
    if (!dragging()) {
        setHintPanel(std::string(LongHint(hint)));
    }
}

void Editor::setHintPanel(std::string text) {
    if (text != hint_) {
        hint_ = std::move(text);
        notify([](EditorObserver& o) { o.hintChanged(); });
    }
}

// ---- The visible check list

size_t Editor::rowCount() const {
    return selected_ ? selected_->items.size() : 0;
}

// A row a view or an event names may be gone already: it reads as an empty, unchecked row.
std::string_view Editor::rowText(size_t row) const {
    return row < rowCount() ? selected_->items[row].text() : std::string_view();
}

bool Editor::rowChecked(size_t row) const {
    if (row >= rowCount()) {
        return false;
    }
    for (const auto& [r, checked] : unstoredChecks_) {
        if (r == row) {
            return checked;
        }
    }
    return selected_->items[row].checked();
}

ItemKind Editor::rowKind(size_t row) const {
    return KindOf(rowText(row), settings_.separatorItems, settings_.noBoxItems);
}

void Editor::loadList(Topic* topic) {
    if (!topic) {
        return;
    }
    {
        BusyScope busy(host_);
        if (bulkList_ == 0) {
            notify([](EditorObserver& o) { o.beginResetList(); });
        }
        unstoredChecks_.clear();
        marksStored_ = true;
        widths_.clear();
        const ItemList& items = topic->items;
        for (size_t i = 0; i < items.size(); ++i) {
            std::string_view mark = items[i].mark();
            if (mark != kCheckedMark && mark != kUncheckedMark) {
                marksStored_ = false;
            }
            widths_.add(measure_(items[i].text()));
        }
        selectedRow_ = items.empty() ? -1 : 0;
        if (bulkList_ == 0) {
            notify([](EditorObserver& o) { o.endResetList(); });
        }
    }
    notify([](EditorObserver& o) { o.selectedRowChanged(); });
    UpdateListExtent();
}

void Editor::storeList() {
    if (!selected_) {
        return;
    }
    ItemList& items = selected_->items;
    for (const auto& [row, checked] : unstoredChecks_) {
        if (row < items.size()) {
            changes_.setChecked(selected_, row, checked);
        }
    }
    unstoredChecks_.clear();
    if (!marksStored_) {
        for (size_t i = 0; i < items.size(); ++i) {
            changes_.setChecked(selected_, i, std::as_const(items)[i].checked());
        }
        marksStored_ = true;
    }
}

void Editor::clearVisibleList() {
    if (bulkList_ == 0) {
        notify([](EditorObserver& o) { o.beginResetList(); });
    }
    selected_ = nullptr;
    selectedRow_ = -1;
    unstoredChecks_.clear();
    marksStored_ = true;
    widths_.clear();
    if (bulkList_ == 0) {
        notify([](EditorObserver& o) { o.endResetList(); });
    }
}

void Editor::setSelectedRow(int row) {
    if (row != selectedRow_) {
        selectedRow_ = row;
        notify([](EditorObserver& o) { o.selectedRowChanged(); });
    }
}

void Editor::SelectRow(int row) {
    if (row < -1 || row >= static_cast<int>(rowCount())) {
        row = -1;
    }
    setSelectedRow(row);
    RefreshListCommands();
}

void Editor::ToggleCheck(size_t row) {
    if (row >= rowCount()) {
        return;
    }
    bool flipped = !rowChecked(row);
    auto it = std::find_if(unstoredChecks_.begin(), unstoredChecks_.end(),
                           [&](const auto& entry) { return entry.first == row; });
    if (it != unstoredChecks_.end()) {
        it->second = flipped;
    } else {
        unstoredChecks_.emplace_back(row, flipped);
    }
    notify([&](EditorObserver& o) { o.itemsChanged(row, row); });
    // An Item "-" is never stored by a tick, whatever the list settings say.
    if (hasSelectedItem() && rowText(static_cast<size_t>(selectedRow_)) != "-") {
        UndoScope step(*this, "チェック切り替え");
        storeList();
        SetModified(true);
    }
}

// ---- The selected Topic

void Editor::showTopic(Topic* t) {
    for (Topic* p = t ? t->parent() : nullptr; p; p = p->parent()) {
        changes_.setExpanded(p, true);
    }
}

void Editor::selectionChanged(Topic* topic) {
    if (!topic) {
        clearVisibleList();
    }
    selected_ = topic;
    // Renaming another Topic, or this one again after another, is a step of its own.
    history_.breakMerge();
    if (bulkTree_ > 0) {
        return;
    }
    showTopic(topic);
    notify([](EditorObserver& o) { o.selectedTopicChanged(); });
    if (topic) {
        setEditText(EditBox::Tree, topic->caption.str());
        loadList(topic);
    }
    RefreshTreeCommands();
}

void Editor::SelectTopic(Topic* topic) {
    if (topic != selected_) {
        selectionChanged(topic);
    }
}

void Editor::SetTopicExpanded(Topic* topic, bool expanded) {
    if (topic) {
        topic->expanded = expanded;
    }
}

void Editor::ExpandAllTopics() {
    ForEachTopic(*doc_, [](Topic& t, int) { t.expanded = true; });
}

void Editor::setEditText(EditBox box, std::string text) {
    (box == EditBox::Tree ? treeEdit_ : listEdit_) = std::move(text);
    notify([&](EditorObserver& o) { o.editTextChanged(box); });
    if (box == EditBox::List) {
        RefreshListCommands();
    }
}

void Editor::ListEditChanged(std::string text) {
    listEdit_ = std::move(text);
    RefreshListCommands();
}

void Editor::ClipboardChanged(bool hasText) {
    clipboardHasText_ = hasText;
    setEnabled(CommandId::TreePaste, hasText);
    setEnabled(CommandId::ListPaste, hasText);
}

void Editor::TreeEditRequested() {
    host_.FocusEditBox(EditBox::Tree);
}

// ---- Modified flag, command states, counters

void Editor::SetModified(bool modified) {
    modified_ = modified;
    if (!modified) {
        history_.markSaved();
    }
    setEnabled(CommandId::Save, modified);
    updateAutoSaveTimer();
    // Every change of the Document passes here, and so does every save, New and open.
    recoveryModifiedChanged(modified);
}

void Editor::setEnabled(CommandId id, bool enabled) {
    bool& slot = enabled_[static_cast<size_t>(id)];
    if (slot != enabled) {
        slot = enabled;
        notify([](EditorObserver& o) { o.commandStatesChanged(); });
    }
}

void Editor::RefreshTreeCommands() {
    Topic* t = selected_;
    setEnabled(CommandId::SaveText, !doc_->empty());
    for (CommandId id : {CommandId::ChgIcon, CommandId::AddTreeChild, CommandId::DelTree,
                         CommandId::TreeCut, CommandId::TreeCopy}) {
        setEnabled(id, t != nullptr);
    }
    setEnabled(CommandId::TreeLeft, t && t->parent());
    setEnabled(CommandId::TreeRight, t && (t->previousSibling() || t->nextSibling()));
    setEnabled(CommandId::TreeUp, t && t->previousSibling());
    setEnabled(CommandId::TreeDown, t && t->nextSibling());
    RefreshListCommands();
}

void Editor::RefreshListCommands() {
    bool item = hasSelectedItem();
    for (CommandId id :
         {CommandId::ListDel, CommandId::ListUp, CommandId::ListCut, CommandId::ListCopy}) {
        setEnabled(id, item);
    }
    setEnabled(CommandId::ListDown, item && !listEdit_.empty());
    setEnabled(CommandId::ListChkBox, item && settings_.noBoxItems);
    setEnabled(CommandId::ListAdd, !listEdit_.empty());
    setEnabled(CommandId::ListMoveUp, selectedRow_ > 0);
    setEnabled(CommandId::ListMoveDown, item && static_cast<size_t>(selectedRow_) + 1 < rowCount());
    setEnabled(CommandId::ListAddLine, settings_.separatorItems);
    if (item) {
        std::string_view text = rowText(static_cast<size_t>(selectedRow_));
        bool pressed = !text.empty() && text.front() == '-';
        if (pressed != chkBoxPressed_) {
            chkBoxPressed_ = pressed;
            notify([](EditorObserver& o) { o.commandStatesChanged(); });
        }
    }
    notify([](EditorObserver& o) { o.countersChanged(); });
}

std::string Editor::treeCounterText() const {
    size_t position = selected_ ? doc_->treeOrderIndex(selected_) + 1 : 0;
    return std::to_string(position) + "/" + std::to_string(doc_->topicCount());
}

std::string Editor::listCounterText() const {
    return std::to_string(selectedRow_ + 1) + "/" + std::to_string(rowCount());
}

std::string Editor::uncheckedCounterText() const {
    size_t unchecked = 0;
    for (size_t i = 0; i < rowCount(); ++i) {
        unchecked += !rowChecked(i) && rowKind(i) == ItemKind::Ordinary;
    }
    return " (" + std::to_string(unchecked) + ")";
}

// ---- Horizontal extent and the trash icon

void Editor::setTextWidthMeasure(TextWidthFn measure) {
    measure_ = std::move(measure);
    widths_.clear();
    for (size_t i = 0; i < rowCount(); ++i) {
        widths_.add(measure_(rowText(i)));
    }
    UpdateListExtent();
}

void Editor::setListClientWidth(int width) {
    listClientWidth_ = width;
    UpdateListExtent();
}

void Editor::UpdateListExtent() {
    int widest = widths_.widest();
    int extent = listClientWidth_ < widest + 24 ? widest + 24 : 0;
    if (extent != listExtent_) {
        listExtent_ = extent;
        notify([](EditorObserver& o) { o.listExtentChanged(); });
    }
    RefreshTrashIcon();
}

void Editor::RefreshTrashIcon() {
    if (!selected_ || (selected_->icon != kIconTrash && selected_->icon != kIconTrashFull)) {
        return;
    }
    changes_.setIcon(selected_, rowCount() > 0 ? kIconTrashFull : kIconTrash);
}

std::vector<IconMenuEntry> Editor::iconMenuEntries() const {
    return IconMenuEntries(userIconCount_);
}

int Editor::checkedIconEntry() const {
    return selected_ ? CheckedIconEntry(selected_->icon, iconMenuEntries().size()) : -1;
}

// ---- Command dispatch

bool Editor::Execute(CommandId id) {
    switch (id) {
        case CommandId::AddTree:
            AddTreeExecute();
            return true;
        case CommandId::AddTreeChild:
            AddTreeChildExecute();
            return true;
        case CommandId::TreeRight:
            TreeRightExecute();
            return true;
        case CommandId::TreeLeft:
            TreeLeftExecute();
            return true;
        case CommandId::TreeUp:
            TreeUpExecute();
            return true;
        case CommandId::TreeDown:
            TreeDownExecute();
            return true;
        case CommandId::DelTree:
            DelTreeExecute();
            return true;
        case CommandId::TreeCut:
            TreeCutExecute();
            return true;
        case CommandId::TreeCopy:
            TreeCopyExecute();
            return true;
        case CommandId::TreePaste:
            TreePasteExecute();
            return true;
        case CommandId::ListAdd:
            ListAddExecute();
            return true;
        case CommandId::ListDel:
            ListDelExecute();
            return true;
        case CommandId::ListMoveUp:
            ListMoveUpExecute();
            return true;
        case CommandId::ListMoveDown:
            ListMoveDownExecute();
            return true;
        case CommandId::ListUp:
            ListUpExecute();
            return true;
        case CommandId::ListDown:
            ListDownExecute();
            return true;
        case CommandId::ListAddLine:
            ListAddLineExecute();
            return true;
        case CommandId::ListChkBox:
            ListChkBoxExecute();
            return true;
        case CommandId::ListCut:
            ListCutExecute();
            return true;
        case CommandId::ListCopy:
            ListCopyExecute();
            return true;
        case CommandId::ListPaste:
            ListPasteExecute();
            return true;
        default:
            return false;
    }
}

}  // namespace brenvale
