#include "common/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "common/error.h"
#include "common/path.h"

namespace brenvale {

namespace {

constexpr size_t kBufferSize = 1 << 18;
constexpr auto kWaitLimit = std::chrono::seconds(2);

std::string ReadErrorText(const std::string& path, int error) {
    return "ファイル " + path + " を読み込めません。\n" + std::strerror(error);
}

mode_t DefaultFileMode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, const char* data, size_t size, int* error) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
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

template <typename Predicate>
bool WaitUntil(Predicate done) {
    auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool PathPresent(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

std::string WriteErrorText(const std::string& path, int error) {
    return "ファイル " + path + " に書き込めません。\n" + std::strerror(error);
}

std::string ReadWholeFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw Error(ReadErrorText(path, errno));
    }
    std::string data;
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_size > 0) {
        data.reserve(static_cast<size_t>(st.st_size));
    }
    char chunk[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            int error = errno;
            ::close(fd);
            throw Error(ReadErrorText(path, error));
        }
        if (n == 0) {
            break;
        }
        data.append(chunk, static_cast<size_t>(n));
    }
    ::close(fd);
    return data;
}

AtomicFileWriter::AtomicFileWriter(std::string path) : path_(std::move(path)), target_(path_) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_symlink(target_, ec)) {
        fs::path resolved = fs::weakly_canonical(target_, ec);
        if (!ec) {
            target_ = resolved.string();
        }
    }
    std::string folder = FolderPart(target_);
    tempPath_ = JoinPath(folder.empty() ? "." : folder,
                         "." + std::string(FileNamePart(target_)) + ".XXXXXX");
    fd_ = ::mkstemp(tempPath_.data());
    if (fd_ < 0) {
        int error = errno;
        tempPath_.clear();
        Fail(error);
    }
    struct stat st;
    mode_t mode = ::stat(target_.c_str(), &st) == 0 ? (st.st_mode & 07777) : DefaultFileMode();
    if (::fchmod(fd_, mode) != 0) {
        Fail(errno);
    }
    buffer_.reserve(kBufferSize);
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
    }
}

void AtomicFileWriter::Fail(int error) {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
    }
    throw Error(WriteErrorText(path_, error));
}

void AtomicFileWriter::Flush() {
    int error = 0;
    if (!WriteAll(fd_, buffer_.data(), buffer_.size(), &error)) {
        Fail(error);
    }
    buffer_.clear();
}

void AtomicFileWriter::Write(std::string_view bytes) {
    if (buffer_.size() + bytes.size() > kBufferSize) {
        Flush();
        if (bytes.size() > kBufferSize) {
            int error = 0;
            if (!WriteAll(fd_, bytes.data(), bytes.size(), &error)) {
                Fail(error);
            }
            return;
        }
    }
    buffer_.append(bytes);
}

void AtomicFileWriter::Commit() {
    Flush();
    if (::fsync(fd_) != 0) {
        Fail(errno);
    }
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        Fail(errno);
    }
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        Fail(errno);
    }
    tempPath_.clear();
    // The rename is durable only once the folder is synced; a folder that cannot be synced
    // (some file systems refuse) still holds the complete new file.
    std::string folder = FolderPart(target_);
    int dirFd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    AtomicFileWriter writer(path);
    writer.Write(bytes);
    writer.Commit();
}

bool DeleteFileAndWait(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        return false;
    }
    return WaitUntil([&] { return !PathPresent(path); });
}

bool CopyFileReplacing(const std::string& source, const std::string& target, bool* abandon) {
    *abandon = false;
    if (PathPresent(target) && !DeleteFileAndWait(target)) {
        *abandon = true;
        return false;
    }
    std::error_code ec;
    bool copied = std::filesystem::copy_file(source, target,
                                             std::filesystem::copy_options::overwrite_existing, ec);
    if (!copied || ec) {
        return false;
    }
    return WaitUntil([&] { return PathPresent(target); });
}

}  // namespace brenvale
