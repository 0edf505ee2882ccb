#include "settings/ini_source.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/error.h"
#include "common/readable_file.h"

namespace brenvale {

namespace {

constexpr size_t kNoBreak = std::string_view::npos;

// The same line break as a view that outlives the text it was found in.
std::string_view LastingBreak(std::string_view lineBreak) {
    if (lineBreak == "\r\n") {
        return "\r\n";
    }
    if (lineBreak == "\n") {
        return "\n";
    }
    return lineBreak == "\r" ? "\r" : "";
}

int64_t ModifiedNs(const struct stat& info) {
    return static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

}  // namespace

void IniTextSource::ForEachLine(const LineVisitor& visit) const {
    IniLineScanner scanner(bytes_);
    for (IniLine line; scanner.Next(&line);) {
        if (!visit(line, LastingBreak(line.lineBreak(bytes_)))) {
            return;
        }
    }
}

void IniTextSource::Copy(size_t from, size_t to, const IniTextSink& write) const {
    if (from < to) {
        write(bytes_.substr(from, to - from));
    }
}

bool IniTextSource::Holds(size_t at, std::string_view bytes) const {
    return at <= bytes_.size() && bytes_.substr(at, bytes.size()) == bytes;
}

IniFileSource::IniFileSource(int fd, std::string path, size_t piece)
    : fd_(fd), path_(std::move(path)), piece_(std::max<size_t>(piece, 1)) {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        int error = errno;
        ::close(fd_);
        Fail(error);
    }
    size_ = static_cast<uint64_t>(info.st_size);
    modifiedNs_ = ModifiedNs(info);
}

IniFileSource::~IniFileSource() {
    ::close(fd_);
}

void IniFileSource::Fail(int error) const {
    throw Error(ReadErrorText(path_, error));
}

size_t IniFileSource::Read(char* into, size_t size, uint64_t at) const {
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::pread(fd_, into + done, size - done, static_cast<off_t>(at + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            Fail(errno);
        }
        if (n == 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    return done;
}

void IniFileSource::ForEachLine(const LineVisitor& visit) const {
    buffer_.resize(piece_);
    uint64_t base = 0;  // the place in the file of buffer_[0]
    size_t filled = Read(buffer_.data(), buffer_.size(), 0);
    bool ended = filled < buffer_.size();
    size_t pos = 0;  // the start of the next line in buffer_
    // The next CR and LF at or after pos in buffer_ (filled: none), searched for again only
    // once passed, as IniLineScanner does.
    size_t nextCr = kNoBreak;
    size_t nextLf = kNoBreak;
    auto find = [&](char c, size_t* cache) {
        if (*cache == kNoBreak || *cache < pos) {
            const void* hit = std::memchr(buffer_.data() + pos, c, filled - pos);
            *cache =
                hit ? static_cast<size_t>(static_cast<const char*>(hit) - buffer_.data()) : filled;
        }
        return *cache;
    };
    while (pos < filled || !ended) {
        const size_t lineBreak = std::min(find('\r', &nextCr), find('\n', &nextLf));
        // A CR at the end of the piece may be the first half of a CR LF.
        const bool whole =
            lineBreak < filled && !(buffer_[lineBreak] == '\r' && lineBreak + 1 == filled);
        if (!whole && !ended) {
            // The line goes on in the next piece: it moves to the front, and the buffer grows
            // when the line fills it.
            if (pos == 0) {
                const uint64_t rest = size_ > base ? size_ - base + 1 : 0;
                buffer_.resize(std::max<uint64_t>(buffer_.size() + piece_,
                                                  std::min<uint64_t>(2 * buffer_.size(), rest)));
            } else {
                std::memmove(buffer_.data(), buffer_.data() + pos, filled - pos);
                base += pos;
                filled -= pos;
                pos = 0;
            }
            const size_t wanted = buffer_.size() - filled;
            const size_t got = Read(buffer_.data() + filled, wanted, base + filled);
            filled += got;
            ended = got < wanted;
            nextCr = nextLf = kNoBreak;
            continue;
        }
        const std::string_view window(buffer_.data(), filled);
        IniLine line = ClassifyIniLine(window, pos, lineBreak);
        const std::string_view lineEnd = LastingBreak(line.lineBreak(window));
        pos = line.next;
        line.begin += base;
        line.end += base;
        line.next += base;
        if (!visit(line, lineEnd)) {
            break;
        }
    }
    if (buffer_.size() > piece_) {
        buffer_ = std::string();  // a long line's room is not kept for the copy
    }
}

void IniFileSource::Copy(size_t from, size_t to, const IniTextSink& write) const {
    buffer_.resize(std::max(buffer_.size(), piece_));
    while (from < to) {
        const size_t size = std::min(buffer_.size(), to - from);
        if (Read(buffer_.data(), size, from) < size) {
            Fail(EIO);  // the file was cut short while it was written from
        }
        write(std::string_view(buffer_.data(), size));
        from += size;
    }
}

bool IniFileSource::Holds(size_t at, std::string_view bytes) const {
    compared_.resize(std::min(bytes.size(), piece_));
    while (!bytes.empty()) {
        const size_t size = std::min(compared_.size(), bytes.size());
        if (Read(compared_.data(), size, at) < size ||
            bytes.substr(0, size) != std::string_view(compared_.data(), size)) {
            return false;
        }
        bytes.remove_prefix(size);
        at += size;
    }
    return true;
}

void IniFileSource::CheckUnchanged() const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        Fail(errno);
    }
    if (static_cast<uint64_t>(info.st_size) != size_ || ModifiedNs(info) != modifiedNs_) {
        Fail(EIO);
    }
}

}  // namespace brenvale
