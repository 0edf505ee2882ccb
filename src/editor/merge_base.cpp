#include "editor/merge_base.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <system_error>
#include <utility>
#include <vector>

#include "common/readable_file.h"

namespace brenvale {

namespace {

// Copies the rest of from into to, in the kernel where it can (a clone on file systems that
// share blocks); false when a read or write fails.
bool CopyContents(int from, int to) {
    for (;;) {
        ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, size_t{1} << 30, 0);
        if (n == 0) {
            return true;
        }
        if (n > 0) {
            continue;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
            return false;
        }
        break;  // not between these two files: copied through a buffer instead
    }
    std::vector<char> buffer(size_t{1} << 20);
    for (;;) {
        ssize_t n = ::read(from, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n == 0;
        }
        for (ssize_t done = 0; done < n;) {
            ssize_t w = ::write(to, buffer.data() + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) {
                continue;
            }
            if (w <= 0) {
                return false;
            }
            done += w;
        }
    }
}

bool IsVersion(int fd, const FileIdentity& version) {
    struct stat st;
    return ::fstat(fd, &st) == 0 && MetadataOf(st).sameMetadata(version);
}

// Copies the opened file `source` (closed here) to `to` (through to + ".new", renamed once
// whole) when it is `version` from before the copy to after it; false, and nothing left at the
// new name, when not.
bool KeepCopy(int source, const FileIdentity& version, const std::string& to) {
    // Written beside the copy's place and renamed there once whole; the folder is the user's
    // own, so nothing else is found at these names but an earlier copy of this instance.
    std::string temporary = to + ".new";
    int target =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    bool kept = false;
    try {
        kept = target >= 0 && IsVersion(source, version) && CopyContents(source, target);
    } catch (const std::bad_alloc&) {
        kept = false;  // no room for the buffer: no copy, as for any failed write
    }
    // Another program's write while the bytes were copied shows in the metadata.
    kept = kept && IsVersion(source, version);
    if (target >= 0) {
        kept = ::close(target) == 0 && kept;
    }
    ::close(source);
    if (kept && ::rename(temporary.c_str(), to.c_str()) == 0) {
        return true;
    }
    ::unlink(temporary.c_str());
    return false;
}

}  // namespace

MergeBase::~MergeBase() {
    forget();
}

void MergeBase::keep(const std::string& documentPath, const FileIdentity& version) {
    forget();
    // Opened here, before any thread: a file another program puts at the document's name right
    // after the open (a sync tool, a second instance) must not be the one read for the copy.
    int source = OpenRegularFile(documentPath).fd;
    if (source < 0) {
        return;
    }
    if (copy_ == Copy::OnAThread) {
        try {
            copying_ = std::thread([this, source, version] {
                if (KeepCopy(source, version, path_)) {
                    copied_ = version;
                }
            });
            return;
        } catch (const std::system_error&) {
            // No thread to spare: copied here instead.
        }
    }
    if (KeepCopy(source, version, path_)) {
        version_ = version;
    }
}

void MergeBase::finishCopy() const {
    if (copying_.joinable()) {
        copying_.join();
        version_ = std::exchange(copied_, std::nullopt);
    }
}

void MergeBase::forget() {
    finishCopy();
    if (version_) {
        ::unlink(path_.c_str());
        version_.reset();
    }
}

std::optional<std::string> MergeBase::path() const {
    finishCopy();
    return version_ ? std::optional<std::string>(path_) : std::nullopt;
}

}  // namespace brenvale
