#include "exchange/import_source.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/error.h"
#include "common/path.h"
#include "common/readable_file.h"

namespace brenvale {

ImportSource::ImportSource(const std::string& path)
    : file_(std::make_unique<ReadableFile>(path)),
      name_(FileNamePart(path)),
      size_(file_->size()) {}

ImportSource::ImportSource(std::string_view bytes, std::string name, size_t piece)
    : bytes_(bytes), piece_(piece), name_(std::move(name)), size_(bytes.size()) {}

ImportSource::~ImportSource() = default;

std::string ImportSource::start(size_t bytes) const {
    if (!file_) {
        return std::string(bytes_.substr(0, bytes));
    }
    // Read at its offset, so that the reads that follow still begin at the start.
    std::string start(bytes, '\0');
    size_t filled = 0;
    while (filled < start.size()) {
        ssize_t n = ::pread(file_->fd(), start.data() + filled, start.size() - filled,
                            static_cast<off_t>(filled));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw Error(ReadErrorText(file_->path(), errno));
        }
        if (n == 0) {
            break;
        }
        filled += static_cast<size_t>(n);
    }
    start.resize(filled);
    return start;
}

size_t ImportSource::read(char* into, size_t room) {
    if (file_) {
        return ReadFully(file_->fd(), into, room, file_->path());
    }
    size_t n = std::min({room, piece_, bytes_.size()});
    if (n > 0) {
        std::memcpy(into, bytes_.data(), n);
        bytes_.remove_prefix(n);
    }
    return n;
}

FileBlock ImportSource::rest(size_t spare) {
    if (file_) {
        return ReadFileBlock(*file_, spare);
    }
    FileBlock block{ByteBlock(bytes_.size() + spare), bytes_.size()};
    if (!bytes_.empty()) {
        std::memcpy(block.block.data(), bytes_.data(), bytes_.size());
    }
    bytes_ = {};
    return block;
}

}  // namespace brenvale
