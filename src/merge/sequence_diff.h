#pragma once

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace brenvale {

// Elements of two sequences compared by key: equal keys are equal elements.
using SequenceKeys = std::span<const uint32_t>;

// A pair of equal elements kept by a diff: index in the old sequence, index in the new one.
struct KeptPair {
    uint32_t before;
    uint32_t after;
    bool operator==(const KeptPair&) const = default;
};

// The elements a shortest edit script keeps, in order (both indices increase), found by
// Myers' algorithm searching from both ends in linear space after stripping the common
// prefix and suffix: about n + m + d² for d scattered changes, O((n + m)·d) at worst. A part
// that would cost much more than that (two long sequences with little in common) is given up
// as changed throughout, so a diff never takes quadratic time.
std::vector<KeptPair> DiffSequences(SequenceKeys before, SequenceKeys after);

// Of the pairs given (each index used once), which ones form a longest run in which both
// indices increase: the elements that stayed in place while the others moved around them.
// Returns one flag per pair. O(k log k).
std::vector<bool> LongestIncreasingPairs(std::span<const KeptPair> pairs);

}  // namespace brenvale
