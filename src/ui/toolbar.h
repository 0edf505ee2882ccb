#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editor/command_table.h"

class QMenu;
class QToolButton;

namespace brenvale {

class CommandActions;
class FlowLayout;

// The main toolbar: one button per command, made once and kept for the whole run; a layout
// shows some of them in order with separators and wraps them by the window's width. Buttons
// not shown wait in a hidden holding bar with their drop-down menus.
class Toolbar : public QWidget {
    Q_OBJECT
public:
    // A command's button, or a separator (no command).
    using Slot = std::optional<CommandId>;

    Toolbar(CommandActions& actions, QWidget* parent = nullptr);

    // The two rows the program is designed with; the second begins at kDesignedRowBreak.
    static std::vector<Slot> DesignedLayout();
    static constexpr size_t kDesignedRowBreak = 20;
    // Shows entries in order (a command's button only once); rowBreakAt starts a new row at
    // that slot.
    void showLayout(const std::vector<Slot>& entries, size_t rowBreakAt = SIZE_MAX);
    // BuildToolbar: shows the values of the ToolBar section (command names, "-" for a
    // separator), skipping names of no command. No values change nothing.
    void BuildToolbar(const std::vector<std::string>& values);
    // The commands shown, left to right (separators as empty entries).
    std::vector<Slot> shownLayout() const;

    void setDropDownMenu(CommandId id, QMenu* menu);
    void setFlat(bool flat);
    bool isFlat() const { return flat_; }
    // The separator-and-box button shows pressed for an Item without check box.
    void setCheckBoxPressed(bool pressed);
    QToolButton* button(CommandId id) const { return buttons_[static_cast<size_t>(id)]; }
    // The command of one of the toolbar's buttons.
    std::optional<CommandId> commandOf(const QToolButton* button) const;
    const CommandActions& actions() const { return actions_; }
    // The toolbar a button belongs to (shown or held), if any.
    static Toolbar* OwnerOf(const QToolButton* button);
    QWidget* holdingBar() const { return holding_; }

private:
    void clear();

    CommandActions& actions_;
    FlowLayout* layout_;
    QWidget* holding_;
    std::array<QToolButton*, kCommandCount> buttons_{};
    std::vector<QWidget*> separators_;
    std::vector<Slot> shown_;
    bool flat_ = true;
    bool checkBoxPressed_ = false;
};

}  // namespace brenvale
