#include "merge/sequence_diff.h"

#include <gtest/gtest.h>

#include <random>

#include "merge/merge_order.h"

namespace brenvale {
namespace {

// The length of a longest common subsequence, the slow and sure way.
size_t LcsLength(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    std::vector<std::vector<size_t>> t(a.size() + 1, std::vector<size_t>(b.size() + 1, 0));
    for (size_t i = 1; i <= a.size(); ++i) {
        for (size_t j = 1; j <= b.size(); ++j) {
            t[i][j] =
                a[i - 1] == b[j - 1] ? t[i - 1][j - 1] + 1 : std::max(t[i - 1][j], t[i][j - 1]);
        }
    }
    return t[a.size()][b.size()];
}

// Pairs of equal elements with both indices increasing.
void ExpectCommonSubsequence(const std::vector<KeptPair>& pairs, const std::vector<uint32_t>& a,
                             const std::vector<uint32_t>& b) {
    for (size_t k = 0; k < pairs.size(); ++k) {
        ASSERT_LT(pairs[k].before, a.size());
        ASSERT_LT(pairs[k].after, b.size());
        EXPECT_EQ(a[pairs[k].before], b[pairs[k].after]);
        if (k > 0) {
            EXPECT_LT(pairs[k - 1].before, pairs[k].before);
            EXPECT_LT(pairs[k - 1].after, pairs[k].after);
        }
    }
}

TEST(SequenceDiff, KeepsALongestCommonSubsequence) {
    std::mt19937 rng(7);
    // Small alphabets repeat elements the way separators and recurring Items do.
    for (int round = 0; round < 400; ++round) {
        int alphabet = round % 4 == 0 ? 2 : round % 4 == 1 ? 4 : 30;
        auto random = [&](size_t n) {
            std::vector<uint32_t> v(n);
            for (uint32_t& x : v) {
                x = static_cast<uint32_t>(rng() % static_cast<unsigned>(alphabet));
            }
            return v;
        };
        std::vector<uint32_t> a = random(rng() % 40);
        std::vector<uint32_t> b = round % 2 ? random(rng() % 40) : a;
        for (int edits = static_cast<int>(rng() % 6); edits > 0 && !b.empty(); --edits) {
            size_t at = rng() % b.size();
            if (rng() % 2) {
                b.erase(b.begin() + static_cast<long>(at));
            } else {
                b.insert(b.begin() + static_cast<long>(at), static_cast<uint32_t>(rng() % 50));
            }
        }
        std::vector<KeptPair> pairs = DiffSequences(a, b);
        ExpectCommonSubsequence(pairs, a, b);
        EXPECT_EQ(pairs.size(), LcsLength(a, b)) << "round " << round;
    }
}

TEST(SequenceDiff, LongSequencesWithScatteredChangesAndUnrelatedOnes) {
    std::mt19937 rng(11);
    std::vector<uint32_t> a(200000);
    for (uint32_t& x : a) {
        x = static_cast<uint32_t>(rng() % 50);  // few distinct values, as captions repeat
    }
    std::vector<uint32_t> b = a;
    for (int k = 0; k < 100; ++k) {
        size_t at = rng() % b.size();
        b[at] = 1000 + static_cast<uint32_t>(k);
    }
    std::vector<KeptPair> pairs = DiffSequences(a, b);
    ExpectCommonSubsequence(pairs, a, b);
    EXPECT_GE(pairs.size(), a.size() - 100);

    // Nothing in common but the alphabet: the search gives up rather than taking quadratic
    // time, and what it keeps is still a common subsequence.
    std::vector<uint32_t> c(200000);
    for (uint32_t& x : c) {
        x = static_cast<uint32_t>(rng() % 50);
    }
    ExpectCommonSubsequence(DiffSequences(a, c), a, c);
}

TEST(SequenceDiff, LongestIncreasingPairsFindsWhatStayedInPlace) {
    // 3 moved to the front: the others stayed.
    std::vector<KeptPair> pairs{{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 4}};
    EXPECT_EQ(LongestIncreasingPairs(pairs), (std::vector<bool>{true, true, true, false, true}));
    EXPECT_TRUE(LongestIncreasingPairs({}).empty());
}

TEST(MergeOrder, TheirsGoesAfterItsPredecessorAndAfterOursThere) {
    using P = Placement;
    // Members: 0 a, 1 b (base), 2 ours' new, 3 theirs' new, 4 moved by theirs.
    std::vector<P> placement{P::Base, P::Base, P::Ours, P::Theirs, P::Theirs};
    // ours: a, new, b; theirs: 4, a, 3, b.
    EXPECT_EQ(
        MergeOrder(std::vector<uint32_t>{0, 2, 1}, std::vector<uint32_t>{4, 0, 3, 1}, placement),
        (std::vector<uint32_t>{4, 0, 2, 3, 1}));
    // A member neither side lists goes last.
    EXPECT_EQ(MergeOrder(std::vector<uint32_t>{0}, std::vector<uint32_t>{},
                         std::vector<P>{P::Base, P::Ours}),
              (std::vector<uint32_t>{0, 1}));
}

}  // namespace
}  // namespace brenvale
