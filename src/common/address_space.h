#pragma once

#include <cstddef>

namespace brenvale {

// Whether the process may still map `bytes` more of address space. Under a limit of it
// (ulimit -v, prlimit --as) a document that only just fits leaves the program nothing to
// draw, paint or start a thread with; the test maps nothing that it keeps, and touches no
// memory.
bool AddressSpaceLeft(size_t bytes);

}  // namespace brenvale
