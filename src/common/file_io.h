#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "common/error.h"
#include "common/file_identity.h"

namespace brenvale {

// A failed write: the user-visible text, and the system's error number behind it.
class WriteError : public Error {
public:
    WriteError(const std::string& text, int error) : Error(text), error_(error) {}
    int error() const { return error_; }

private:
    int error_;
};

// Reads a whole regular file; throws Error with the program's text when it cannot be read or is
// not a regular file.
std::string ReadWholeFile(const std::string& path);

// Writes a file so that the previous one is never lost. The bytes go to a temporary file in the
// target's folder, made without a name where the file system allows it (so that a save cut
// short leaves nothing behind), flushed to disk, named and renamed over the target, which
// keeps its permissions, owner and group. Symbolic links are followed, a dangling one to the
// file it names. A file the user may not write is refused with the system's text. Where a
// rename would lose something (a folder the user may not write, a file with more than one
// link, an owner or group that cannot be given to a new file) the bytes are kept until
// Commit() and written over the old file, whose content is put back when that fails.
// Until Commit() nothing at the target changes; a writer destroyed without Commit() leaves
// no temporary file. A failure throws WriteError.
class AtomicFileWriter {
public:
    // mode: the permission bits the file gets; without it an old file keeps its own and a new
    // one gets the system's default.
    explicit AtomicFileWriter(std::string path, std::optional<mode_t> mode = std::nullopt);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void Write(std::string_view bytes);
    void Commit();
    // After Commit, the metadata of the file written (its hash left 0); nothing for a device
    // or a pipe.
    const std::optional<FileIdentity>& written() const { return written_; }

private:
    enum class Method { UnnamedTemporary, NamedTemporary, InPlace };

    int openTemporary(bool exists, unsigned owner, unsigned group, unsigned mode);
    void dropTemporary();
    void flush();
    void commitInPlace();
    void noteWritten();
    [[noreturn]] void fail(int error);

    std::string path_;      // as the caller named it, for messages
    std::string target_;    // the file really written (symbolic links followed)
    std::string folder_;    // the target's folder
    std::string tempPath_;  // the temporary file's name, once it has one
    std::string buffer_;
    std::optional<mode_t> mode_;
    long nameMax_ = 255;  // the longest name the folder takes, in bytes
    Method method_ = Method::UnnamedTemporary;
    bool regular_ = true;  // the target is a regular file or does not exist yet
    int fd_ = -1;
    std::optional<FileIdentity> written_;
};

void WriteFileAtomically(const std::string& path, std::string_view bytes);

// The user-visible text of a failed write to path.
std::string WriteErrorText(const std::string& path, int error);

}  // namespace brenvale
