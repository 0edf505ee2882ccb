#include "editor/editor.h"

#include <optional>
#include <utility>

#include "editor/command_handlers.h"
#include "editor/command_parts.h"
#include "editor/document_preread.h"
#include "editor/recovery_copy.h"

namespace brenvale {

Document& EditorParts::doc() const {
    return session.document();
}

Document& SelectionParts::doc() const {
    return session.document();
}

void ShowHint(HintParts p, const std::string& text) {
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
             index_,    tagFilter_, schedule_},
      runner_(parts_),
      files_(runner_, parts_),
      tree_(runner_, parts_),
      dragActions_(runner_, parts_),
      findActions_(runner_, parts_),
      scheduleActions_(runner_, parts_, schedule_, list_, rowTokens_, agenda_),
      tags_(runner_, parts_) {
    views_.setTreeRows(&treeRows_);
    // Parts that forget what they hold when another document comes.
    views_.add(&index_);
    views_.add(&tagFilter_);
    views_.add(&schedule_);
    views_.add(&rowTokens_);
    // Save follows the modified flag at once, whoever changed it.
    session_.onModifiedChanged([this] { runner_.refreshCommands(); });
    session_.onOpenLockFailed([this](const std::string& text) {
        if (!drag_.active()) {
            hint_.show(text);
        }
    });
    commands_.setClipboardHasText(host_.ClipboardHasText());
    runner_.refreshCommands();
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

void Editor::setSettings(const Settings& settings) {
    runner_.act([&] {
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
    runner_.act([&] { run(id); });
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
    runner_.act([&] {
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

// ---- Events from the window

void Editor::editTextChanged(EditBox box, std::string text) {
    runner_.act([&] {
        if (box == EditBox::Tree) {
            RenameSelectedTopic(parts_, std::move(text));
        } else {
            selection_.typed(EditBox::List, std::move(text));
        }
    });
}

void Editor::selectRow(int row) {
    runner_.act([&] {
        if (row < -1 || row >= static_cast<int>(list_.rowCount())) {
            row = -1;
        }
        list_.select(row);
    });
}

void Editor::toggleCheck(size_t row) {
    runner_.act([&] { ToggleRowCheck(parts_, row); });
}

void Editor::storeRowText(size_t row, std::string_view text) {
    runner_.act([&] { StoreRowText(parts_, row, text); });
}

void Editor::clipboardChanged(bool hasText) {
    runner_.act([&] { commands_.setClipboardHasText(hasText); });
}

void Editor::setHint(std::string_view hint) {
    if (!drag_.active()) {
        hint_.show(std::string(LongHint(hint)));
    }
}

}  // namespace brenvale
