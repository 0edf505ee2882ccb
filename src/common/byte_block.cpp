#include "common/byte_block.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "common/error.h"
#include "common/readable_file.h"

namespace brenvale {

namespace {

constexpr size_t kPage = 4096;
constexpr size_t kHugePage = 2 << 20;
// Smaller blocks come from the heap, which keeps memory it got back for the next block.
constexpr size_t kMapThreshold = 2 * kHugePage;

size_t RoundUp(size_t n, size_t unit) {
    return (n + unit - 1) / unit * unit;
}

// Maps size bytes starting on a huge-page boundary, so that the system can back the block
// with huge pages.
char* MapBlock(size_t size) {
    size_t padded = size + kHugePage;
    void* raw = ::mmap(nullptr, padded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        return nullptr;
    }
    auto begin = reinterpret_cast<uintptr_t>(raw);
    uintptr_t aligned = RoundUp(begin, kHugePage);
    if (aligned > begin) {
        ::munmap(raw, aligned - begin);
    }
    uintptr_t end = begin + padded;
    if (end > aligned + size) {
        ::munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    }
    // Only whole huge pages: the tail stays on small pages and costs no more than it holds.
    ::madvise(reinterpret_cast<void*>(aligned), size / kHugePage * kHugePage, MADV_HUGEPAGE);
    return reinterpret_cast<char*>(aligned);
}

}  // namespace

ByteBlock::ByteBlock(size_t size) : size_(size) {
    if (size >= kMapThreshold) {
        mapped_ = RoundUp(size, kPage);
        data_ = MapBlock(mapped_);
    } else {
        data_ = static_cast<char*>(std::malloc(size == 0 ? 1 : size));
    }
    if (!data_) {
        throw std::bad_alloc();
    }
}

ByteBlock::ByteBlock(ByteBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, 0)) {}

ByteBlock& ByteBlock::operator=(ByteBlock&& other) noexcept {
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mapped_ = std::exchange(other.mapped_, 0);
    }
    return *this;
}

ByteBlock::~ByteBlock() {
    release();
}

void ByteBlock::shrink(size_t size) {
    if (size >= size_) {
        return;
    }
    size_ = size;
    if (mapped_ == 0) {
        return;  // the heap keeps a small block whole
    }
    size_t keep = RoundUp(size == 0 ? 1 : size, kPage);
    if (keep < mapped_ && ::munmap(data_ + keep, mapped_ - keep) == 0) {
        mapped_ = keep;
    }
}

void ByteBlock::release() {
    if (!data_) {
        return;
    }
    if (mapped_ > 0) {
        ::munmap(data_, mapped_);
    } else {
        std::free(data_);
    }
    data_ = nullptr;
}

FileBlock ReadFileBlock(const std::string& path, size_t spare) {
    ReadableFile file(path);
    return ReadFileBlock(file, spare);
}

FileBlock ReadFileBlock(const ReadableFile& file, size_t spare) {
    size_t expected = file.size() > 0 ? static_cast<size_t>(file.size()) : 1 << 16;
    // One byte more than expected, so that the read that finds the end needs no new block.
    FileBlock block{ByteBlock(expected + 1 + spare), 0};
    for (;;) {
        size_t room = block.block.size() - spare - block.size;
        if (room == 0) {
            // The file grew while it was read: go on in a block twice the size.
            ByteBlock bigger(2 * block.block.size());
            std::memcpy(bigger.data(), block.block.data(), block.size);
            block.block = std::move(bigger);
            continue;
        }
        ssize_t n = ::read(file.fd(), block.block.data() + block.size, room);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw Error(ReadErrorText(file.path(), errno));
        }
        if (n == 0) {
            break;
        }
        block.size += static_cast<size_t>(n);
    }
    return block;
}

}  // namespace brenvale
