#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "editor/recovery_copy_writer.h"
#include "editor/recovery_info.h"
#include "editor/recovery_schedule.h"
#include "editor/recovery_store.h"

namespace brenvale {

struct RecoveryOptions {
    RecoveryTiming timing;
    CopyMethod method = CopyMethod::ForkedChild;
    // The time now; tests give their own.
    std::function<RecoveryTime()> clock;
};

// The recovery copy of one editor: when to write it, the write under way, and its removal.
// All calls come from the user-interface thread; only the write itself runs elsewhere.
class RecoveryCopy {
public:
    // Takes this instance's place in the folder; throws Error when it cannot.
    explicit RecoveryCopy(std::string folder, RecoveryOptions options = {});
    // Waits for a write under way. The copy stays: an end without Close is not a normal one.
    ~RecoveryCopy();
    RecoveryCopy(const RecoveryCopy&) = delete;
    RecoveryCopy& operator=(const RecoveryCopy&) = delete;

    RecoveryStore& store() { return store_; }

    // The document changed (cheap: it notes the time).
    void Changed();
    // Nothing is unsaved any more: the copy goes, at once or as soon as the write under way
    // has stopped.
    void Discard();
    // The normal end: no copy is left; the text of a failure to remove it.
    std::optional<std::string> Close();

    // Whether a copy should be written now.
    bool CopyDue() const;
    void Write(const BuildCopy& build, const RecoveryInfo& info);
    // Takes in a write that has ended and a removal that waited for it. Returns the text of
    // a failure, once for each run of failures (a write that succeeds ends the run).
    std::optional<std::string> Collect();
    // How long until Collect and CopyDue want looking at again; nothing while idle.
    std::optional<std::chrono::milliseconds> NextLook() const;

    bool writing() const { return write_ != nullptr; }
    void WaitForWrite();

private:
    RecoveryTime now() const { return options_.clock ? options_.clock() : RecoveryClock::now(); }
    void remove();
    void failed(const std::string& text);

    RecoveryOptions options_;
    RecoveryStore store_;
    RecoverySchedule schedule_;
    std::unique_ptr<CopyWrite> write_;
    bool removeAfterWrite_ = false;
    bool failing_ = false;
    std::optional<std::string> unreported_;
    bool closed_ = false;
};

}  // namespace brenvale
