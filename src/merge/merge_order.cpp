#include "merge/merge_order.h"

namespace brenvale {

std::vector<uint32_t> MergeOrder(std::span<const uint32_t> ours, std::span<const uint32_t> theirs,
                                 std::span<const Placement> placement) {
    const uint32_t members = static_cast<uint32_t>(placement.size());
    const uint32_t head = members;  // the list's start, before every member
    constexpr uint32_t kEnd = UINT32_MAX;
    std::vector<uint32_t> next(members + 1, kEnd);
    std::vector<uint8_t> listed(members, 0);
    uint32_t tail = head;
    for (uint32_t m : ours) {
        next[tail] = m;
        tail = m;
        listed[m] = 1;
    }
    uint32_t previous = head;
    for (uint32_t m : theirs) {
        if (listed[m]) {
            previous = m;
            continue;
        }
        uint32_t at = previous;
        while (next[at] != kEnd && placement[next[at]] == Placement::Ours) {
            at = next[at];
        }
        next[m] = next[at];
        next[at] = m;
        listed[m] = 1;
        previous = m;
    }
    std::vector<uint32_t> order;
    order.reserve(members);
    for (uint32_t m = next[head]; m != kEnd; m = next[m]) {
        order.push_back(m);
    }
    for (uint32_t m = 0; m < members; ++m) {
        if (!listed[m]) {
            order.push_back(m);
        }
    }
    return order;
}

}  // namespace brenvale
