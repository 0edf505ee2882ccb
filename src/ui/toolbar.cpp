#include "ui/toolbar.h"

#include <QFrame>
#include <QToolButton>

#include "settings/toolbar_layout.h"
#include "ui/command_actions.h"
#include "ui/flow_layout.h"

namespace brenvale {

namespace {

constexpr int kSeparatorWidth = 11;
constexpr int kBarIndent = 3;

QWidget* MakeSeparator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedSize(kSeparatorWidth, 22);
    return line;
}

}  // namespace

Toolbar::Toolbar(CommandActions& actions, QWidget* parent)
    : QWidget(parent),
      actions_(actions),
      layout_(new FlowLayout(this)),
      holding_(new QWidget(this)) {
    layout_->setContentsMargins(kBarIndent, 1, 0, 1);
    setAccessibleName(QStringLiteral("ツールバー"));
    holding_->hide();
    for (const CommandInfo& info : CommandTable()) {
        auto* b = new QToolButton(holding_);
        QAction* action = actions_.action(info.id);
        if (info.id == CommandId::ListChkBox) {
            // Its pressed state shows the selected Item, so it does not follow the action's.
            b->setCheckable(true);
            b->setIcon(action->icon());
            b->setToolTip(action->toolTip());
            b->setStatusTip(action->statusTip());
            connect(b, &QToolButton::clicked, action, [this, b, action] {
                action->trigger();
                b->setChecked(checkBoxPressed_);
            });
            connect(action, &QAction::changed, b,
                    [b, action] { b->setEnabled(action->isEnabled()); });
        } else {
            b->setDefaultAction(action);
        }
        b->setIconSize(QSize(16, 16));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        buttons_[static_cast<size_t>(info.id)] = b;
    }
    showLayout(DesignedLayout(), kDesignedRowBreak);
}

std::vector<Toolbar::Slot> Toolbar::DesignedLayout() {
    using C = CommandId;
    std::vector<Slot> entries = {
        C::Exit,         Slot{},       C::NewOpen,  C::Open,      C::Save,
        C::SaveName,     C::SaveText,  Slot{},      C::ChgIcon,   C::AddTree,
        C::AddTreeChild, C::TreeRight, C::TreeLeft, C::TreeUp,    C::TreeDown,
        C::DelTree,      C::TreeCut,   C::TreeCopy, C::TreePaste, Slot{},
    };
    for (Slot s : {Slot{C::ListAdd}, Slot{C::ListDel}, Slot{C::ListMoveUp}, Slot{C::ListMoveDown},
                   Slot{C::ListReEdit}, Slot{C::ListReplace}, Slot{C::ListAddLine},
                   Slot{C::ListChkBox}, Slot{C::ListCut}, Slot{C::ListCopy}, Slot{C::ListPaste},
                   Slot{}, Slot{C::Options}, Slot{C::KeySet}, Slot{C::ToolBtnSet},
                   Slot{C::HelpContents}, Slot{C::HelpTopic}, Slot{C::About}}) {
        entries.push_back(s);
    }
    return entries;
}

void Toolbar::clear() {
    while (QLayoutItem* item = layout_->takeAt(0)) {
        delete item;
    }
    for (QWidget* separator : separators_) {
        delete separator;
    }
    separators_.clear();
    for (QToolButton* button : buttons_) {
        button->hide();
        button->setParent(holding_);
    }
    shown_.clear();
}

void Toolbar::showLayout(const std::vector<Slot>& entries, size_t rowBreakAt) {
    clear();
    for (size_t i = 0; i < entries.size(); ++i) {
        const Slot& slot = entries[i];
        if (i == rowBreakAt) {
            layout_->addBreak();
        }
        shown_.push_back(slot);
        if (!slot) {
            QWidget* separator = MakeSeparator(this);
            separators_.push_back(separator);
            layout_->addWidget(separator);
            continue;
        }
        QToolButton* b = button(*slot);
        if (b->parent() == this) {
            shown_.pop_back();
            continue;
        }
        b->setParent(this);
        layout_->addWidget(b);
        b->show();
    }
    updateGeometry();
}

void Toolbar::BuildToolbar(const std::vector<std::string>& values) {
    if (values.empty()) {
        return;
    }
    std::vector<Slot> entries;
    for (int index : ResolveToolbar(values, CommandNames())) {
        entries.push_back(index == kToolbarSeparator
                              ? Slot{}
                              : Slot{CommandTable()[static_cast<size_t>(index)].id});
    }
    showLayout(entries);
}

std::optional<CommandId> Toolbar::commandOf(const QToolButton* b) const {
    for (const CommandInfo& info : CommandTable()) {
        if (button(info.id) == b) {
            return info.id;
        }
    }
    return std::nullopt;
}

Toolbar* Toolbar::OwnerOf(const QToolButton* button) {
    // A button sits on the toolbar or on its holding bar. (It may be asked while the toolbar
    // is still making it, before it is known as a command's.)
    for (QObject* up = button->parent(); up; up = up->parent()) {
        if (auto* toolbar = qobject_cast<Toolbar*>(up)) {
            return toolbar;
        }
    }
    return nullptr;
}

std::vector<Toolbar::Slot> Toolbar::shownLayout() const {
    return shown_;
}

void Toolbar::setDropDownMenu(CommandId id, QMenu* menu) {
    QToolButton* b = button(id);
    b->setMenu(menu);
    b->setPopupMode(QToolButton::MenuButtonPopup);
}

void Toolbar::setFlat(bool flat) {
    flat_ = flat;
    for (QToolButton* b : buttons_) {
        b->setAutoRaise(flat);
    }
}

void Toolbar::setCheckBoxPressed(bool pressed) {
    checkBoxPressed_ = pressed;
    button(CommandId::ListChkBox)->setChecked(pressed);
}

}  // namespace brenvale
