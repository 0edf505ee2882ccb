#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>

namespace brenvale {

// What a file on disk was when the program last read or wrote it: where it lives (device and
// inode), its size and modification time, and a hash of its bytes (ContentHash). A newer
// version of the file differs in the bytes; the metadata only says when the bytes need
// looking at.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;
    int64_t modifiedNs = 0;  // nanoseconds since the epoch
    uint64_t hash = 0;

    bool sameMetadata(const FileIdentity& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modifiedNs == other.modifiedNs;
    }
    // The same device and inode: one file, whatever its content.
    bool sameFile(const FileIdentity& other) const {
        return device == other.device && inode == other.inode;
    }
    bool operator==(const FileIdentity&) const = default;
};

// The metadata of st; the hash stays 0.
FileIdentity MetadataOf(const struct stat& st);

enum class DiskState {
    Unchanged,  // the same bytes (maybe touched, or rewritten with the same bytes)
    Changed,    // other bytes
    Missing,    // nothing at the path
    Unknown,    // no regular file to look at there (a folder, a device), or one that cannot
                // be read
};

struct DiskCheck {
    DiskState state = DiskState::Unknown;
    // The file as it is now, for Unchanged and Changed.
    FileIdentity now;
    // Whether now.hash is the hash of its bytes: always for Unchanged; for Changed only when
    // the bytes were read (a file of the same size).
    bool hashed = false;
};

// Compares the file at path (symbolic links followed) with known. Only the metadata is looked
// at while it matches; otherwise a file of the same size is read and its bytes hashed.
DiskCheck CheckFileOnDisk(const std::string& path, const FileIdentity& known);

// The file at path as it is now, its bytes hashed; nothing when there is no regular file to
// read there.
std::optional<FileIdentity> IdentifyFile(const std::string& path);

}  // namespace brenvale
