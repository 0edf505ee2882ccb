// An editor in a process of its own for the recovery tests: it opens the document named
// on its command line (or starts a new one), makes the recovery edits and runs its timer
// until the copy is written, then prints "copied" and follows the commands on its input:
// "close" closes normally (without saving), "edit" edits again and waits for the copy.
// Any question about a left-over copy is printed ("asked") and answered Cancel.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

#include "editor/recovery_copy.h"
#include "editor/recovery_folder.h"
#include "recovery_edits.h"
#include "support/answering_host.h"

using namespace brenvale;

namespace {

class ChildHost : public AnsweringHost {
public:
    MessageAnswer ShowMessageBox(const std::string& text, MessageKind, MessageButtons) override {
        if (text.find("変更を保存しますか") != std::string::npos) {
            return MessageAnswer::No;
        }
        std::cout << "asked" << std::endl;
        return MessageAnswer::Cancel;
    }
    void SetRecoveryTimer(int delayMs) override {
        due = delayMs < 0 ? std::optional<std::chrono::steady_clock::time_point>()
                          : std::chrono::steady_clock::now() + std::chrono::milliseconds(delayMs);
    }
    DocumentGeometry CurrentGeometry() override { return test::kRecoveryGeometry; }

    std::optional<std::chrono::steady_clock::time_point> due;
};

void RunTimer(ChildHost& host, Editor& editor) {
    while (host.due) {
        std::this_thread::sleep_until(*host.due);
        editor.files().recoveryTick();
    }
}

}  // namespace

int main(int argc, char** argv) {
    ChildHost host;
    Editor editor(host, Settings{});
    RecoveryOptions options;
    options.timing = {std::chrono::milliseconds(20), std::chrono::milliseconds(100)};
    editor.session().enableRecovery(
        std::make_unique<RecoveryCopy>(*RecoveryFolderFromEnvironment(), options));
    editor.files().start(argc > 1 ? std::vector<std::string>{argv[1]} : std::vector<std::string>{});
    test::MakeRecoveryEdits(editor);
    RunTimer(host, editor);
    std::cout << "copied " << editor.session().recovery()->store().id() << std::endl;
    std::string command;
    while (std::getline(std::cin, command)) {
        if (command == "close") {
            if (editor.files().closeQuery()) {
                editor.session().windowClosed();
            }
            return 0;
        }
        if (command == "edit") {
            editor.execute(CommandId::AddTree);
            RunTimer(host, editor);
            std::cout << "copied" << std::endl;
        }
    }
    return 0;
}
