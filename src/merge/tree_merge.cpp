#include "merge/tree_merge.h"

#include <algorithm>
#include <tuple>

#include "merge/conflict_mark.h"
#include "merge/item_matching.h"
#include "merge/merge_order.h"

namespace brenvale {

namespace {

// Which version a Topic's parent in the merged tree comes from.
enum class ParentFrom : uint8_t { Base, Ours, Theirs };

// Every Topic of the three versions is a node: a Topic of the base (with its counterparts),
// then the Topics only ours holds, then those only theirs holds. Markers of caption and icon
// conflicts come after them all.
class TreePlanner {
public:
    explicit TreePlanner(const MergeInputs& in)
        : in_(in),
          nb_(static_cast<int32_t>(in.base.size())),
          no_(static_cast<int32_t>(in.ours.size())),
          nt_(static_cast<int32_t>(in.theirs.size())) {
        size_t n = static_cast<size_t>(nb_ + no_ + nt_);
        present_.assign(n, 0);
        parent_.assign(n, kNoTopic);
        from_.assign(n, ParentFrom::Base);
        placement_.assign(n, Placement::Base);
        kept_.assign(n, 0);
        movesOurs_ = in.twoWay ? std::vector<TopicMove>(in.base.size(), TopicMove::InPlace)
                               : TopicMoves(in.base, in.ours, in.baseToOurs);
        movesTheirs_ = TopicMoves(in.base, in.theirs, in.baseToTheirs);
    }

    TreePlan run() {
        unifyNewTopics();
        decidePresence();
        do {
            keepNeededParents();
        } while (breakCycles());
        decidePlacement();
        groupByParent();
        build();
        plan_.oursKept.assign(static_cast<size_t>(no_), 0);
        for (const PlannedTopic& p : plan_.topics) {
            if (p.ours != kNoTopic) {
                plan_.oursKept[static_cast<size_t>(p.ours)] = 1;
            }
        }
        return std::move(plan_);
    }

private:
    int32_t oursOf(int32_t x) const {
        if (x < nb_) {
            return in_.baseToOurs.toAfter[static_cast<size_t>(x)];
        }
        return x < nb_ + no_ ? x - nb_ : kNoTopic;
    }
    int32_t theirsOf(int32_t x) const {
        if (x < nb_) {
            return in_.baseToTheirs.toAfter[static_cast<size_t>(x)];
        }
        return x >= nb_ + no_ ? x - nb_ - no_ : unifiedTheirs_[static_cast<size_t>(x - nb_)];
    }
    int32_t oursNode(int32_t o) const {
        int32_t b = in_.baseToOurs.toBefore[static_cast<size_t>(o)];
        return b != kNoTopic ? b : nb_ + o;
    }
    int32_t theirsNode(int32_t t) const {
        int32_t b = in_.baseToTheirs.toBefore[static_cast<size_t>(t)];
        if (b != kNoTopic) {
            return b;
        }
        int32_t o = unifiedOurs_[static_cast<size_t>(t)];
        return o != kNoTopic ? nb_ + o : nb_ + no_ + t;
    }
    int32_t oursParentNode(int32_t o) const {
        int32_t p = in_.ours.parent[static_cast<size_t>(o)];
        return p == kNoTopic ? kNoTopic : oursNode(p);
    }
    int32_t theirsParentNode(int32_t t) const {
        int32_t p = in_.theirs.parent[static_cast<size_t>(t)];
        return p == kNoTopic ? kNoTopic : theirsNode(p);
    }

    void place(int32_t x, int32_t parent, ParentFrom from) {
        present_[static_cast<size_t>(x)] = 1;
        parent_[static_cast<size_t>(x)] = parent;
        from_[static_cast<size_t>(x)] = from;
    }

    // Whether one side changed a base Topic in a way its deletion on the other side must not lose.
    bool changed(int32_t b, const FlatTree& side, int32_t s, TopicMove move) const {
        return in_.base.caption(b) != side.caption(s) || in_.base.icon(b) != side.icon(s) ||
               move == TopicMove::Reparented || !in_.base.sameItems(b, side, s);
    }

    // Topics both sides added alike (the same caption under the same parent) are one Topic,
    // paired in order; their lists merge as if both had added every Item.
    void unifyNewTopics() {
        unifiedOurs_.assign(static_cast<size_t>(nt_), kNoTopic);
        unifiedTheirs_.assign(static_cast<size_t>(no_), kNoTopic);
        if (in_.twoWay) {
            return;
        }
        std::vector<std::tuple<int32_t, uint32_t, int32_t>> added;  // parent, caption, Topic
        for (int32_t o = 0; o < no_; ++o) {
            if (in_.baseToOurs.toBefore[static_cast<size_t>(o)] == kNoTopic) {
                added.emplace_back(oursParentNode(o), in_.ours.captionKey[static_cast<size_t>(o)],
                                   o);
            }
        }
        if (added.empty()) {
            return;
        }
        std::sort(added.begin(), added.end());
        // In tree order, so that a Topic's parent is paired before the Topic is looked at.
        for (int32_t t = 0; t < nt_; ++t) {
            if (in_.baseToTheirs.toBefore[static_cast<size_t>(t)] != kNoTopic) {
                continue;
            }
            int32_t parent = theirsParentNode(t);
            uint32_t caption = in_.theirs.captionKey[static_cast<size_t>(t)];
            for (auto it = std::lower_bound(added.begin(), added.end(),
                                            std::make_tuple(parent, caption, kNoTopic));
                 it != added.end() && std::get<0>(*it) == parent && std::get<1>(*it) == caption;
                 ++it) {
                int32_t o = std::get<2>(*it);
                if (unifiedTheirs_[static_cast<size_t>(o)] == kNoTopic) {
                    unifiedTheirs_[static_cast<size_t>(o)] = t;
                    unifiedOurs_[static_cast<size_t>(t)] = o;
                    break;
                }
            }
        }
    }

    void decidePresence() {
        for (int32_t b = 0; b < nb_; ++b) {
            size_t i = static_cast<size_t>(b);
            int32_t o = in_.baseToOurs.toAfter[i];
            int32_t t = in_.baseToTheirs.toAfter[i];
            if (o != kNoTopic && t != kNoTopic) {
                if (movesOurs_[i] == TopicMove::Reparented) {
                    place(b, oursParentNode(o), ParentFrom::Ours);
                } else if (!in_.twoWay && movesTheirs_[i] == TopicMove::Reparented) {
                    place(b, theirsParentNode(t), ParentFrom::Theirs);
                } else {
                    place(b, in_.base.parent[i], ParentFrom::Base);
                }
            } else if (o != kNoTopic) {
                if (in_.twoWay) {
                    place(b, oursParentNode(o), ParentFrom::Ours);
                } else if (changed(b, in_.ours, o, movesOurs_[i])) {
                    place(b, oursParentNode(o), ParentFrom::Ours);
                    kept_[i] = 1;
                }
            } else if (t != kNoTopic && changed(b, in_.theirs, t, movesTheirs_[i])) {
                place(b, theirsParentNode(t), ParentFrom::Theirs);
                kept_[i] = 1;
            }
        }
        for (int32_t o = 0; o < no_; ++o) {
            if (in_.baseToOurs.toBefore[static_cast<size_t>(o)] == kNoTopic) {
                place(nb_ + o, oursParentNode(o), ParentFrom::Ours);
            }
        }
        for (int32_t t = 0; t < nt_; ++t) {
            if (in_.baseToTheirs.toBefore[static_cast<size_t>(t)] == kNoTopic &&
                unifiedOurs_[static_cast<size_t>(t)] == kNoTopic) {
                place(nb_ + no_ + t, theirsParentNode(t), ParentFrom::Theirs);
            }
        }
    }

    // A Topic one side deleted stays when the merged tree puts something under it: what the
    // other side moved or added there must not go with it.
    void keepNeededParents() {
        for (size_t x = 0; x < present_.size(); ++x) {
            if (!present_[x]) {
                continue;
            }
            int32_t y = static_cast<int32_t>(x);
            for (int32_t p; (p = parent_[static_cast<size_t>(y)]) != kNoTopic &&
                            !present_[static_cast<size_t>(p)];
                 y = p) {
                int32_t o = oursOf(p);
                int32_t t = theirsOf(p);
                if (o != kNoTopic) {
                    place(p, oursParentNode(o), ParentFrom::Ours);
                } else if (t != kNoTopic) {
                    place(p, theirsParentNode(t), ParentFrom::Theirs);
                } else {
                    parent_[static_cast<size_t>(y)] = kNoTopic;  // cannot happen: a side has it
                    break;
                }
                kept_[static_cast<size_t>(p)] = 1;
            }
        }
    }

    // Moves of both sides together may put a Topic inside itself (ours moves A under B,
    // theirs B under A). Each such loop holds a Topic that theirs moved: it stays where ours
    // has it. Returns whether anything changed.
    bool breakCycles() {
        std::vector<uint8_t> state(present_.size(), 0);  // 1: on the current walk, 2: done
        std::vector<int32_t> path;
        bool changed = false;
        for (size_t x = 0; x < present_.size(); ++x) {
            if (!present_[x] || state[x] != 0) {
                continue;
            }
            path.clear();
            int32_t y = static_cast<int32_t>(x);
            while (y != kNoTopic && state[static_cast<size_t>(y)] == 0) {
                state[static_cast<size_t>(y)] = 1;
                path.push_back(y);
                y = parent_[static_cast<size_t>(y)];
            }
            if (y != kNoTopic && state[static_cast<size_t>(y)] == 1) {
                auto loop = std::find(path.begin(), path.end(), y);
                auto theirsMove = std::find_if(loop, path.end(), [&](int32_t z) {
                    return z < nb_ && from_[static_cast<size_t>(z)] == ParentFrom::Theirs &&
                           oursOf(z) != kNoTopic;
                });
                int32_t z = theirsMove != path.end() ? *theirsMove : y;
                if (theirsMove != path.end()) {
                    place(z, in_.base.parent[static_cast<size_t>(z)], ParentFrom::Base);
                } else {
                    parent_[static_cast<size_t>(z)] = kNoTopic;  // cannot happen, see above
                }
                changed = true;
            }
            for (int32_t p : path) {
                state[static_cast<size_t>(p)] = 2;
            }
        }
        return changed;
    }

    void decidePlacement() {
        for (int32_t x = 0; x < static_cast<int32_t>(present_.size()); ++x) {
            size_t i = static_cast<size_t>(x);
            if (!present_[i]) {
                continue;
            }
            Placement& p = placement_[i];
            if (from_[i] == ParentFrom::Theirs) {
                p = Placement::Theirs;
            } else if (from_[i] == ParentFrom::Ours) {
                p = Placement::Ours;
            } else if (movesOurs_[i] == TopicMove::Reordered) {
                p = Placement::Ours;
            } else if (!in_.twoWay && movesTheirs_[i] == TopicMove::Reordered) {
                p = Placement::Theirs;
            }
        }
    }

    // The present nodes under each parent (the top level last), in node order.
    void groupByParent() {
        size_t n = present_.size();
        start_.assign(n + 2, 0);
        for (size_t x = 0; x < n; ++x) {
            if (present_[x]) {
                ++start_[slot(parent_[x]) + 1];
            }
        }
        for (size_t s = 1; s < start_.size(); ++s) {
            start_[s] += start_[s - 1];
        }
        members_.resize(start_.back());
        std::vector<uint32_t> fill(start_.begin(), start_.end() - 1);
        for (size_t x = 0; x < n; ++x) {
            if (present_[x]) {
                members_[fill[slot(parent_[x])]++] = static_cast<int32_t>(x);
            }
        }
        local_.assign(n, 0);
    }
    size_t slot(int32_t parent) const {
        return parent == kNoTopic ? present_.size() : static_cast<size_t>(parent);
    }

    // The merged order of the children of node parent (kNoTopic: the top level).
    std::vector<int32_t> childrenOf(int32_t parent) {
        size_t s = slot(parent);
        std::span<const int32_t> members(members_.data() + start_[s], start_[s + 1] - start_[s]);
        std::vector<int32_t> ours;
        if (members.empty()) {
            return ours;
        }
        int32_t o = parent == kNoTopic ? kNoTopic : oursOf(parent);
        if (parent == kNoTopic || o != kNoTopic) {
            in_.ours.forEachChild(o, [&](int32_t c) {
                size_t x = static_cast<size_t>(oursNode(c));
                if (present_[x] && parent_[x] == parent && placement_[x] != Placement::Theirs) {
                    ours.push_back(static_cast<int32_t>(x));
                }
            });
        }
        bool theirsPlace = std::any_of(members.begin(), members.end(), [&](int32_t x) {
            return placement_[static_cast<size_t>(x)] == Placement::Theirs;
        });
        if (!theirsPlace && ours.size() == members.size()) {
            return ours;
        }
        std::vector<Placement> placement;
        for (size_t k = 0; k < members.size(); ++k) {
            local_[static_cast<size_t>(members[k])] = static_cast<uint32_t>(k);
            placement.push_back(placement_[static_cast<size_t>(members[k])]);
        }
        std::vector<uint32_t> oursLocal, theirsLocal;
        for (int32_t x : ours) {
            oursLocal.push_back(local_[static_cast<size_t>(x)]);
        }
        int32_t t = parent == kNoTopic ? kNoTopic : theirsOf(parent);
        if (parent == kNoTopic || t != kNoTopic) {
            in_.theirs.forEachChild(t, [&](int32_t c) {
                size_t x = static_cast<size_t>(theirsNode(c));
                if (present_[x] && parent_[x] == parent) {
                    theirsLocal.push_back(local_[x]);
                }
            });
        }
        std::vector<int32_t> order;
        for (uint32_t k : MergeOrder(oursLocal, theirsLocal, placement)) {
            order.push_back(members[k]);
        }
        return order;
    }

    // An empty Topic that follows a Topic whose caption or icon the two sides hold differently,
    // with theirs' icon and a marked caption.
    struct Marker {
        std::string caption;
        ConflictKind kind;
    };

    // What node x holds in the merged tree, and the marker to follow it, if any.
    std::optional<Marker> plan(int32_t x, PlannedTopic& p) {
        size_t i = static_cast<size_t>(x);
        int32_t o = oursOf(x);
        int32_t t = theirsOf(x);
        p.ours = o;
        if (o == kNoTopic) {
            // Only theirs holds it: a new Topic copied from theirs.
            p.theirs = t;
            p.items = PlannedTopic::Items::CopyTheirs;
            if (kept_[i] || in_.twoWay) {
                p.caption = caption(WithConflictMark(in_.theirs.caption(t)));
                p.conflict = kept_[i] ? ConflictKind::TopicChangedAndDeleted
                                      : ConflictKind::TopicOnlyInTheirs;
            }
            return std::nullopt;
        }
        const FlatTree& ours = in_.ours;
        const FlatTree& theirs = in_.theirs;
        if (t == kNoTopic) {
            if (kept_[i]) {
                p.caption = caption(WithConflictMark(ours.caption(o)));
                p.conflict = ConflictKind::TopicChangedAndDeleted;
            }
            return std::nullopt;
        }
        p.theirs = t;  // where merged and copied Items come from
        if (in_.twoWay) {
            if (!ours.sameItems(o, theirs, t)) {
                mergedList(UniteItemLists(ours.items(o), theirs.items(t)), p);
            }
            if (ours.caption(o) != theirs.caption(t)) {
                return Marker{WithConflictMark(theirs.caption(t)),
                              ConflictKind::CaptionChangedBothWays};
            }
            if (ours.icon(o) != theirs.icon(t)) {
                return Marker{WithConflictMark(ours.caption(o)), ConflictKind::IconChangedBothWays};
            }
            return std::nullopt;
        }
        if (x >= nb_) {
            // Added alike on both sides.
            if (!ours.sameItems(o, theirs, t)) {
                mergedList(MergeItemLists(noItems_, ours.items(o), theirs.items(t)), p);
            }
            return std::nullopt;
        }
        const FlatTree& base = in_.base;
        std::string_view cb = base.caption(x), co = ours.caption(o), ct = theirs.caption(t);
        if (co == cb && ct != cb) {
            p.caption = caption(std::string(ct));
        }
        int32_t ib = base.icon(x), io = ours.icon(o), it = theirs.icon(t);
        if (io == ib && it != ib) {
            p.icon = it;
        }
        if (base.sameItems(x, theirs, t)) {
            // theirs left the list alone: ours' stands
        } else if (base.sameItems(x, ours, o)) {
            p.items = PlannedTopic::Items::CopyTheirs;
        } else {
            mergedList(MergeItemLists(base.items(x), ours.items(o), theirs.items(t)), p);
        }
        if (co != cb && ct != cb && co != ct) {
            return Marker{WithConflictMark(ct), ConflictKind::CaptionChangedBothWays};
        }
        if (io != ib && it != ib && io != it) {
            // Theirs' icon must not go unseen: the marker carries it, under the merged caption.
            return Marker{WithConflictMark(co == cb ? ct : co), ConflictKind::IconChangedBothWays};
        }
        return std::nullopt;
    }

    int32_t caption(std::string text) {
        plan_.captions.push_back(std::move(text));
        return static_cast<int32_t>(plan_.captions.size() - 1);
    }

    void mergedList(MergedList list, PlannedTopic& p) {
        if (list.sameAsOurs) {
            return;
        }
        p.items = PlannedTopic::Items::Merged;
        p.list = static_cast<int32_t>(plan_.lists.size());
        plan_.lists.push_back(std::move(list));
    }

    // Lays the merged tree out in tree order, children after their parent.
    void build() {
        plan_.topics.reserve(present_.size());
        struct Pending {
            int32_t node;
            int32_t parent;  // index in plan_.topics
            int32_t marker;  // index of a marker caption, or -1
            int32_t icon;
            ConflictKind kind;
        };
        std::vector<Pending> stack;
        auto pushChildren = [&](int32_t node, int32_t planned) {
            std::vector<int32_t> children = childrenOf(node);
            for (auto it = children.rbegin(); it != children.rend(); ++it) {
                stack.push_back({*it, planned, -1, 0, ConflictKind::CaptionChangedBothWays});
            }
        };
        pushChildren(kNoTopic, kNoTopic);
        while (!stack.empty()) {
            Pending next = stack.back();
            stack.pop_back();
            PlannedTopic p;
            p.parent = next.parent;
            if (next.marker >= 0) {
                p.caption = next.marker;
                p.icon = next.icon;
                p.conflict = next.kind;
                plan_.topics.push_back(p);
                continue;
            }
            std::optional<Marker> marker = plan(next.node, p);
            int32_t planned = static_cast<int32_t>(plan_.topics.size());
            plan_.topics.push_back(p);
            if (marker) {
                // The marker follows the Topic's whole subtree, as its next sibling.
                int32_t icon = in_.theirs.icon(theirsOf(next.node));
                stack.push_back({kNoTopic, next.parent, caption(std::move(marker->caption)), icon,
                                 marker->kind});
            }
            pushChildren(next.node, planned);
        }
    }

    const MergeInputs& in_;
    const int32_t nb_, no_, nt_;
    std::vector<TopicMove> movesOurs_, movesTheirs_;
    std::vector<uint8_t> present_;
    std::vector<int32_t> parent_;
    std::vector<ParentFrom> from_;
    std::vector<Placement> placement_;
    std::vector<uint8_t> kept_;           // present although one side deleted it
    std::vector<int32_t> unifiedOurs_;    // per Topic of theirs: the Topic of ours added alike
    std::vector<int32_t> unifiedTheirs_;  // per Topic of ours
    TextStore noTexts_;
    ItemList noItems_{noTexts_};
    std::vector<uint32_t> start_;
    std::vector<int32_t> members_;
    std::vector<uint32_t> local_;
    TreePlan plan_;
};

}  // namespace

TreePlan PlanTreeMerge(const MergeInputs& in) {
    return TreePlanner(in).run();
}

}  // namespace brenvale
