#include "merge/item_matching.h"

#include <algorithm>

#include "merge/sequence_diff.h"
#include "merge/text_keys.h"

namespace brenvale {

bool SameItems(const ItemList& a, const ItemList& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].stored() != b[i].stored()) {
            return false;
        }
    }
    return true;
}

namespace {

// Where each character of a CP932 text starts: a lead byte (0x81-0x9F, 0xE0-0xFC) takes the
// byte after it along.
std::vector<size_t> CharacterStarts(std::string_view text) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size();) {
        starts.push_back(i);
        auto c = static_cast<unsigned char>(text[i]);
        bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        i += lead && i + 1 < text.size() ? 2 : 1;
    }
    return starts;
}

}  // namespace

namespace {

// The characters two texts share at their start and at their end, and their lengths.
struct SharedEnds {
    size_t shared, a, b;
};

SharedEnds Ends(std::string_view a, std::string_view b) {
    // Compared by characters, not bytes: two kanji often share a byte.
    std::vector<size_t> ca = CharacterStarts(a);
    std::vector<size_t> cb = CharacterStarts(b);
    auto character = [](std::string_view text, const std::vector<size_t>& starts, size_t k) {
        size_t end = k + 1 < starts.size() ? starts[k + 1] : text.size();
        return text.substr(starts[k], end - starts[k]);
    };
    size_t shorter = std::min(ca.size(), cb.size());
    size_t prefix = 0;
    while (prefix < shorter && character(a, ca, prefix) == character(b, cb, prefix)) {
        ++prefix;
    }
    size_t suffix = 0;
    while (prefix + suffix < shorter &&
           character(a, ca, ca.size() - 1 - suffix) == character(b, cb, cb.size() - 1 - suffix)) {
        ++suffix;
    }
    return {prefix + suffix, ca.size(), cb.size()};
}

}  // namespace

bool SimilarTexts(std::string_view a, std::string_view b) {
    SharedEnds e = Ends(a, b);
    return 2 * e.shared >= std::min(e.a, e.b);
}

double TextAffinity(std::string_view a, std::string_view b) {
    SharedEnds e = Ends(a, b);
    size_t longer = std::max(e.a, e.b);
    return longer == 0 ? 1.0 : static_cast<double>(e.shared) / static_cast<double>(longer);
}

namespace {

class ItemMatcher {
public:
    ItemMatcher(const ItemList& before, const ItemList& after)
        : before_(before),
          after_(after),
          stored_(before.size() + after.size()),
          texts_(before.size() + after.size()) {
        match_.toAfter.assign(before.size(), -1);
        match_.toBefore.assign(after.size(), -1);
        match_.moved.assign(before.size(), 0);
    }

    ItemMatch run() {
        std::vector<uint32_t> sa = keysOf(before_, stored_, true);
        std::vector<uint32_t> sb = keysOf(after_, stored_, true);
        std::vector<KeptPair> kept = DiffSequences(sa, sb);
        for (const KeptPair& p : kept) {
            pair(p.before, p.after);
        }
        if (kept.size() < before_.size() && kept.size() < after_.size()) {
            std::vector<uint32_t> a = keysOf(before_, texts_, false);
            std::vector<uint32_t> b = keysOf(after_, texts_, false);
            pairTicked(kept, a, b);
            pairMoved(a, b);
            pairEdited(kept);
        }
        markMoved();
        return std::move(match_);
    }

private:
    std::vector<uint32_t> keysOf(const ItemList& list, TextKeys& keys, bool whole) {
        std::vector<uint32_t> out(list.size());
        for (size_t i = 0; i < list.size(); ++i) {
            out[i] = keys.key(whole ? list[i].stored() : list[i].text());
        }
        return out;
    }

    // Calls fn(a0, a1, b0, b1) for each stretch between the pairs kept by the diff.
    template <typename Fn>
    void forEachGap(const std::vector<KeptPair>& kept, Fn&& fn) {
        size_t a0 = 0, b0 = 0;
        for (size_t k = 0; k <= kept.size(); ++k) {
            size_t a1 = k < kept.size() ? kept[k].before : before_.size();
            size_t b1 = k < kept.size() ? kept[k].after : after_.size();
            if (a0 < a1 && b0 < b1) {
                fn(a0, a1, b0, b1);
            }
            a0 = a1 + 1;
            b0 = b1 + 1;
        }
    }

    // The diff compares whole stored forms, so that among equal texts (separators) the one
    // with the same mark is kept. Within each stretch it left, equal texts pair in order:
    // Items ticked or unticked.
    void pairTicked(const std::vector<KeptPair>& kept, const std::vector<uint32_t>& a,
                    const std::vector<uint32_t>& b) {
        forEachGap(kept, [&](size_t a0, size_t a1, size_t b0, size_t b1) {
            std::vector<KeptPair> same =
                DiffSequences({a.data() + a0, a1 - a0}, {b.data() + b0, b1 - b0});
            for (const KeptPair& p : same) {
                pair(a0 + p.before, b0 + p.after);
            }
        });
    }

    void pair(size_t b, size_t a) {
        match_.toAfter[b] = static_cast<int32_t>(a);
        match_.toBefore[a] = static_cast<int32_t>(b);
        pairs_.push_back({static_cast<uint32_t>(b), static_cast<uint32_t>(a)});
    }

    // Equal texts left on both sides, in order per text.
    void pairMoved(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
        std::vector<std::pair<uint32_t, uint32_t>> free;  // key, Item
        for (size_t i = 0; i < a.size(); ++i) {
            if (match_.toAfter[i] < 0) {
                free.emplace_back(a[i], static_cast<uint32_t>(i));
            }
        }
        std::sort(free.begin(), free.end());
        for (size_t j = 0; j < b.size(); ++j) {
            if (match_.toBefore[j] >= 0) {
                continue;
            }
            auto it = std::lower_bound(free.begin(), free.end(), std::make_pair(b[j], 0u));
            for (; it != free.end() && it->first == b[j]; ++it) {
                if (match_.toAfter[it->second] < 0) {
                    pair(it->second, j);
                    break;
                }
            }
        }
    }

    // Within each stretch between Items the diff kept, what is left on both sides pairs in
    // order where the texts mostly agree. Each Item looks at a few candidates only, so that a
    // long stretch of unrelated texts costs linear time.
    static constexpr size_t kLookAhead = 8;
    void pairEdited(const std::vector<KeptPair>& kept) {
        forEachGap(kept, [&](size_t a0, size_t a1, size_t b0, size_t b1) {
            size_t next = b0;
            for (size_t i = a0; i < a1; ++i) {
                if (match_.toAfter[i] >= 0) {
                    continue;
                }
                size_t looked = 0;
                for (size_t j = next; j < b1 && looked < kLookAhead; ++j) {
                    if (match_.toBefore[j] >= 0) {
                        continue;
                    }
                    ++looked;
                    if (SimilarTexts(before_[i].text(), after_[j].text())) {
                        pair(i, j);
                        next = j + 1;
                        break;
                    }
                }
            }
        });
    }

    void markMoved() {
        std::vector<bool> inOrder = LongestIncreasingPairs(pairs_);
        for (size_t k = 0; k < pairs_.size(); ++k) {
            if (!inOrder[k]) {
                match_.moved[pairs_[k].before] = 1;
            }
        }
    }

    const ItemList& before_;
    const ItemList& after_;
    TextKeys stored_;
    TextKeys texts_;
    ItemMatch match_;
    std::vector<KeptPair> pairs_;
};

}  // namespace

ItemMatch MatchItems(const ItemList& before, const ItemList& after) {
    if (SameItems(before, after)) {
        ItemMatch same;
        same.toAfter.resize(before.size());
        same.toBefore.resize(after.size());
        for (size_t i = 0; i < before.size(); ++i) {
            same.toAfter[i] = same.toBefore[i] = static_cast<int32_t>(i);
        }
        same.moved.assign(before.size(), 0);
        return same;
    }
    return ItemMatcher(before, after).run();
}

}  // namespace brenvale
