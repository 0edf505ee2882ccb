#include "editor/recovery_copy.h"

#include <algorithm>
#include <utility>

#include "common/error.h"

namespace brenvale {

namespace {

// How often a write under way is looked at.
constexpr std::chrono::milliseconds kWritePoll(50);

}  // namespace

RecoveryCopy::RecoveryCopy(std::string folder, RecoveryOptions options)
    : options_(std::move(options)), store_(std::move(folder)), schedule_(options_.timing) {}

RecoveryCopy::~RecoveryCopy() {
    WaitForWrite();
}

void RecoveryCopy::Changed() {
    if (!closed_) {
        schedule_.Changed(now());
    }
}

void RecoveryCopy::Discard() {
    schedule_.Clear();
    if (write_) {
        // Removed only once the write has stopped, so that it cannot put the copy back.
        write_->Cancel();
        removeAfterWrite_ = true;
    } else {
        remove();
    }
}

std::optional<std::string> RecoveryCopy::Close() {
    schedule_.Clear();
    if (write_) {
        write_->Cancel();
        write_->Wait();
        write_.reset();
    }
    removeAfterWrite_ = false;
    closed_ = true;
    try {
        store_.RemoveCopy();
    } catch (const Error& error) {
        return error.what();
    }
    return std::nullopt;
}

void RecoveryCopy::remove() {
    try {
        store_.RemoveCopy();
    } catch (const Error& error) {
        failed(error.what());
    }
}

void RecoveryCopy::failed(const std::string& text) {
    if (!failing_) {
        failing_ = true;
        unreported_ = text;
    }
}

bool RecoveryCopy::CopyDue() const {
    return !closed_ && !write_ && !removeAfterWrite_ && schedule_.IsDue(now());
}

void RecoveryCopy::Write(const BuildCopy& build, const RecoveryInfo& info) {
    schedule_.CopyTaken(now());
    write_ = StartCopyWrite(store_, build, info, options_.method);
}

std::optional<std::string> RecoveryCopy::Collect() {
    if (write_ && write_->Finished()) {
        std::optional<std::string> failure = write_->failure();
        write_.reset();
        if (failure) {
            schedule_.CopyFailed();
            failed(*failure);
        } else {
            failing_ = false;
        }
        if (std::exchange(removeAfterWrite_, false)) {
            remove();
        }
    }
    return std::exchange(unreported_, std::nullopt);
}

std::optional<std::chrono::milliseconds> RecoveryCopy::NextLook() const {
    if (closed_) {
        return std::nullopt;
    }
    if (write_) {
        return kWritePoll;
    }
    std::optional<RecoveryTime> due = schedule_.Due();
    if (!due) {
        return std::nullopt;
    }
    auto wait = std::chrono::ceil<std::chrono::milliseconds>(*due - now());
    return std::max(wait, std::chrono::milliseconds(0));
}

void RecoveryCopy::WaitForWrite() {
    if (write_) {
        write_->Wait();
    }
}

}  // namespace brenvale
