#pragma once

namespace brenvale {

struct EditorParts;

// Runs the editor's actions: after the outermost one ends (nested ones run inside it, as a
// command a dialog starts), the progress counts reach the views and the command states are
// worked out afresh, once.
class ActionRunner {
public:
    explicit ActionRunner(EditorParts& parts) : parts_(parts) {}
    ActionRunner(const ActionRunner&) = delete;
    ActionRunner& operator=(const ActionRunner&) = delete;

    template <typename Fn>
    void act(Fn&& fn) {
        struct Settle {
            ActionRunner& r;
            ~Settle() {
                if (--r.acting_ == 0) {
                    r.settle();
                }
            }
        } settle{*this};
        ++acting_;
        fn();
    }
    // Whether an action is under way (a question or dialog inside it runs the event loop).
    bool busy() const { return acting_ > 0; }
    // The command states worked out afresh outside any action.
    void refreshCommands();

private:
    void settle();

    EditorParts& parts_;
    int acting_ = 0;
};

}  // namespace brenvale
