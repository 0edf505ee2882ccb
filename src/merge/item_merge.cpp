#include "merge/item_merge.h"

#include <algorithm>
#include <optional>

#include "common/check_mark.h"
#include "merge/conflict_mark.h"
#include "merge/item_matching.h"
#include "merge/merge_order.h"
#include "merge/sequence_diff.h"
#include "merge/text_keys.h"

namespace brenvale {

std::string StoredFrom(std::string_view mark, std::string_view text) {
    std::string stored(mark.size() < 2 && !text.empty() ? kUncheckedMark : mark);
    stored.append(text);
    return stored;
}

namespace {

// One member of the merged list, and what follows it when a conflict keeps a second version.
struct Member {
    MergedItem item;
    Placement placement;
    std::optional<ConflictKind> conflict;  // on the member itself
    std::optional<MergedItem> second;      // theirs' version, marked
    ConflictKind secondConflict = ConflictKind::ItemChangedBothWays;
};

class ListMerger {
public:
    ListMerger(const ItemList& ours, const ItemList& theirs)
        : ours_(ours), theirs_(theirs), ofOurs_(ours.size(), -1), ofTheirs_(theirs.size(), -1) {}

    MergedList mergeWith(const ItemList& base) {
        ItemMatch mo = MatchItems(base, ours_);
        ItemMatch mt = MatchItems(base, theirs_);
        for (size_t i = 0; i < base.size(); ++i) {
            int32_t o = mo.toAfter[i];
            int32_t t = mt.toAfter[i];
            std::string_view sb = base[i].stored();
            if (o >= 0 && t >= 0) {
                Placement placement = mo.moved[i]   ? Placement::Ours
                                      : mt.moved[i] ? Placement::Theirs
                                                    : Placement::Base;
                mergeContent(sb, static_cast<uint32_t>(o), static_cast<uint32_t>(t), placement);
            } else if (o >= 0 && ours_[static_cast<size_t>(o)].stored() != sb) {
                keepMarked(MergedItem::From::Ours, static_cast<uint32_t>(o), Placement::Ours);
            } else if (t >= 0 && theirs_[static_cast<size_t>(t)].stored() != sb) {
                keepMarked(MergedItem::From::Theirs, static_cast<uint32_t>(t), Placement::Theirs);
            }
        }
        addNew(mo.toBefore, mt.toBefore, false);
        return finish();
    }

    MergedList unite() {
        ItemMatch mt = MatchItems(ours_, theirs_);
        for (size_t i = 0; i < ours_.size(); ++i) {
            int32_t t = mt.toAfter[i];
            // What theirs lacks counts as added by ours: theirs' additions at the same place
            // come after it.
            Placement placement = t >= 0 ? Placement::Base : Placement::Ours;
            add({{MergedItem::From::Ours, static_cast<uint32_t>(i)}, placement, {}, {}},
                static_cast<int32_t>(i), t);
            if (t >= 0 && theirs_[static_cast<size_t>(t)].stored() != ours_[i].stored()) {
                members_.back().second = marked(MergedItem::From::Theirs, static_cast<uint32_t>(t));
                members_.back().secondConflict = ConflictKind::ItemOnlyInTheirs;
            }
        }
        std::vector<int32_t> none(ours_.size(), 0);
        addNew(none, mt.toBefore, true);
        return finish();
    }

private:
    std::string_view stored(MergedItem::From from, uint32_t index) const {
        return from == MergedItem::From::Ours ? ours_[index].stored() : theirs_[index].stored();
    }

    MergedItem made(std::string stored) {
        result_.made.push_back(std::move(stored));
        return {MergedItem::From::Made, static_cast<uint32_t>(result_.made.size() - 1)};
    }

    MergedItem marked(MergedItem::From from, uint32_t index) {
        std::string_view s = stored(from, index);
        return made(StoredFrom(StoredMark(s), WithConflictMark(StoredText(s))));
    }

    void add(Member member, int32_t ours, int32_t theirs) {
        uint32_t id = static_cast<uint32_t>(members_.size());
        members_.push_back(std::move(member));
        if (ours >= 0) {
            ofOurs_[static_cast<size_t>(ours)] = static_cast<int32_t>(id);
        }
        if (theirs >= 0) {
            ofTheirs_[static_cast<size_t>(theirs)] = static_cast<int32_t>(id);
        }
    }

    // Texts and marks merge apart: what one side changed wins over what the other kept.
    void mergeContent(std::string_view sb, uint32_t o, uint32_t t, Placement placement) {
        std::string_view so = ours_[o].stored();
        std::string_view st = theirs_[t].stored();
        std::string_view tb = StoredText(sb), to = StoredText(so), tt = StoredText(st);
        std::string_view mb = StoredMark(sb), mo = StoredMark(so), mt = StoredMark(st);
        std::string_view mark = mo == mb ? mt : mo;
        bool textConflict = to != tb && tt != tb && to != tt;
        std::string_view text = to == tb ? tt : to;
        Member member{{MergedItem::From::Ours, o}, placement, {}, {}};
        std::string merged = StoredFrom(mark, text);
        if (merged == st && !textConflict) {
            member.item = {MergedItem::From::Theirs, t};
        } else if (merged != so) {
            member.item = made(std::move(merged));
        }
        if (textConflict) {
            member.second = marked(MergedItem::From::Theirs, t);
            member.secondConflict = ConflictKind::ItemChangedBothWays;
        }
        add(std::move(member), static_cast<int32_t>(o), static_cast<int32_t>(t));
    }

    // Changed on one side, deleted on the other.
    void keepMarked(MergedItem::From from, uint32_t index, Placement placement) {
        Member member{marked(from, index), placement, ConflictKind::ItemChangedAndDeleted, {}};
        bool ours = from == MergedItem::From::Ours;
        add(std::move(member), ours ? static_cast<int32_t>(index) : -1,
            ours ? -1 : static_cast<int32_t>(index));
    }

    void addNew(const std::vector<int32_t>& oursToBase, const std::vector<int32_t>& theirsToBase,
                bool markTheirs) {
        std::vector<int32_t> sameAsOurs = markTheirs ? std::vector<int32_t>(theirs_.size(), -1)
                                                     : addedBothWays(oursToBase, theirsToBase);
        for (size_t j = 0; j < ours_.size(); ++j) {
            if (oursToBase[j] < 0) {
                add({{MergedItem::From::Ours, static_cast<uint32_t>(j)}, Placement::Ours, {}, {}},
                    static_cast<int32_t>(j), -1);
            }
        }
        for (size_t k = 0; k < theirs_.size(); ++k) {
            if (theirsToBase[k] >= 0) {
                continue;
            }
            if (sameAsOurs[k] >= 0) {
                ofTheirs_[k] = ofOurs_[static_cast<size_t>(sameAsOurs[k])];
                continue;
            }
            Member member{
                {MergedItem::From::Theirs, static_cast<uint32_t>(k)}, Placement::Theirs, {}, {}};
            if (markTheirs) {
                member.item = marked(MergedItem::From::Theirs, static_cast<uint32_t>(k));
                member.conflict = ConflictKind::ItemOnlyInTheirs;
            }
            add(std::move(member), -1, static_cast<int32_t>(k));
        }
    }

    // Items both sides added alike are one Item: the same stored form, at the same place
    // (after the same Item of the base, in the same order among what each added there). Per
    // Item of theirs, the Item of ours it is, or -1.
    std::vector<int32_t> addedBothWays(const std::vector<int32_t>& oursToBase,
                                       const std::vector<int32_t>& theirsToBase) {
        std::vector<int32_t> same(theirs_.size(), -1);
        // The Items each side added, as (the base Item before them or -1, Item), by place.
        auto added = [](const std::vector<int32_t>& toBase) {
            std::vector<std::pair<int32_t, uint32_t>> out;
            int32_t after = -1;
            for (size_t j = 0; j < toBase.size(); ++j) {
                if (toBase[j] >= 0) {
                    after = toBase[j];
                } else {
                    out.emplace_back(after, static_cast<uint32_t>(j));
                }
            }
            std::sort(out.begin(), out.end());
            return out;
        };
        std::vector<std::pair<int32_t, uint32_t>> ours = added(oursToBase);
        std::vector<std::pair<int32_t, uint32_t>> theirs = added(theirsToBase);
        if (ours.empty() || theirs.empty()) {
            return same;
        }
        TextKeys keys(ours.size() + theirs.size());
        std::vector<uint32_t> oursKeys, theirsKeys;
        for (size_t i = 0, k = 0; i < ours.size() && k < theirs.size();) {
            if (ours[i].first != theirs[k].first) {
                (ours[i].first < theirs[k].first ? i : k)++;
                continue;
            }
            int32_t place = ours[i].first;
            size_t i0 = i, k0 = k;
            oursKeys.clear();
            theirsKeys.clear();
            for (; i < ours.size() && ours[i].first == place; ++i) {
                oursKeys.push_back(keys.key(ours_[ours[i].second].stored()));
            }
            for (; k < theirs.size() && theirs[k].first == place; ++k) {
                theirsKeys.push_back(keys.key(theirs_[theirs[k].second].stored()));
            }
            for (const KeptPair& p : DiffSequences(oursKeys, theirsKeys)) {
                same[theirs[k0 + p.after].second] =
                    static_cast<int32_t>(ours[i0 + p.before].second);
            }
        }
        return same;
    }

    MergedList finish() {
        std::vector<Placement> placement;
        placement.reserve(members_.size());
        for (const Member& m : members_) {
            placement.push_back(m.placement);
        }
        std::vector<uint32_t> oursOrder, theirsOrder;
        for (int32_t id : ofOurs_) {
            if (id >= 0 && placement[static_cast<size_t>(id)] != Placement::Theirs) {
                oursOrder.push_back(static_cast<uint32_t>(id));
            }
        }
        for (int32_t id : ofTheirs_) {
            if (id >= 0) {
                theirsOrder.push_back(static_cast<uint32_t>(id));
            }
        }
        bool same = members_.size() == ours_.size();
        for (uint32_t id : MergeOrder(oursOrder, theirsOrder, placement)) {
            Member& m = members_[id];
            if (m.conflict) {
                result_.conflicts.emplace_back(result_.items.size(), *m.conflict);
            }
            size_t row = result_.items.size();
            same =
                same && m.item.from == MergedItem::From::Ours && m.item.index == row && !m.second;
            result_.items.push_back(m.item);
            if (m.second) {
                result_.conflicts.emplace_back(result_.items.size(), m.secondConflict);
                result_.items.push_back(*m.second);
            }
        }
        result_.sameAsOurs = same;
        return std::move(result_);
    }

    const ItemList& ours_;
    const ItemList& theirs_;
    std::vector<int32_t> ofOurs_;    // per Item of ours: its member, or -1
    std::vector<int32_t> ofTheirs_;  // per Item of theirs
    std::vector<Member> members_;
    MergedList result_;
};

}  // namespace

MergedList MergeItemLists(const ItemList& base, const ItemList& ours, const ItemList& theirs) {
    return ListMerger(ours, theirs).mergeWith(base);
}

MergedList UniteItemLists(const ItemList& ours, const ItemList& theirs) {
    return ListMerger(ours, theirs).unite();
}

}  // namespace brenvale
