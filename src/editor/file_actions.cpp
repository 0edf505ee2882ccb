#include "editor/file_actions.h"

#include <utility>

#include "editor/action_runner.h"
#include "editor/command_handlers.h"
#include "editor/document_preread.h"
#include "editor/document_session.h"
#include "editor/editor_parts.h"
#include "editor/schedule_clock.h"
#include "editor/visible_list.h"

namespace brenvale {

void FileActions::start(const std::vector<std::string>& files,
                        std::shared_ptr<DocumentPreread> preread) {
    parts_.session.setPreread(std::move(preread));
    runner_.act([&] { StartDocuments(parts_, files); });
    // A read the start did not take is of no use later.
    parts_.session.setPreread(nullptr);
}

void FileActions::openDocument(const std::string& path) {
    runner_.act([&] { OpenDocument(parts_, path); });
}

void FileActions::filesDropped(const std::vector<std::string>& paths) {
    runner_.act([&] { OpenFirstLaunchOthers(parts_, paths); });
}

void FileActions::fileRecentClick(size_t index) {
    runner_.act([&] { FileRecentClick(parts_, index); });
}

void FileActions::fileRecentDelClick() {
    runner_.act([&] { FileRecentDelClick(parts_); });
}

bool FileActions::closeQuery() {
    bool close = false;
    runner_.act([&] { close = AskSaveChanges(parts_); });
    return close;
}

void FileActions::windowClosed() {
    ScheduleWindowClosed(parts_);
    parts_.session.windowClosed();
}

void FileActions::autoSaveTick() {
    runner_.act([&] { AutoSaveTick(parts_); });
}

void FileActions::recoveryTick() {
    RecoveryTick(parts_);
}

void FileActions::hideCheckedTick() {
    // Not in the middle of an action (a dialog inside a command) or of a drag, whose rows
    // must stay as they are: a moment later.
    if (runner_.busy() || parts_.drag.active()) {
        parts_.host.SetHideCheckedTimer(VisibleList::kHideDelayMs);
        return;
    }
    runner_.act([&] { parts_.list.hidePending(); });
}

bool FileActions::checkDocumentFile() {
    // Not inside another action: a question or dialog of that action is what runs the event
    // loop that asked.
    if (runner_.busy()) {
        return false;
    }
    bool done = true;
    runner_.act([&] { done = CheckDocumentFile(parts_); });
    return done;
}

}  // namespace brenvale
