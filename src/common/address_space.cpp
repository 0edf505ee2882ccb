#include "common/address_space.h"

#include <sys/mman.h>

namespace brenvale {

bool AddressSpaceLeft(size_t bytes) {
    void* room =
        ::mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (room == MAP_FAILED) {
        return false;
    }
    ::munmap(room, bytes);
    return true;
}

}  // namespace brenvale
