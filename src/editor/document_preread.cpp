#include "editor/document_preread.h"

#include <utility>

namespace brenvale {

DocumentPreread::DocumentPreread(std::string path, ReadOptions options)
    : path_(std::move(path)), options_(options) {
    thread_ = std::thread([this] {
        try {
            result_ = ReadDocument(path_, options_);
        } catch (...) {
            // Handed to the open that takes this read, as its own read would have thrown it.
            failure_ = std::current_exception();
        }
    });
}

DocumentPreread::~DocumentPreread() {
    wait();
}

void DocumentPreread::wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::optional<ReadResult> DocumentPreread::take(const std::string& path,
                                                const ReadOptions& options) {
    wait();
    if (path != path_ || !(options == options_)) {
        result_.reset();
        failure_ = nullptr;
        return std::nullopt;
    }
    if (std::exception_ptr failure = std::exchange(failure_, nullptr)) {
        std::rethrow_exception(failure);
    }
    return std::exchange(result_, std::nullopt);
}

}  // namespace brenvale
