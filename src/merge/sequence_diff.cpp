#include "merge/sequence_diff.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>
#include <optional>

namespace brenvale {

namespace {

// The part of both sequences still to compare: before[a0, a1) against after[b0, b1).
struct Box {
    size_t a0, a1, b0, b1;
};

struct Split {
    size_t x, y;  // counted from the box's start
};

// How far the search from both ends may go before a part is given up as changed throughout:
// enough for hundreds of scattered changes, and at most a few times the part's length of work
// when the two have little in common.
int64_t CostLimit(size_t length) {
    double root = 2.0 * std::sqrt(static_cast<double>(length));
    return static_cast<int64_t>(std::clamp(root, 256.0, 1024.0));
}

class SequenceDiffer {
public:
    SequenceDiffer(SequenceKeys before, SequenceKeys after)
        : a_(before), b_(after), keptA_(before.size()), keptB_(after.size()) {}

    std::vector<KeptPair> run() {
        std::vector<Box> boxes{{0, a_.size(), 0, b_.size()}};
        while (!boxes.empty()) {
            Box box = boxes.back();
            boxes.pop_back();
            trim(box);
            if (box.a0 == box.a1 || box.b0 == box.b1) {
                continue;  // what is left on either side is all inserted or all deleted
            }
            std::optional<Split> split = findSplit(box);
            if (!split) {
                continue;
            }
            boxes.push_back({box.a0 + split->x, box.a1, box.b0 + split->y, box.b1});
            boxes.push_back({box.a0, box.a0 + split->x, box.b0, box.b0 + split->y});
        }
        // The kept elements of both sequences pair up in order.
        std::vector<KeptPair> pairs;
        size_t j = 0;
        for (size_t i = 0; i < keptA_.size(); ++i) {
            if (!keptA_[i]) {
                continue;
            }
            while (!keptB_[j]) {
                ++j;
            }
            pairs.push_back({static_cast<uint32_t>(i), static_cast<uint32_t>(j++)});
        }
        return pairs;
    }

private:
    void trim(Box& box) {
        while (box.a0 < box.a1 && box.b0 < box.b1 && a_[box.a0] == b_[box.b0]) {
            keptA_[box.a0++] = 1;
            keptB_[box.b0++] = 1;
        }
        while (box.a0 < box.a1 && box.b0 < box.b1 && a_[box.a1 - 1] == b_[box.b1 - 1]) {
            keptA_[--box.a1] = 1;
            keptB_[--box.b1] = 1;
        }
    }

    // The middle of a shortest edit path through the box, searched from its start and from
    // its end at once: where the two searches meet. Nothing once the cost limit is passed.
    std::optional<Split> findSplit(const Box& box) {
        const uint32_t* a = a_.data() + box.a0;
        const uint32_t* b = b_.data() + box.b0;
        const int64_t n = static_cast<int64_t>(box.a1 - box.a0);
        const int64_t m = static_cast<int64_t>(box.b1 - box.b0);
        const int64_t maxD = std::min((n + m + 1) / 2, CostLimit(static_cast<size_t>(n + m)));
        const int64_t offset = maxD + 1;
        const int64_t size = 2 * maxD + 3;
        forward_.assign(static_cast<size_t>(size), -1);
        backward_.assign(static_cast<size_t>(size), -1);
        int64_t* v1 = forward_.data();
        int64_t* v2 = backward_.data();
        v1[offset + 1] = 0;
        v2[offset + 1] = 0;
        const int64_t delta = n - m;
        const bool front = (delta & 1) != 0;
        int64_t k1start = 0, k1end = 0, k2start = 0, k2end = 0;
        auto found = [&](int64_t x, int64_t y) -> std::optional<Split> {
            // A split at either corner would leave the box as it was.
            if (x + y <= 0 || x + y >= n + m) {
                return std::nullopt;
            }
            return Split{static_cast<size_t>(x), static_cast<size_t>(y)};
        };
        for (int64_t d = 0; d < maxD; ++d) {
            for (int64_t k1 = -d + k1start; k1 <= d - k1end; k1 += 2) {
                int64_t i = offset + k1;
                int64_t x1 =
                    (k1 == -d || (k1 != d && v1[i - 1] < v1[i + 1])) ? v1[i + 1] : v1[i - 1] + 1;
                int64_t y1 = x1 - k1;
                while (x1 < n && y1 < m && a[x1] == b[y1]) {
                    ++x1;
                    ++y1;
                }
                v1[i] = x1;
                if (x1 > n) {
                    k1end += 2;
                } else if (y1 > m) {
                    k1start += 2;
                } else if (front) {
                    int64_t j = offset + delta - k1;
                    if (j >= 0 && j < size && v2[j] != -1 && x1 >= n - v2[j]) {
                        return found(x1, y1);
                    }
                }
            }
            for (int64_t k2 = -d + k2start; k2 <= d - k2end; k2 += 2) {
                int64_t i = offset + k2;
                int64_t x2 =
                    (k2 == -d || (k2 != d && v2[i - 1] < v2[i + 1])) ? v2[i + 1] : v2[i - 1] + 1;
                int64_t y2 = x2 - k2;
                while (x2 < n && y2 < m && a[n - x2 - 1] == b[m - y2 - 1]) {
                    ++x2;
                    ++y2;
                }
                v2[i] = x2;
                if (x2 > n) {
                    k2end += 2;
                } else if (y2 > m) {
                    k2start += 2;
                } else if (!front) {
                    int64_t j = offset + delta - k2;
                    if (j >= 0 && j < size && v1[j] != -1) {
                        int64_t x1 = v1[j];
                        int64_t y1 = offset + x1 - j;
                        if (x1 >= n - x2) {
                            return found(x1, y1);
                        }
                    }
                }
            }
        }
        return std::nullopt;
    }

    SequenceKeys a_;
    SequenceKeys b_;
    std::vector<uint8_t> keptA_;
    std::vector<uint8_t> keptB_;
    std::vector<int64_t> forward_;
    std::vector<int64_t> backward_;
};

}  // namespace

std::vector<KeptPair> DiffSequences(SequenceKeys before, SequenceKeys after) {
    return SequenceDiffer(before, after).run();
}

std::vector<bool> LongestIncreasingPairs(std::span<const KeptPair> pairs) {
    std::vector<uint32_t> order(pairs.size());
    std::iota(order.begin(), order.end(), 0u);
    if (!std::is_sorted(pairs.begin(), pairs.end(),
                        [](const KeptPair& x, const KeptPair& y) { return x.before < y.before; })) {
        std::sort(order.begin(), order.end(),
                  [&](uint32_t x, uint32_t y) { return pairs[x].before < pairs[y].before; });
    }
    // Patience sorting on the second index: tails[k] ends the best run of length k + 1.
    std::vector<uint32_t> tails;
    std::vector<int64_t> previous(pairs.size(), -1);
    for (uint32_t p : order) {
        auto at =
            std::lower_bound(tails.begin(), tails.end(), pairs[p].after,
                             [&](uint32_t t, uint32_t after) { return pairs[t].after < after; });
        if (at != tails.begin()) {
            previous[p] = *(at - 1);
        }
        if (at == tails.end()) {
            tails.push_back(p);
        } else {
            *at = p;
        }
    }
    std::vector<bool> inRun(pairs.size(), false);
    for (int64_t p = tails.empty() ? int64_t{-1} : int64_t{tails.back()}; p >= 0;
         p = previous[static_cast<size_t>(p)]) {
        inRun[static_cast<size_t>(p)] = true;
    }
    return inRun;
}

}  // namespace brenvale
