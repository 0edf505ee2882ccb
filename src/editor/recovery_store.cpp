#include "editor/recovery_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <utility>

#include "common/error.h"
#include "common/file_io.h"
#include "editor/recovery_folder.h"

namespace brenvale {

namespace {

constexpr std::string_view kCopySuffix = ".bnv";
constexpr std::string_view kInfoSuffix = ".info";
constexpr std::string_view kLockSuffix = ".lock";
// The version of the file the instance's document stands on, kept for merging (MergeBase).
constexpr std::string_view kBaseSuffix = ".base";

std::string PathOf(const std::string& folder, std::string_view id, std::string_view suffix) {
    std::string path = folder;
    path += '/';
    path += id;
    path += suffix;
    return path;
}

// Ids are "<process id>-<nanoseconds since the epoch>".
bool IsInstanceId(std::string_view id) {
    size_t dash = id.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash + 1 == id.size()) {
        return false;
    }
    return std::all_of(id.begin(), id.end(),
                       [](char c) { return c == '-' || (c >= '0' && c <= '9'); }) &&
           id.find('-', dash + 1) == std::string_view::npos;
}

// The id of a file named "<id><suffix>", or nothing.
std::optional<std::string> IdOf(std::string_view name, std::string_view suffix) {
    if (name.size() <= suffix.size() || name.substr(name.size() - suffix.size()) != suffix) {
        return std::nullopt;
    }
    std::string_view id = name.substr(0, name.size() - suffix.size());
    return IsInstanceId(id) ? std::optional<std::string>(id) : std::nullopt;
}

std::string NewInstanceId(int attempt) {
    auto now = std::chrono::system_clock::now().time_since_epoch();
    long long ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() + attempt;
    return std::to_string(::getpid()) + "-" + std::to_string(ns);
}

std::vector<std::string> FileNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

// Unlinks path; false (with errno) when it is there and cannot be removed.
bool Unlink(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

[[noreturn]] void FailRemoving(const std::string& path, int error) {
    throw Error("復元用のファイル " + path + " を削除できません。\n" + std::strerror(error));
}

// The temporary files of writes that were stopped: the safe writer's ".<name>.XXXXXX".
void RemoveTemporaryFiles(const std::string& folder, const std::string& id) {
    std::string prefix = "." + id + ".";
    for (const std::string& name : FileNames(folder)) {
        if (name.compare(0, prefix.size(), prefix) == 0) {
            Unlink(folder + "/" + name);
        }
    }
}

// The files of an instance that hold no unsaved document: its merge base, temporary files and
// the lock, last.
void RemoveLockAndTemporaryFiles(const std::string& folder, const std::string& id) {
    std::string base = PathOf(folder, id, kBaseSuffix);
    Unlink(base);
    Unlink(base + ".new");
    RemoveTemporaryFiles(folder, id);
    Unlink(PathOf(folder, id, kLockSuffix));
}

// Every file of an instance; the lock goes last, so whoever holds it is the only one at work.
void RemoveInstanceFiles(const std::string& folder, const std::string& id) {
    for (std::string_view suffix : {kCopySuffix, kInfoSuffix}) {
        std::string path = PathOf(folder, id, suffix);
        if (!Unlink(path)) {
            FailRemoving(path, errno);
        }
    }
    RemoveLockAndTemporaryFiles(folder, id);
}

// Whether the descriptor is still the file at path (not one removed and made again).
bool IsFileAt(int fd, const std::string& path) {
    struct stat held, named;
    return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// Takes the lock of a gone instance: -1 when it is alive, or someone else holds it. Only a
// regular file is a lock: a link or a pipe with a lock's name is left alone, unopened or
// opened without waiting.
int LockGoneInstance(const std::string& lockPath, bool createMissing, bool* created) {
    *created = false;
    constexpr int kFlags = O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    int fd = ::open(lockPath.c_str(), kFlags);
    if (fd < 0 && errno == ENOENT && createMissing) {
        // Made exclusively, so that of two starting instances only one goes on.
        fd = ::open(lockPath.c_str(), kFlags | O_CREAT | O_EXCL, 0600);
        *created = fd >= 0;
    }
    if (fd < 0) {
        return -1;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
        !IsFileAt(fd, lockPath)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::optional<std::time_t> ModificationTime(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return st.st_mtime;
}

}  // namespace

// ---- ClaimedCopy

ClaimedCopy::ClaimedCopy(std::string folder, std::string id, int lockFd, RecoveryInfo info,
                         std::time_t writtenAt)
    : folder_(std::move(folder)),
      id_(std::move(id)),
      lockFd_(lockFd),
      info_(std::move(info)),
      writtenAt_(writtenAt) {}

ClaimedCopy::ClaimedCopy(ClaimedCopy&& other) noexcept
    : folder_(std::move(other.folder_)),
      id_(std::move(other.id_)),
      lockFd_(std::exchange(other.lockFd_, -1)),
      info_(std::move(other.info_)),
      writtenAt_(other.writtenAt_) {}

ClaimedCopy& ClaimedCopy::operator=(ClaimedCopy&& other) noexcept {
    if (this != &other) {
        release();
        folder_ = std::move(other.folder_);
        id_ = std::move(other.id_);
        lockFd_ = std::exchange(other.lockFd_, -1);
        info_ = std::move(other.info_);
        writtenAt_ = other.writtenAt_;
    }
    return *this;
}

ClaimedCopy::~ClaimedCopy() {
    release();
}

void ClaimedCopy::release() {
    if (lockFd_ >= 0) {
        ::close(lockFd_);
        lockFd_ = -1;
    }
}

std::string ClaimedCopy::ReadBytes() const {
    return ReadWholeFile(PathOf(folder_, id_, kCopySuffix));
}

void ClaimedCopy::Delete() {
    RemoveInstanceFiles(folder_, id_);
    release();
}

// ---- RecoveryStore

RecoveryStore::RecoveryStore(std::string folder) : folder_(std::move(folder)) {
    MakePrivateFolder(folder_);
    auto fail = [&](int error) {
        throw Error("復元用のフォルダー " + folder_ + " を使えません。\n" + std::strerror(error));
    };
    for (int attempt = 0;; ++attempt) {
        id_ = NewInstanceId(attempt);
        std::string temp = folder_ + "/." + id_ + ".lock-new";
        int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0 && errno == EEXIST && attempt < 100) {
            continue;
        }
        if (fd < 0) {
            fail(errno);
        }
        // The lock file gets its name only once it is locked: no other instance can ever
        // find this instance's lock free and take it for a gone one. The id holds the
        // process id, so the rename replaces nobody's file.
        if (::flock(fd, LOCK_EX) != 0 ||
            ::rename(temp.c_str(), PathOf(folder_, id_, kLockSuffix).c_str()) != 0) {
            int error = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            fail(error);
        }
        lockFd_ = fd;
        break;
    }
}

RecoveryStore::~RecoveryStore() {
    if (!HasCopy()) {
        Unlink(infoPath());
        Unlink(PathOf(folder_, id_, kLockSuffix));
    }
    ::close(lockFd_);
}

std::string RecoveryStore::copyPath() const {
    return PathOf(folder_, id_, kCopySuffix);
}

std::string RecoveryStore::infoPath() const {
    return PathOf(folder_, id_, kInfoSuffix);
}

std::string RecoveryStore::basePath() const {
    return PathOf(folder_, id_, kBaseSuffix);
}

void RecoveryStore::WriteCopy(std::string_view bytes, const RecoveryInfo& info) const {
    // The info first: a copy is never there without it. Neither follows a link nor writes
    // into anything but a regular file (a pipe there would hold the writer for good).
    WriteFileAtomically(infoPath(), FormatRecoveryInfo(info), WriteTarget::OwnFile);
    WriteFileAtomically(copyPath(), bytes, WriteTarget::OwnFile);
}

void RecoveryStore::RemoveCopy() const {
    for (const std::string& path : {copyPath(), infoPath()}) {
        if (!Unlink(path)) {
            FailRemoving(path, errno);
        }
    }
    RemoveTemporaryFiles(folder_, id_);
}

bool RecoveryStore::HasCopy() const {
    return ModificationTime(copyPath()).has_value();
}

std::vector<std::string> RecoveryStore::OtherCopies() const {
    std::vector<std::pair<std::time_t, std::string>> found;
    for (const std::string& name : FileNames(folder_)) {
        std::optional<std::string> id = IdOf(name, kCopySuffix);
        if (!id || *id == id_) {
            continue;
        }
        if (std::optional<std::time_t> written = ModificationTime(folder_ + "/" + name)) {
            found.emplace_back(*written, std::move(*id));
        }
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second > b.second;
    });
    std::vector<std::string> ids;
    for (auto& entry : found) {
        ids.push_back(std::move(entry.second));
    }
    return ids;
}

std::optional<ClaimedCopy> RecoveryStore::Claim(const std::string& id) const {
    if (id == id_ || !IsInstanceId(id)) {
        return std::nullopt;
    }
    std::string lockPath = PathOf(folder_, id, kLockSuffix);
    // A live instance made its lock before its first copy, so a copy without a lock file
    // (taken away by hand) is a gone instance's.
    bool created = false;
    int fd = LockGoneInstance(lockPath, true, &created);
    if (fd < 0) {
        return std::nullopt;
    }
    std::optional<std::time_t> written = ModificationTime(PathOf(folder_, id, kCopySuffix));
    if (!written) {
        if (created) {
            ::unlink(lockPath.c_str());
        }
        ::close(fd);
        return std::nullopt;
    }
    ClaimedCopy claimed(folder_, id, fd, {}, *written);
    std::string infoPath = PathOf(folder_, id, kInfoSuffix);
    if (ModificationTime(infoPath)) {
        claimed.info_ = ParseRecoveryInfo(ReadWholeFile(infoPath));
    }
    return claimed;
}

void RecoveryStore::Adopt(ClaimedCopy& copy) const {
    WriteFileAtomically(infoPath(), FormatRecoveryInfo(copy.info()), WriteTarget::OwnFile);
    std::string from = PathOf(folder_, copy.id(), kCopySuffix);
    if (::rename(from.c_str(), copyPath().c_str()) != 0) {
        throw Error("復元用のコピー " + from + " を引き継げません。\n" + std::strerror(errno));
    }
    copy.Delete();
}

void RecoveryStore::RemoveStaleFiles() const {
    for (const std::string& name : FileNames(folder_)) {
        std::optional<std::string> id = IdOf(name, kLockSuffix);
        if (!id || *id == id_ || ModificationTime(PathOf(folder_, *id, kCopySuffix))) {
            continue;
        }
        bool created = false;
        int fd = LockGoneInstance(folder_ + "/" + name, false, &created);
        if (fd < 0) {
            continue;
        }
        // Looked at again under the lock: the instance may have written a copy just before
        // it went.
        if (!ModificationTime(PathOf(folder_, *id, kCopySuffix))) {
            // Whatever cannot be removed stays: none of it holds a document.
            Unlink(PathOf(folder_, *id, kInfoSuffix));
            RemoveLockAndTemporaryFiles(folder_, *id);
        }
        ::close(fd);
    }
}

}  // namespace brenvale
