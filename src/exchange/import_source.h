#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "common/byte_block.h"

namespace brenvale {

class ReadableFile;

// What an import reads: a regular file, a piece at a time so that the file is never held
// whole, or bytes already in memory.
class ImportSource {
public:
    // Opens the file at path; throws Error with the program's text when it cannot be read or
    // is not a regular file.
    explicit ImportSource(const std::string& path);
    // bytes must outlive the source; name stands for the file in messages. A read hands out
    // at most `piece` bytes, as a file may (tests read in small pieces).
    ImportSource(std::string_view bytes, std::string name, size_t piece = SIZE_MAX);
    ~ImportSource();
    ImportSource(const ImportSource&) = delete;
    ImportSource& operator=(const ImportSource&) = delete;

    // The file's name without its folder (UTF-8), for messages and the fallback caption.
    std::string_view name() const { return name_; }
    // The size when it was opened, for estimates.
    uint64_t size() const { return size_; }

    // Up to `bytes` bytes from the start of the source, without reading them: what the source
    // is can be judged before it is read. Throws Error when the file cannot be read.
    std::string start(size_t bytes) const;
    // Reads up to room bytes into `into`; 0 at the end. Throws Error when a read fails.
    size_t read(char* into, size_t room);
    // Everything not read yet, with `spare` bytes of room after it.
    FileBlock rest(size_t spare);

private:
    std::unique_ptr<ReadableFile> file_;
    std::string_view bytes_;  // what is left of the bytes in memory
    size_t piece_ = SIZE_MAX;
    std::string name_;
    uint64_t size_ = 0;
};

}  // namespace brenvale
