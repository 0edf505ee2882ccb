#pragma once

#include <string>
#include <string_view>

namespace brenvale {

// Reads a whole file; throws Error with the system's text when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Writes a file so that the previous one is never lost: the bytes go to a temporary file in
// the same folder, which is flushed to disk and then renamed over the target (keeping the
// target's permissions). Until Commit() nothing at the target changes; a writer destroyed
// without Commit() removes its temporary file.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void Write(std::string_view bytes);
    void Commit();

private:
    void Flush();
    [[noreturn]] void Fail(int error);

    std::string path_;    // as the caller named it, for messages
    std::string target_;  // the file really replaced (a symbolic link is followed)
    std::string tempPath_;
    std::string buffer_;
    int fd_ = -1;
};

void WriteFileAtomically(const std::string& path, std::string_view bytes);

// The user-visible text of a failed write to path.
std::string WriteErrorText(const std::string& path, int error);

// Deletes path and waits (bounded) until it is gone; false when it cannot be deleted.
bool DeleteFileAndWait(const std::string& path);

// Copies source over target (deleting an old target first); false when the copy failed. When
// the old target cannot be deleted, *abandon is set so that the caller can stop silently.
bool CopyFileReplacing(const std::string& source, const std::string& target, bool* abandon);

}  // namespace brenvale
