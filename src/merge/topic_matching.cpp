#include "merge/topic_matching.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <iterator>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>

#include "document/item.h"
#include "merge/item_matching.h"
#include "merge/sequence_diff.h"

namespace brenvale {

namespace {

// Thresholds of Contents::similarity: a Topic found under the same caption elsewhere may have
// changed more than one that kept its place under a new caption.
constexpr double kMovedSimilarity = 0.3;
constexpr double kRenamedSimilarity = 0.5;
// Candidates of the same caption looked at for each Topic left over.
constexpr size_t kCandidatesPerCaption = 8;

size_t HashOf(std::string_view text) {
    return std::hash<std::string_view>{}(text);
}

// What a Topic holds, as a sorted bag of hashes: its Items' texts (ticks aside) and its
// children's captions.
std::vector<size_t> Contents(const FlatTree& tree, int32_t i) {
    std::vector<size_t> bag;
    const ItemList& items = tree.items(i);
    for (size_t k = 0; k < items.size(); ++k) {
        bag.push_back(HashOf(items[k].text()));
    }
    tree.forEachChild(
        i, [&](int32_t c) { bag.push_back(HashOf(tree.caption(c)) ^ 0x9E3779B97F4A7C15ull); });
    std::sort(bag.begin(), bag.end());
    return bag;
}

// The share of two bags that they have in common (1 for two empty ones).
double Similarity(const std::vector<size_t>& a, const std::vector<size_t>& b) {
    if (a.empty() && b.empty()) {
        return 1.0;
    }
    size_t common = 0;
    for (size_t i = 0, j = 0; i < a.size() && j < b.size();) {
        if (a[i] < b[j]) {
            ++i;
        } else if (b[j] < a[i]) {
            ++j;
        } else {
            ++common;
            ++i;
            ++j;
        }
    }
    return 2.0 * static_cast<double>(common) / static_cast<double>(a.size() + b.size());
}

class Matcher {
public:
    Matcher(const FlatTree& before, const FlatTree& after, bool alonePairs)
        : before_(before), after_(after), alonePairs_(alonePairs) {
        match_.toAfter.assign(before.size(), kNoTopic);
        match_.toBefore.assign(after.size(), kNoTopic);
    }

    TopicMatch run() {
        for (const KeptPair& p : DiffSequences(before_.captionKey, after_.captionKey)) {
            pair(static_cast<int32_t>(p.before), static_cast<int32_t>(p.after));
        }
        if (leftOnBothSides()) {
            byCaption();
            byPlace();
            byContents();
        }
        return std::move(match_);
    }

private:
    void pair(int32_t b, int32_t a) {
        match_.toAfter[static_cast<size_t>(b)] = a;
        match_.toBefore[static_cast<size_t>(a)] = b;
    }
    bool freeBefore(int32_t b) const { return match_.toAfter[static_cast<size_t>(b)] == kNoTopic; }
    bool freeAfter(int32_t a) const { return match_.toBefore[static_cast<size_t>(a)] == kNoTopic; }

    bool leftOnBothSides() const {
        auto anyFree = [](const std::vector<int32_t>& v) {
            return std::find(v.begin(), v.end(), kNoTopic) != v.end();
        };
        return anyFree(match_.toAfter) && anyFree(match_.toBefore);
    }

    // Topics moved elsewhere: the same caption. A caption that only one Topic left over on
    // each side has pairs them whatever they hold; among several, the one whose contents
    // agree best, if they mostly agree.
    void byCaption() {
        std::vector<std::pair<uint32_t, int32_t>> free;  // caption key, Topic
        for (size_t b = 0; b < before_.size(); ++b) {
            if (freeBefore(static_cast<int32_t>(b))) {
                free.emplace_back(before_.captionKey[b], static_cast<int32_t>(b));
            }
        }
        std::sort(free.begin(), free.end());
        std::vector<uint32_t> freeAfterKeys;
        for (size_t a = 0; a < after_.size(); ++a) {
            if (freeAfter(static_cast<int32_t>(a))) {
                freeAfterKeys.push_back(after_.captionKey[a]);
            }
        }
        std::sort(freeAfterKeys.begin(), freeAfterKeys.end());
        std::unordered_map<uint32_t, size_t> firstFree;  // per caption, within its candidates
        for (size_t a = 0; a < after_.size(); ++a) {
            if (!freeAfter(static_cast<int32_t>(a))) {
                continue;
            }
            uint32_t key = after_.captionKey[a];
            auto it = std::lower_bound(free.begin(), free.end(), std::make_pair(key, int32_t{-1}));
            auto keys = std::equal_range(freeAfterKeys.begin(), freeAfterKeys.end(), key);
            if (keys.second - keys.first == 1 && it != free.end() && it->first == key &&
                (it + 1 == free.end() || (it + 1)->first != key)) {
                if (freeBefore(it->second)) {
                    pair(it->second, static_cast<int32_t>(a));
                }
                continue;
            }
            // Each caption's candidates are looked at from the first one still free on, and
            // only a few of them: a caption that thousands of Topics share costs no more.
            size_t& first = firstFree[key];
            while (it + static_cast<std::ptrdiff_t>(first) != free.end() &&
                   (it + static_cast<std::ptrdiff_t>(first))->first == key &&
                   !freeBefore((it + static_cast<std::ptrdiff_t>(first))->second)) {
                ++first;
            }
            it += static_cast<std::ptrdiff_t>(first);
            int32_t best = kNoTopic;
            double bestSimilarity = kMovedSimilarity;
            std::optional<std::vector<size_t>> mine;
            for (size_t looked = 0;
                 it != free.end() && it->first == key && looked < 4 * kCandidatesPerCaption;
                 ++it, ++looked) {
                if (!freeBefore(it->second)) {
                    continue;
                }
                if (!mine) {
                    mine = Contents(after_, static_cast<int32_t>(a));
                }
                double s = Similarity(contentsBefore(it->second), *mine);
                if (s >= bestSimilarity && (best == kNoTopic || s > bestSimilarity)) {
                    best = it->second;
                    bestSimilarity = s;
                }
            }
            if (best != kNoTopic) {
                pair(best, static_cast<int32_t>(a));
            }
        }
    }

    // Topics renamed and moved at once: what is left pairs where the Items and children
    // mostly agree, the best agreement first. Found through the hashes they share; a hash that
    // many Topics hold (a separator) is no clue.
    void byContents() {
        constexpr size_t kCommonHash = 64;
        std::vector<std::pair<size_t, int32_t>> holders;  // hash, Topic of the older version
        for (size_t b = 0; b < before_.size(); ++b) {
            if (!freeBefore(static_cast<int32_t>(b))) {
                continue;
            }
            const std::vector<size_t>& bag = contentsBefore(static_cast<int32_t>(b));
            for (size_t k = 0; k < bag.size(); ++k) {
                if (k == 0 || bag[k] != bag[k - 1]) {
                    holders.emplace_back(bag[k], static_cast<int32_t>(b));
                }
            }
        }
        if (holders.empty()) {
            return;
        }
        std::sort(holders.begin(), holders.end());
        std::vector<int32_t> candidates;
        for (size_t a = 0; a < after_.size(); ++a) {
            if (!freeAfter(static_cast<int32_t>(a))) {
                continue;
            }
            std::vector<size_t> mine = Contents(after_, static_cast<int32_t>(a));
            candidates.clear();
            for (size_t k = 0; k < mine.size(); ++k) {
                if (k > 0 && mine[k] == mine[k - 1]) {
                    continue;
                }
                auto [from, to] = std::equal_range(
                    holders.begin(), holders.end(), std::make_pair(mine[k], int32_t{-1}),
                    [](const auto& x, const auto& y) { return x.first < y.first; });
                if (to - from > static_cast<std::ptrdiff_t>(kCommonHash)) {
                    continue;
                }
                for (auto it = from; it != to; ++it) {
                    candidates.push_back(it->second);
                }
            }
            std::sort(candidates.begin(), candidates.end());
            candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
            int32_t best = kNoTopic;
            double bestSimilarity = kRenamedSimilarity;
            for (int32_t b : candidates) {
                if (!freeBefore(b)) {
                    continue;
                }
                double s = Similarity(contentsBefore(b), mine);
                if (s > bestSimilarity || (s == bestSimilarity && best == kNoTopic)) {
                    best = b;
                    bestSimilarity = s;
                }
            }
            if (best != kNoTopic) {
                pair(best, static_cast<int32_t>(a));
            }
        }
    }

    // Renamed Topics: left over under a pair of matched parents. The pairs whose captions or
    // contents agree best go first; then a Topic left alone between two siblings that stayed,
    // with one left alone between them in the older version, pairs with it whatever they hold
    // (see alonePairs). Parents come before their children in tree order, so a Topic paired
    // here lets its own children be paired too.
    void byPlace() {
        std::vector<int32_t> siblings, children, left, right;
        auto walk = [&](int32_t parentAfter, int32_t parentBefore) {
            siblings.clear();
            children.clear();
            before_.forEachChild(parentBefore, [&](int32_t c) { siblings.push_back(c); });
            after_.forEachChild(parentAfter, [&](int32_t c) { children.push_back(c); });
            left.clear();
            right.clear();
            std::copy_if(siblings.begin(), siblings.end(), std::back_inserter(left),
                         [&](int32_t c) { return freeBefore(c); });
            std::copy_if(children.begin(), children.end(), std::back_inserter(right),
                         [&](int32_t c) { return freeAfter(c); });
            pairGap(left, right);
            if (alonePairs_) {
                pairAlone(siblings, children, parentBefore);
            }
        };
        walk(kNoTopic, kNoTopic);
        for (size_t a = 0; a < after_.size(); ++a) {
            int32_t b = match_.toBefore[a];
            if (b != kNoTopic && after_.hasChildren(static_cast<int32_t>(a))) {
                walk(static_cast<int32_t>(a), b);
            }
        }
    }

    void pairAlone(const std::vector<int32_t>& siblings, const std::vector<int32_t>& children,
                   int32_t parentBefore) {
        // Where a child's counterpart stands among the older siblings; -1 when it has none
        // there (new, or moved in from elsewhere).
        auto position = [&](int32_t a) -> int64_t {
            int32_t b = match_.toBefore[static_cast<size_t>(a)];
            if (b == kNoTopic || before_.parent[static_cast<size_t>(b)] != parentBefore) {
                return -1;
            }
            return std::lower_bound(siblings.begin(), siblings.end(), b) - siblings.begin();
        };
        // The neighbours looked at are few, so that long lists of siblings cost linear time.
        constexpr size_t kReach = 64;
        for (size_t k = 0; k < children.size(); ++k) {
            if (!freeAfter(children[k]) || (k > 0 && freeAfter(children[k - 1])) ||
                (k + 1 < children.size() && freeAfter(children[k + 1]))) {
                continue;
            }
            int64_t low = -1;
            size_t j = k;
            for (; j > 0 && k - j < kReach && low < 0; --j) {
                low = position(children[j - 1]);
            }
            int64_t high = static_cast<int64_t>(siblings.size());
            size_t m = k + 1;
            for (; m < children.size() && m - k <= kReach; ++m) {
                if (int64_t p = position(children[m]); p >= 0) {
                    high = p;
                    break;
                }
            }
            bool bounded = (low >= 0 || j == 0) &&
                           (high < static_cast<int64_t>(siblings.size()) || m == children.size());
            if (!bounded || high - low > static_cast<int64_t>(kReach)) {
                continue;
            }
            int32_t only = kNoTopic;
            size_t count = 0;
            for (int64_t i = low + 1; i < high; ++i) {
                if (freeBefore(siblings[static_cast<size_t>(i)])) {
                    only = siblings[static_cast<size_t>(i)];
                    ++count;
                }
            }
            if (count == 1) {
                pair(only, children[k]);
            }
        }
    }

    void pairGap(std::span<const int32_t> before, std::span<const int32_t> after) {
        if (before.empty() || after.empty()) {
            return;
        }
        // Large gaps (versions with little in common) compare captions in order only.
        constexpr size_t kScoredPairs = 4096;
        struct Candidate {
            double score;
            size_t b, a;
        };
        std::vector<Candidate> candidates;
        bool scoreContents = before.size() * after.size() <= kScoredPairs;
        std::vector<const std::vector<size_t>*> bags;
        if (scoreContents) {
            for (int32_t b : before) {
                bags.push_back(&contentsBefore(b));
            }
        }
        for (size_t j = 0; j < after.size(); ++j) {
            std::vector<size_t> mine =
                scoreContents ? Contents(after_, after[j]) : std::vector<size_t>{};
            size_t from = scoreContents ? 0 : std::min(j, before.size() - 1);
            size_t to = scoreContents ? before.size() : from + 1;
            for (size_t i = from; i < to; ++i) {
                double caption = TextAffinity(before_.caption(before[i]), after_.caption(after[j]));
                // Two empty Topics prove nothing by their contents.
                double contents = scoreContents && !bags[i]->empty() && !mine.empty()
                                      ? Similarity(*bags[i], mine)
                                      : 0.0;
                if (caption >= kRenamedSimilarity || contents >= kRenamedSimilarity) {
                    candidates.push_back({std::max(caption, contents), i, j});
                }
            }
        }
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](const Candidate& x, const Candidate& y) { return x.score > y.score; });
        for (const Candidate& c : candidates) {
            if (freeBefore(before[c.b]) && freeAfter(after[c.a])) {
                pair(before[c.b], after[c.a]);
            }
        }
    }

    // The contents of a Topic of the older version, worked out once: a Topic left over may be
    // a candidate for many.
    const std::vector<size_t>& contentsBefore(int32_t b) {
        if (bagOf_.empty()) {
            bagOf_.assign(before_.size(), -1);
        }
        int32_t& bag = bagOf_[static_cast<size_t>(b)];
        if (bag < 0) {
            bag = static_cast<int32_t>(bags_.size());
            bags_.push_back(Contents(before_, b));
        }
        return bags_[static_cast<size_t>(bag)];
    }

    const FlatTree& before_;
    const FlatTree& after_;
    const bool alonePairs_;
    TopicMatch match_;
    std::vector<int32_t> bagOf_;  // per Topic of the older version: its bag in bags_, or -1
    std::deque<std::vector<size_t>> bags_;
};

}  // namespace

TopicMatch MatchTopics(const FlatTree& before, const FlatTree& after, bool alonePairs) {
    return Matcher(before, after, alonePairs).run();
}

int32_t ParentBefore(const FlatTree& after, const TopicMatch& match, int32_t i) {
    int32_t p = after.parent[static_cast<size_t>(i)];
    if (p == kNoTopic) {
        return kNoTopic;
    }
    int32_t q = match.toBefore[static_cast<size_t>(p)];
    return q == kNoTopic ? kNewParent : q;
}

std::vector<TopicMove> TopicMoves(const FlatTree& before, const FlatTree& after,
                                  const TopicMatch& match) {
    std::vector<TopicMove> moves(before.size(), TopicMove::InPlace);
    std::vector<KeptPair> stayed;
    auto siblingsOf = [&](int32_t parentAfter) {
        stayed.clear();
        after.forEachChild(parentAfter, [&](int32_t a) {
            int32_t b = match.toBefore[static_cast<size_t>(a)];
            if (b == kNoTopic) {
                return;
            }
            if (ParentBefore(after, match, a) != before.parent[static_cast<size_t>(b)]) {
                moves[static_cast<size_t>(b)] = TopicMove::Reparented;
                return;
            }
            stayed.push_back({static_cast<uint32_t>(b), static_cast<uint32_t>(a)});
        });
        std::vector<bool> inOrder = LongestIncreasingPairs(stayed);
        for (size_t k = 0; k < stayed.size(); ++k) {
            if (!inOrder[k]) {
                moves[stayed[k].before] = TopicMove::Reordered;
            }
        }
    };
    siblingsOf(kNoTopic);
    for (size_t a = 0; a < after.size(); ++a) {
        if (after.hasChildren(static_cast<int32_t>(a))) {
            siblingsOf(static_cast<int32_t>(a));
        }
    }
    return moves;
}

}  // namespace brenvale
