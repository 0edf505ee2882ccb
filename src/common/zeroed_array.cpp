#include "common/zeroed_array.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace brenvale {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
// From this size on a block is worth its own huge pages: a huge page fault clears 2 MB at
// once, where 4 KB pages take a fault each.
constexpr size_t kHugeBlock = size_t{4} << 20;

}  // namespace

void* MapZeroedPages(size_t bytes) {
    const bool huge = bytes >= kHugeBlock;
    const size_t mapped = huge ? bytes + kHugePage : bytes;
    void* pages =
        ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) {
        throw std::bad_alloc();
    }
    if (!huge) {
        return pages;
    }
    // Aligned to a huge page, the rest given back, so that every 2 MB of it can be one.
    auto start = reinterpret_cast<uintptr_t>(pages);
    uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > start) {
        ::munmap(pages, aligned - start);
    }
    const uintptr_t end = start + mapped;
    const auto page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    const uintptr_t used = aligned + (bytes + page - 1) / page * page;
    if (end > used) {
        ::munmap(reinterpret_cast<void*>(used), end - used);
    }
    // Only advice: where the system has no huge pages the block works as it is.
    ::madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void UnmapZeroedPages(void* pages, size_t bytes) {
    ::munmap(pages, bytes);
}

}  // namespace brenvale
