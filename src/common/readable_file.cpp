#include "common/readable_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/error.h"

namespace brenvale {

OpenedFile OpenRegularFile(const std::string& path) {
    OpenedFile opened;
    // Without O_NONBLOCK the open of a pipe waits for a writer, and that of some devices for
    // the device.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        opened.failure = OpenFailure::System;
        opened.error = errno;
        return opened;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        opened.failure = OpenFailure::System;
        opened.error = errno;
    } else if (S_ISDIR(st.st_mode)) {
        opened.failure = OpenFailure::Folder;
    } else if (!S_ISREG(st.st_mode)) {
        opened.failure = OpenFailure::NotRegular;
    } else {
        int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
            opened.failure = OpenFailure::System;
            opened.error = errno;
        }
    }
    if (opened.failure != OpenFailure::None) {
        ::close(fd);
        return opened;
    }
    opened.fd = fd;
    opened.size = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
    opened.device = st.st_dev;
    opened.inode = st.st_ino;
    opened.modifiedNs = int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
    return opened;
}

std::string ReadErrorText(const std::string& path, int error) {
    return "ファイル " + path + " を読み込めません。\n" + std::strerror(error);
}

size_t ReadFully(int fd, char* bytes, size_t size, const std::string& path) {
    size_t filled = 0;
    while (filled < size) {
        ssize_t n = ::read(fd, bytes + filled, size - filled);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw Error(ReadErrorText(path, errno));
        }
        if (n == 0) {
            break;
        }
        filled += static_cast<size_t>(n);
    }
    return filled;
}

std::string OpenFailureText(const std::string& path, const OpenedFile& opened) {
    switch (opened.failure) {
        case OpenFailure::Folder:
            return "「" + path + "」はフォルダです。";
        case OpenFailure::NotRegular:
            return "「" + path + "」は通常のファイルではありません。";
        case OpenFailure::System:
        case OpenFailure::None:
            break;
    }
    return ReadErrorText(path, opened.error);
}

ReadableFile::ReadableFile(const std::string& path) : path_(path), opened_(OpenRegularFile(path)) {
    if (opened_.fd < 0) {
        throw Error(OpenFailureText(path_, opened_));
    }
}

ReadableFile::~ReadableFile() {
    ::close(opened_.fd);
}

}  // namespace brenvale
