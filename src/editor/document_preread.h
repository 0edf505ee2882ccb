#pragma once

#include <exception>
#include <optional>
#include <string>
#include <thread>

#include "document/document_reader.h"

namespace brenvale {

// A document file read on a thread of its own while the program starts, so that a start with
// a big document waits for the longer of the read and the window's set-up instead of both.
// The open takes the result only when it asks for the same file with the same options; the
// identity the read took stays with it, so a change of the file after the read is seen as any
// later change is.
class DocumentPreread {
public:
    DocumentPreread(std::string path, ReadOptions options);
    // Waits for the read when nobody took it.
    ~DocumentPreread();
    DocumentPreread(const DocumentPreread&) = delete;
    DocumentPreread& operator=(const DocumentPreread&) = delete;

    // The document read, once: empty for another path or other options (the caller then reads
    // the file itself); what the read threw is thrown here.
    std::optional<ReadResult> take(const std::string& path, const ReadOptions& options);
    // Until the read has ended.
    void wait();

private:
    const std::string path_;
    const ReadOptions options_;
    std::optional<ReadResult> result_;
    std::exception_ptr failure_;
    std::thread thread_;
};

}  // namespace brenvale
