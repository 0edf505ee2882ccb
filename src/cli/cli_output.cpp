#include "cli/cli_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "common/error.h"
#include "common/file_io.h"

namespace brenvale {

namespace {

bool Identify(const std::string& path, struct stat* st) {
    return ::stat(path.c_str(), st) == 0;
}

}  // namespace

OutputKind KindOfOutput(const std::string& operand) {
    if (operand == "-") {
        return OutputKind::Stream;
    }
    struct stat target;
    if (!Identify(operand, &target) || S_ISDIR(target.st_mode)) {
        return OutputKind::File;  // the writer makes the file, or says why it cannot
    }
    // /dev/stdout, /proc/self/fd/1 or the file itself: replacing the file standard output is
    // redirected to would cut it off from the stream.
    struct stat standardOutput;
    if (::fstat(STDOUT_FILENO, &standardOutput) == 0 && standardOutput.st_dev == target.st_dev &&
        standardOutput.st_ino == target.st_ino) {
        return OutputKind::Stream;
    }
    return S_ISREG(target.st_mode) ? OutputKind::File : OutputKind::Direct;
}

bool IsSameFile(const std::string& input, const std::string& output) {
    struct stat in;
    struct stat out;
    return Identify(input, &in) && Identify(output, &out) && in.st_dev == out.st_dev &&
           in.st_ino == out.st_ino;
}

DirectOutput::DirectOutput(std::string path) : path_(std::move(path)) {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        throw Error(WriteErrorText(path_, errno));
    }
}

DirectOutput::~DirectOutput() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void DirectOutput::write(std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw Error(WriteErrorText(path_, errno));
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

void DirectOutput::close() {
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) {
        throw Error(WriteErrorText(path_, errno));
    }
}

void WriteDirect(const std::string& path, std::string_view bytes) {
    DirectOutput output(path);
    output.write(bytes);
    output.close();
}

}  // namespace brenvale
