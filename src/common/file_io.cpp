#include "common/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "common/error.h"
#include "common/path.h"
#include "common/readable_file.h"
#include "common/system_calls.h"

namespace brenvale {

namespace {

constexpr size_t kBufferSize = 1 << 18;

bool WriteAll(int fd, const char* data, size_t size, int* error) {
    while (size > 0) {
        ssize_t n = Sys().write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            *error = errno;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

constexpr int kNameTries = 100;
constexpr int kMaxLinkHops = 40;

// The file a path names once every symbolic link on it is followed, also when the last one
// names a file that does not exist yet.
std::string ResolveLinks(const std::string& path, int* error) {
    std::string current = path;
    for (int hops = 0; hops < kMaxLinkHops; ++hops) {
        struct stat st;
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return current;
        }
        std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
        if (n < 0) {
            *error = errno;
            return current;
        }
        link.resize(static_cast<size_t>(n));
        if (link.empty() || link.front() != kPathSeparator) {
            std::string folder = FolderPart(current);
            link = JoinPath(folder.empty() ? "." : folder, link);
        }
        current = std::move(link);
    }
    *error = ELOOP;
    return current;
}

bool MayChangeFolder(const std::string& folder) {
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// A file made without a name is given one through /proc.
bool CanNameUnnamedFiles() {
    static const bool can = ::access("/proc/self/fd", X_OK) == 0;
    return can;
}

// The errors of a file system or kernel that cannot make files without a name.
bool NoUnnamedFiles(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// A hidden name beside target that is not likely to be taken: the target's name with a random
// ending, or, where that would be longer than the folder takes (nameMax bytes), a short name of
// its own.
std::string TemporaryName(const std::string& target, long nameMax) {
    static constexpr char kChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::string suffix(6, 'x');
    for (char& c : suffix) {
        c = kChars[random() % (sizeof kChars - 1)];
    }
    std::string name = "." + std::string(FileNamePart(target)) + "." + suffix;
    if (name.size() > static_cast<size_t>(nameMax)) {
        name = ".brenvale-" + suffix;
    }
    std::string folder = FolderPart(target);
    return JoinPath(folder.empty() ? "." : folder, name);
}

int ReadAllAt(int fd, std::string* bytes) {
    char chunk[1 << 16];
    for (off_t at = 0;;) {
        ssize_t n = Sys().pread(fd, chunk, sizeof chunk, at);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return errno;
        }
        if (n == 0) {
            return 0;
        }
        bytes->append(chunk, static_cast<size_t>(n));
        at += n;
    }
}

// Writes bytes over the whole content of fd and syncs it.
int ReplaceContent(int fd, std::string_view bytes) {
    for (size_t done = 0; done < bytes.size();) {
        ssize_t n =
            Sys().pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return errno;
        }
        done += static_cast<size_t>(n);
    }
    if (Sys().ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) {
        return errno;
    }
    return Sys().fsync(fd) == 0 ? 0 : errno;
}

}  // namespace

std::string WriteErrorText(const std::string& path, int error) {
    return WriteErrorText(path, std::string(std::strerror(error)));
}

std::string ReadWholeFile(const std::string& path) {
    ReadableFile file(path);
    std::string data;
    data.reserve(static_cast<size_t>(file.size()));
    char chunk[1 << 16];
    for (;;) {
        ssize_t n = ::read(file.fd(), chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw Error(ReadErrorText(path, errno));
        }
        if (n == 0) {
            break;
        }
        data.append(chunk, static_cast<size_t>(n));
    }
    return data;
}

AtomicFileWriter::AtomicFileWriter(std::string path, std::optional<mode_t> mode, WriteTarget target)
    : path_(std::move(path)), mode_(mode), rule_(target) {
    int error = 0;
    if (rule_ == WriteTarget::OwnFile) {
        // A link there was not made by the program: whatever it names stays untouched.
        struct stat link;
        if (::lstat(path_.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
            failNotRegular(link.st_mode);
        }
        target_ = path_;
    } else {
        target_ = ResolveLinks(path_, &error);
        if (error != 0) {
            fail(error);
        }
    }
    folder_ = FolderPart(target_);
    if (folder_.empty()) {
        folder_ = ".";
    }
    if (long max = ::pathconf(folder_.c_str(), _PC_NAME_MAX); max > 0) {
        nameMax_ = max;
    }
    struct stat old {};
    bool exists = ::stat(target_.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) {
        fail(errno);
    }
    if (exists) {
        if (S_ISDIR(old.st_mode)) {
            fail(EISDIR);
        }
        if (rule_ != WriteTarget::AnyFile && !S_ISREG(old.st_mode)) {
            failNotRegular(old.st_mode);
        }
        // A rename would replace even a file the user may not write: refuse it as a write
        // would.
        if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) {
            fail(errno);
        }
        regular_ = S_ISREG(old.st_mode);
        // A rename would give the other names of the file the old content, replace a device
        // or a pipe by a plain file, or be refused by the folder.
        if (!regular_ || old.st_nlink > 1 || !MayChangeFolder(folder_)) {
            method_ = Method::InPlace;
        }
    }
    if (method_ != Method::InPlace) {
        error = openTemporary(exists, old.st_uid, old.st_gid, old.st_mode & 07777);
        if (exists && (error == EPERM || error == EACCES)) {
            // The new file could not have the old one's owner or group, or could not be made
            // at all, while the old file itself may be written.
            method_ = Method::InPlace;
        } else if (error != 0) {
            fail(error);
        }
    }
    if (method_ != Method::InPlace) {
        buffer_.reserve(kBufferSize);
    }
}

int AtomicFileWriter::openTemporary(bool exists, unsigned owner, unsigned group, unsigned mode) {
    constexpr int kFlags = O_WRONLY | O_CLOEXEC;
    fd_ = -1;
    if (CanNameUnnamedFiles()) {
        fd_ = Sys().open(folder_.c_str(), O_TMPFILE | kFlags, 0666);
        if (fd_ < 0 && !NoUnnamedFiles(errno)) {
            return errno;
        }
        method_ = Method::UnnamedTemporary;
    }
    if (fd_ < 0) {
        method_ = Method::NamedTemporary;
        for (int tries = 0; fd_ < 0; ++tries) {
            tempPath_ = TemporaryName(target_, nameMax_);
            fd_ = Sys().open(tempPath_.c_str(), O_CREAT | O_EXCL | kFlags, 0666);
            if (fd_ < 0 && (errno != EEXIST || tries == kNameTries)) {
                tempPath_.clear();
                return errno;
            }
        }
    }
    if (!exists) {
        // The system gave the new file the folder's defaults, unless the caller chose a mode.
        if (mode_ && Sys().fchmod(fd_, *mode_) != 0) {
            int error = errno;
            dropTemporary();
            return error;
        }
        return 0;
    }
    struct stat made;
    if (::fstat(fd_, &made) != 0 || made.st_uid != owner || made.st_gid != group) {
        if (Sys().fchown(fd_, owner, group) != 0) {
            int error = errno;
            dropTemporary();
            return error;
        }
    }
    // After the owner: a change of owner clears the set-user-ID and set-group-ID bits.
    if (Sys().fchmod(fd_, mode_ ? *mode_ : mode) != 0) {
        int error = errno;
        dropTemporary();
        return error;
    }
    return 0;
}

void AtomicFileWriter::dropTemporary() {
    if (fd_ >= 0) {
        Sys().close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        Sys().unlink(tempPath_.c_str());
        tempPath_.clear();
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    dropTemporary();
}

void AtomicFileWriter::fail(int error) {
    dropTemporary();
    throw WriteError(WriteErrorText(path_, error), error);
}

void AtomicFileWriter::failNotRegular(mode_t mode) {
    dropTemporary();
    std::string reason = NotRegularReason(mode);
    throw WriteError(WriteErrorText(path_, reason), S_ISLNK(mode) ? ELOOP : EINVAL, reason);
}

void AtomicFileWriter::checkUnchanged() {
    if (!expected_) {
        return;
    }
    DiskState state = CheckFileOnDisk(target_, *expected_).state;
    // A file that cannot be looked at is no version the caller knows either.
    if (state == DiskState::Changed || state == DiskState::Unknown) {
        dropTemporary();
        throw FileChangedError(path_);
    }
}

void AtomicFileWriter::flush() {
    int error = 0;
    if (!WriteAll(fd_, buffer_.data(), buffer_.size(), &error)) {
        fail(error);
    }
    buffer_.clear();
}

void AtomicFileWriter::Write(std::string_view bytes) {
    if (method_ == Method::InPlace) {
        buffer_.append(bytes);  // the old file is touched only by Commit()
        return;
    }
    if (buffer_.size() + bytes.size() > kBufferSize) {
        flush();
        if (bytes.size() > kBufferSize) {
            int error = 0;
            if (!WriteAll(fd_, bytes.data(), bytes.size(), &error)) {
                fail(error);
            }
            return;
        }
    }
    buffer_.append(bytes);
}

void AtomicFileWriter::Commit() {
    if (method_ == Method::InPlace) {
        commitInPlace();
        return;
    }
    flush();
    if (Sys().fsync(fd_) != 0) {
        fail(errno);
    }
    // The file that the rename puts in place, as it is complete: renaming changes neither its
    // inode nor its modification time.
    noteWritten();
    if (method_ == Method::NamedTemporary) {
        // A file system may report a failed write only when the file is closed.
        int fd = fd_;
        fd_ = -1;
        if (Sys().close(fd) != 0) {
            fail(errno);
        }
    }
    // The last look before the old file is replaced: another program's version that came
    // while the bytes were being written stays.
    checkUnchanged();
    // Held open, the old file is freed by the close below instead of inside the rename, which
    // so stays short.
    int oldFd = ::open(target_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    auto closeOld = [&oldFd] {
        if (oldFd >= 0) {
            ::close(oldFd);
            oldFd = -1;
        }
    };
    if (method_ == Method::UnnamedTemporary) {
        // The complete file gets a name only now, right before the rename: a kill can leave
        // the named file only in the instant between the two calls.
        for (int tries = 0;; ++tries) {
            tempPath_ = TemporaryName(target_, nameMax_);
            if (Sys().link(fd_, tempPath_.c_str()) == 0) {
                break;
            }
            int error = errno;
            tempPath_.clear();
            if (error != EEXIST || tries == kNameTries) {
                closeOld();
                fail(error);
            }
        }
    }
    if (Sys().rename(tempPath_.c_str(), target_.c_str()) != 0) {
        int error = errno;
        closeOld();
        fail(error);
    }
    tempPath_.clear();
    closeOld();
    if (fd_ >= 0) {
        // The bytes were synced before the file was named; nothing can be lost at this close.
        Sys().close(fd_);
        fd_ = -1;
    }
    // The rename is durable only once the folder is synced. The new file is complete and in
    // place by now, so a folder that cannot be synced (some file systems refuse) is no failure
    // of the save.
    int dirFd = Sys().open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (dirFd >= 0) {
        Sys().fsync(dirFd);
        Sys().close(dirFd);
    }
}

void AtomicFileWriter::noteWritten() {
    struct stat st;
    if (::fstat(fd_, &st) == 0) {
        written_ = MetadataOf(st);
    }
}

void AtomicFileWriter::commitInPlace() {
    if (!regular_) {
        // A device or a pipe takes the bytes as a stream; there is nothing to put back.
        fd_ = Sys().open(target_.c_str(), O_WRONLY | O_CLOEXEC, 0);
        int error = 0;
        if (fd_ < 0 || !WriteAll(fd_, buffer_.data(), buffer_.size(), &error)) {
            fail(fd_ < 0 ? errno : error);
        }
        int fd = fd_;
        fd_ = -1;
        if (Sys().close(fd) != 0) {
            fail(errno);
        }
        return;
    }
    checkUnchanged();
    // Opened without waiting, and looked at once open: the file may have been replaced by a
    // pipe since the writer was made.
    const int noFollow = rule_ == WriteTarget::OwnFile ? O_NOFOLLOW : 0;
    fd_ = Sys().open(target_.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | noFollow, 0);
    if (fd_ < 0) {
        fail(errno);
    }
    struct stat opened;
    if (::fstat(fd_, &opened) != 0) {
        fail(errno);
    }
    if (!S_ISREG(opened.st_mode)) {
        failNotRegular(opened.st_mode);
    }
    if (int flags = ::fcntl(fd_, F_GETFL);
        flags < 0 || ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        fail(errno);
    }
    std::string old;
    int error = ReadAllAt(fd_, &old);
    if (error != 0) {
        fail(error);
    }
    error = ReplaceContent(fd_, buffer_);
    if (error == 0) {
        noteWritten();
        int fd = fd_;
        fd_ = -1;
        if (Sys().close(fd) == 0) {
            return;
        }
        error = errno;
        // The bytes were synced, but the system still reports a failure: put the old content
        // back through a new descriptor.
        fd_ = Sys().open(target_.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | noFollow, 0);
    }
    if (fd_ >= 0) {
        ReplaceContent(fd_, old);
    }
    fail(error);
}

void WriteFileAtomically(const std::string& path, std::string_view bytes, WriteTarget target) {
    AtomicFileWriter writer(path, std::nullopt, target);
    writer.Write(bytes);
    writer.Commit();
}

}  // namespace brenvale
