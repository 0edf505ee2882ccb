// An editor in a process of its own for the open-file lock tests. Its command line names the
// lock folder ("--environment": the folders the editor takes from its environment) and a
// document; it opens the document, prints "opened" (or "asked" for any
// question, answered No) and follows the commands on its input: "save" edits and saves,
// printing "saved"; "close" closes normally and ends. Killed, it ends without closing.
#include <iostream>
#include <string>

#include "editor/editor.h"
#include "editor/open_file_lock.h"
#include "support/answering_host.h"

using namespace brenvale;

namespace {

class ChildHost : public AnsweringHost {
public:
    MessageAnswer ShowMessageBox(const std::string&, MessageKind, MessageButtons) override {
        std::cout << "asked" << std::endl;
        return MessageAnswer::No;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: open_child LOCK-FOLDER DOCUMENT\n";
        return 2;
    }
    ChildHost host;
    Editor editor(host, Settings{});
    const std::string folder = argv[1];
    editor.session().enableOpenLock(
        folder == "--environment" ? std::make_unique<OpenFileLock>(OpenLockFoldersFromEnvironment())
                                  : std::make_unique<OpenFileLock>(folder));
    editor.files().openDocument(argv[2]);
    std::cout << "opened" << std::endl;
    std::string command;
    while (std::getline(std::cin, command)) {
        if (command == "save") {
            editor.editTextChanged(EditBox::Tree, "saved");
            editor.execute(CommandId::Save);
            std::cout << "saved" << std::endl;
        } else if (command == "close") {
            editor.files().closeQuery();
            editor.session().windowClosed();
            return 0;
        }
    }
    return 0;
}
