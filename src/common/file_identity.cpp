#include "common/file_identity.h"

#include <unistd.h>

#include <cerrno>
#include <vector>

#include "common/content_hash.h"
#include "common/readable_file.h"

namespace brenvale {

namespace {

constexpr size_t kChunk = 1 << 20;

// Hashes the rest of fd; nothing when a read fails.
std::optional<uint64_t> HashRest(int fd, uint64_t* size) {
    std::vector<char> chunk(kChunk);
    ContentHash hash;
    *size = 0;
    for (;;) {
        ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            return hash.value();
        }
        hash.add(std::string_view(chunk.data(), static_cast<size_t>(n)));
        *size += static_cast<uint64_t>(n);
    }
}

// The file at path read and hashed, with the metadata of the descriptor it was read through.
std::optional<FileIdentity> ReadIdentity(const std::string& path, DiskState* state) {
    OpenedFile opened = OpenRegularFile(path);
    if (opened.fd < 0) {
        bool gone = opened.failure == OpenFailure::System &&
                    (opened.error == ENOENT || opened.error == ENOTDIR);
        *state = gone ? DiskState::Missing : DiskState::Unknown;
        return std::nullopt;
    }
    FileIdentity identity;
    identity.device = opened.device;
    identity.inode = opened.inode;
    identity.modifiedNs = opened.modifiedNs;
    uint64_t read = 0;
    std::optional<uint64_t> hash = HashRest(opened.fd, &read);
    ::close(opened.fd);
    if (!hash) {
        *state = DiskState::Unknown;
        return std::nullopt;
    }
    // The bytes read, also when the file grew or shrank while they were.
    identity.size = read;
    identity.hash = *hash;
    return identity;
}

}  // namespace

FileIdentity MetadataOf(const struct stat& st) {
    FileIdentity identity;
    identity.device = static_cast<uint64_t>(st.st_dev);
    identity.inode = static_cast<uint64_t>(st.st_ino);
    identity.size = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
    identity.modifiedNs = int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
    return identity;
}

DiskCheck CheckFileOnDisk(const std::string& path, const FileIdentity& known) {
    DiskCheck check;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        check.state = errno == ENOENT || errno == ENOTDIR ? DiskState::Missing : DiskState::Unknown;
        return check;
    }
    check.now = MetadataOf(st);
    if (!S_ISREG(st.st_mode)) {
        // A folder or a device in its place is no version of the document; a save there
        // fails with the system's reason.
        check.state = DiskState::Unknown;
        return check;
    }
    if (check.now.sameMetadata(known)) {
        check.now.hash = known.hash;
        check.hashed = true;
        check.state = DiskState::Unchanged;
        return check;
    }
    if (check.now.size != known.size) {
        check.state = DiskState::Changed;
        return check;
    }
    std::optional<FileIdentity> read = ReadIdentity(path, &check.state);
    if (!read) {
        return check;
    }
    check.now = *read;
    check.hashed = true;
    check.state = read->size == known.size && read->hash == known.hash ? DiskState::Unchanged
                                                                       : DiskState::Changed;
    return check;
}

std::optional<FileIdentity> IdentifyFile(const std::string& path) {
    DiskState state;
    return ReadIdentity(path, &state);
}

}  // namespace brenvale
