#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace brenvale {

// Why a file could not be opened for reading.
enum class OpenFailure {
    None,
    System,      // the open or the look at the file failed; error holds errno
    Folder,      // the path names a folder
    NotRegular,  // a pipe, a device, a socket: nothing a document or a setting is read from
};

struct OpenedFile {
    int fd = -1;  // blocking and close-on-exec; -1 when the open failed
    OpenFailure failure = OpenFailure::None;
    int error = 0;
    uint64_t size = 0;
    dev_t device = 0;
    ino_t inode = 0;
    int64_t modifiedNs = 0;  // the modification time, nanoseconds since the epoch
};

// Opens path for reading and checks, on the opened descriptor, that it is a regular file. The
// open itself never waits (a pipe without a writer, a device), and anything but a regular file
// is closed again unread, so that nothing read this way hangs or grows without end. The caller
// closes a descriptor it gets.
OpenedFile OpenRegularFile(const std::string& path);

// The user-visible text of a failed OpenRegularFile.
std::string OpenFailureText(const std::string& path, const OpenedFile& opened);

// The user-visible text of a read that failed with error.
std::string ReadErrorText(const std::string& path, int error);

// Reads from fd into bytes[0, size) until that is full or the file ends; returns the bytes
// read. Throws Error with ReadErrorText for path when a read fails.
size_t ReadFully(int fd, char* bytes, size_t size, const std::string& path);

// A regular file open for reading, closed with the object.
class ReadableFile {
public:
    // Throws Error with OpenFailureText when path cannot be opened or is not a regular file.
    explicit ReadableFile(const std::string& path);
    ~ReadableFile();
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;

    int fd() const { return opened_.fd; }
    // The size when it was opened.
    uint64_t size() const { return opened_.size; }
    // What the file was when it was opened.
    const OpenedFile& opened() const { return opened_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    OpenedFile opened_;
};

}  // namespace brenvale
