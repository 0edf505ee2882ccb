#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace brenvale {

class ActionRunner;
class DocumentPreread;
struct EditorParts;

// The document's life as the window drives it: the start, opening, drops, the recent files,
// the close question, and the ticks of the timers that save, copy, hide and look at the file.
class FileActions {
public:
    FileActions(ActionRunner& runner, EditorParts& parts) : runner_(runner), parts_(parts) {}
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;

    // The command line: nothing starts a new document; otherwise the first file is opened
    // here and every further one in another instance. Recovery copies are offered first.
    // preread: the first file as read while the program started, taken when it fits.
    void start(const std::vector<std::string>& files,
               std::shared_ptr<DocumentPreread> preread = nullptr);
    // Opens a file after the save question; a file that cannot be read leaves everything as
    // it was (the error is thrown for the window to report).
    void openDocument(const std::string& path);
    void filesDropped(const std::vector<std::string>& paths);
    void fileRecentClick(size_t index);
    void fileRecentDelClick();
    // Asked before the window closes: true when it may close.
    bool closeQuery();
    // The window is closing: the document was open until now.
    void windowClosed();
    void autoSaveTick();
    void recoveryTick();
    // The hide timer ran out: the Items ticked meanwhile are hidden now.
    void hideCheckedTick();
    // Looks at the document's file on disk (see CheckDocumentFile): false when the editor is
    // busy with something else and the window should look again a little later.
    bool checkDocumentFile();

private:
    ActionRunner& runner_;
    EditorParts& parts_;
};

}  // namespace brenvale
