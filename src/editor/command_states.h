#pragma once

#include <array>

#include "editor/command_table.h"
#include "editor/view_notifier.h"

namespace brenvale {

struct EditorParts;

// The enabled state of every command, taken from the rules of the command table, and the
// pressed state of the no-box button. The window shows them.
class CommandStates {
public:
    explicit CommandStates(ViewNotifier& views) : views_(views) { enabled_.fill(true); }
    CommandStates(const CommandStates&) = delete;
    CommandStates& operator=(const CommandStates&) = delete;

    bool enabled(CommandId id) const { return enabled_[static_cast<size_t>(id)]; }
    // Whether a switch command's switch is on (false for other commands).
    bool checked(CommandId id) const { return checked_[static_cast<size_t>(id)]; }
    // The toolbar button of ListChkBox shows pressed for a no-box Item; with no row selected
    // it keeps its state.
    bool checkBoxPressed() const { return checkBoxPressed_; }

    bool clipboardHasText() const { return clipboardHasText_; }
    void setClipboardHasText(bool hasText) { clipboardHasText_ = hasText; }

    // Applies every rule to the editor as it is now; the views hear of a change, and the
    // status bar counters are repainted.
    void refresh(const EditorParts& parts);

private:
    ViewNotifier& views_;
    std::array<bool, kCommandCount> enabled_{};
    std::array<bool, kCommandCount> checked_{};
    bool checkBoxPressed_ = false;
    bool clipboardHasText_ = false;
};

}  // namespace brenvale
