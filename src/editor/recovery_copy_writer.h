#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "editor/recovery_info.h"

namespace brenvale {

class RecoveryStore;

// Builds the bytes of a recovery copy from the document.
using BuildCopy = std::function<std::string()>;

enum class CopyMethod {
    // A forked child builds the bytes from its own image of the process, frozen at the fork,
    // and writes them: the caller waits only for the fork, however big the document is.
    ForkedChild,
    // The bytes are built on the calling thread and written on another one.
    Thread,
};

// One recovery copy on its way to disk.
class CopyWrite {
public:
    virtual ~CopyWrite() = default;

    // Whether the write has ended; looks without waiting.
    virtual bool Finished() = 0;
    virtual void Wait() = 0;
    // Stops a write in a child at once; a write on a thread runs to its end.
    virtual void Cancel() = 0;

    // Once ended: the text of its failure; nothing when it was written or cancelled.
    const std::optional<std::string>& failure() const { return failure_; }

protected:
    std::optional<std::string> failure_;
};

// Starts writing the copy that build makes, with its info. A child that cannot be forked
// falls back to the thread.
std::unique_ptr<CopyWrite> StartCopyWrite(const RecoveryStore& store, const BuildCopy& build,
                                          RecoveryInfo info, CopyMethod method);

}  // namespace brenvale
