#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace brenvale {

// Which side decides where an element of a merged list goes.
enum class Placement : uint8_t {
    Base,    // neither side moved it
    Ours,    // ours added it or moved it
    Theirs,  // theirs added it or moved it, and ours left it where it was
};

// The order of a merged list's members (numbered 0 to members - 1): ours' order of what ours
// and the base place, with what theirs places put where theirs has it: right after the member
// that precedes it in theirs, and after whatever ours placed at that same spot (both sides
// adding at one place keeps both, ours first).
//   ours:   the members in ours' order, without those theirs places;
//   theirs: the members in theirs' order (those it does not hold are left out).
// A member in neither goes to the end. Linear in the members.
std::vector<uint32_t> MergeOrder(std::span<const uint32_t> ours, std::span<const uint32_t> theirs,
                                 std::span<const Placement> placement);

}  // namespace brenvale
