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
    // reason: why, in the program's words; without it the system's text for error.
    WriteError(const std::string& text, int error, std::string reason = {})
        : Error(text), error_(error), reason_(std::move(reason)) {}
    int error() const { return error_; }
    std::string reason() const;

private:
    int error_;
    std::string reason_;
};

// A write stopped before it replaced anything, because the file at its target is no longer
// the version the caller said it replaces: another program wrote it meanwhile.
class FileChangedError : public Error {
public:
    explicit FileChangedError(const std::string& path);
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// What a writer accepts at its target.
enum class WriteTarget {
    // A document or an export: symbolic links are followed, and a pipe or a device takes the
    // bytes as a stream.
    AnyFile,
    // A file kept beside a document (its backup, its auto-save copy): symbolic links are
    // followed, but only a regular file is replaced, and nothing is opened in a way that
    // waits (a pipe without a reader).
    RegularFile,
    // A file of the program's own (a recovery copy): as RegularFile, and a symbolic link is
    // refused instead of followed.
    OwnFile,
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
    explicit AtomicFileWriter(std::string path, std::optional<mode_t> mode = std::nullopt,
                              WriteTarget target = WriteTarget::AnyFile);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void Write(std::string_view bytes);
    // The file at the target must still be this version when it is replaced: Commit looks
    // just before the rename (or the write in place) and throws FileChangedError, leaving
    // the file as it is, when another program wrote it since. A file that went meanwhile is
    // written anew.
    void ExpectUnchanged(const FileIdentity& version) { expected_ = version; }
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
    void checkUnchanged();
    [[noreturn]] void fail(int error);
    [[noreturn]] void failNotRegular(mode_t mode);

    std::string path_;      // as the caller named it, for messages
    std::string target_;    // the file really written (symbolic links followed)
    std::string folder_;    // the target's folder
    std::string tempPath_;  // the temporary file's name, once it has one
    std::string buffer_;
    std::optional<mode_t> mode_;
    long nameMax_ = 255;  // the longest name the folder takes, in bytes
    WriteTarget rule_ = WriteTarget::AnyFile;
    std::optional<FileIdentity> expected_;
    Method method_ = Method::UnnamedTemporary;
    bool regular_ = true;  // the target is a regular file or does not exist yet
    int fd_ = -1;
    std::optional<FileIdentity> written_;
};

void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         WriteTarget target = WriteTarget::AnyFile);

// The user-visible text of a failed write to path.
std::string WriteErrorText(const std::string& path, int error);
std::string WriteErrorText(const std::string& path, const std::string& reason);
// Why a file of this mode (not a regular file) is not written, in the program's words.
std::string NotRegularReason(mode_t mode);

}  // namespace brenvale
