#pragma once

// Random documents whose Topics and Items carry identities, and random edit scripts of two
// sides that touch different things, for testing the merge against an oracle: applying both
// scripts to the base.
#include <algorithm>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "common/check_mark.h"
#include "support/temp_dir.h"

namespace brenvale::test {

// A document whose Topics and Items carry identities, so edits can name what they change.
struct MItem {
    int id;
    bool checked;
    std::string text;  // CP932
};
struct MTopic {
    std::string caption;
    int icon = 0;
    int parent = -1;
    std::vector<MItem> items;
    std::vector<int> children;
};
struct Model {
    std::map<int, MTopic> topics;
    std::vector<int> top;

    std::vector<int>& childrenOf(int parent) { return parent < 0 ? top : topics[parent].children; }
    bool inside(int t, int ancestor) {
        for (; t >= 0; t = topics[t].parent) {
            if (t == ancestor) {
                return true;
            }
        }
        return false;
    }
    void subtree(int t, std::vector<int>& out) {
        out.push_back(t);
        for (int c : topics[t].children) {
            subtree(c, out);
        }
    }
    std::string bytes() {
        std::string out;
        std::vector<std::pair<int, int>> stack;  // topic, level
        for (auto it = top.rbegin(); it != top.rend(); ++it) {
            stack.push_back({*it, 0});
        }
        while (!stack.empty()) {
            auto [id, level] = stack.back();
            stack.pop_back();
            const MTopic& t = topics[id];
            std::string tabs(static_cast<size_t>(level), '\t');
            char suffix[8];
            std::snprintf(suffix, sizeof suffix, "@%02d@", t.icon);
            out += tabs + t.caption + suffix + "\r\n";
            for (const MItem& i : t.items) {
                out += tabs + "\x08" + std::string(i.checked ? kCheckedMark : kUncheckedMark) +
                       i.text + "\r\n";
            }
            for (auto it = t.children.rbegin(); it != t.children.rend(); ++it) {
                stack.push_back({*it, level + 1});
            }
        }
        return out;
    }
};

inline size_t IndexOf(const std::vector<MItem>& items, int id) {
    return static_cast<size_t>(
        std::find_if(items.begin(), items.end(), [&](const MItem& i) { return i.id == id; }) -
        items.begin());
}
inline size_t After(const std::vector<int>& ids, int anchor) {
    return anchor < 0
               ? 0
               : static_cast<size_t>(std::find(ids.begin(), ids.end(), anchor) - ids.begin()) + 1;
}

// The edits, each naming what it changes by identity; anchors are what the new place follows
// (-1: the start).
struct Tick {
    int topic, item;
};
struct EditItem {
    int topic, item;
    std::string text;
};
struct DeleteItem {
    int topic, item;
};
struct InsertItem {
    int topic, anchor;
    MItem item;
};
struct MoveItem {
    int topic, item, anchor;
};
struct Rename {
    int topic;
    std::string caption;
};
struct SetIcon {
    int topic, icon;
};
struct DeleteTopic {
    int topic;
};
struct AddTopic {
    int parent, anchor, id;
    MTopic topic;
};
struct MoveTopic {
    int topic, parent, anchor;
};
using Edit = std::variant<Tick, EditItem, DeleteItem, InsertItem, MoveItem, Rename, SetIcon,
                          DeleteTopic, AddTopic, MoveTopic>;

inline void Apply(Model& m, const Edit& edit) {
    std::visit(
        [&](const auto& e) {
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, Tick>) {
                auto& items = m.topics[e.topic].items;
                items[IndexOf(items, e.item)].checked ^= true;
            } else if constexpr (std::is_same_v<E, EditItem>) {
                auto& items = m.topics[e.topic].items;
                items[IndexOf(items, e.item)].text = e.text;
            } else if constexpr (std::is_same_v<E, DeleteItem>) {
                auto& items = m.topics[e.topic].items;
                items.erase(items.begin() + static_cast<long>(IndexOf(items, e.item)));
            } else if constexpr (std::is_same_v<E, InsertItem>) {
                auto& items = m.topics[e.topic].items;
                size_t at = e.anchor < 0 ? 0 : IndexOf(items, e.anchor) + 1;
                items.insert(items.begin() + static_cast<long>(at), e.item);
            } else if constexpr (std::is_same_v<E, MoveItem>) {
                auto& items = m.topics[e.topic].items;
                size_t from = IndexOf(items, e.item);
                MItem moved = items[from];
                items.erase(items.begin() + static_cast<long>(from));
                size_t at = e.anchor < 0 ? 0 : IndexOf(items, e.anchor) + 1;
                items.insert(items.begin() + static_cast<long>(at), moved);
            } else if constexpr (std::is_same_v<E, Rename>) {
                m.topics[e.topic].caption = e.caption;
            } else if constexpr (std::is_same_v<E, SetIcon>) {
                m.topics[e.topic].icon = e.icon;
            } else if constexpr (std::is_same_v<E, DeleteTopic>) {
                auto& siblings = m.childrenOf(m.topics[e.topic].parent);
                siblings.erase(std::find(siblings.begin(), siblings.end(), e.topic));
            } else if constexpr (std::is_same_v<E, AddTopic>) {
                m.topics[e.id] = e.topic;
                m.topics[e.id].parent = e.parent;
                auto& siblings = m.childrenOf(e.parent);
                siblings.insert(siblings.begin() + static_cast<long>(After(siblings, e.anchor)),
                                e.id);
            } else if constexpr (std::is_same_v<E, MoveTopic>) {
                auto& old = m.childrenOf(m.topics[e.topic].parent);
                old.erase(std::find(old.begin(), old.end(), e.topic));
                m.topics[e.topic].parent = e.parent;
                auto& siblings = m.childrenOf(e.parent);
                siblings.insert(siblings.begin() + static_cast<long>(After(siblings, e.anchor)),
                                e.topic);
            }
        },
        edit);
}

// Makes a base and two edit scripts that touch different things: every edit claims what it
// changes and what it places next to, and an edit whose claims meet another's is not made.
// Claims of existence (a Topic an edit works inside) may be shared, but not with a deletion.
class Scenario {
public:
    explicit Scenario(unsigned seed) : rng_(seed) {}

    Model base;
    Model sides[2];
    std::vector<Edit> scripts[2];
    // When set, the two sides' edits may touch the same things: conflicts included.
    bool overlap = false;

    void make() {
        int topics = pick(3, 16);
        std::vector<int> open;
        for (int i = 0; i < topics; ++i) {
            int parent =
                open.empty() || pick(0, 2) == 0
                    ? -1
                    : open[static_cast<size_t>(pick(0, static_cast<int>(open.size()) - 1))];
            int id = nextId_++;
            base.topics[id] = randomTopic();
            base.topics[id].parent = parent;
            base.childrenOf(parent).push_back(id);
            open.push_back(id);
        }
        sides[0] = sides[1] = base;
        for (int round = 0; round < 12; ++round) {
            int side = pick(0, 1);
            if (std::optional<Edit> e = tryEdit(side)) {
                Apply(sides[side], *e);
                scripts[side].push_back(*e);
            }
        }
    }

private:
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    std::string freshText(const char* kind) {
        static const char* kWords[] = {"牛乳", "会議", "報告書", "電話", "買い物", "掃除"};
        return Sjis(kWords[pick(0, 5)]) + kind + std::to_string(nextText_++);
    }

    MItem randomItem() {
        // Separators repeat; everything else is unique.
        std::string text = pick(0, 5) == 0 ? "-" : freshText("i");
        return {nextId_++, pick(0, 3) == 0, text};
    }

    MTopic randomTopic() {
        MTopic t;
        t.caption = freshText("t");
        t.icon = pick(0, 3) == 0 ? pick(2, 7) : 0;
        for (int n = pick(0, 5); n > 0; --n) {
            t.items.push_back(randomItem());
        }
        return t;
    }

    bool free(const std::vector<std::string>& own, const std::vector<std::string>& shared) const {
        if (overlap) {
            return true;
        }
        for (const std::string& k : own) {
            if (claimed_.count(k) || sharedClaims_.count(k)) {
                return false;
            }
        }
        for (const std::string& k : shared) {
            if (claimed_.count(k)) {
                return false;
            }
        }
        return true;
    }
    void claim(const std::vector<std::string>& own, const std::vector<std::string>& shared) {
        claimed_.insert(own.begin(), own.end());
        sharedClaims_.insert(shared.begin(), shared.end());
    }
    static std::string key(const char* kind, int id) {
        return std::string(kind) + std::to_string(id);
    }

    std::optional<Edit> tryEdit(int side) {
        Model& m = sides[side];
        std::vector<int> ids;
        for (auto& [id, t] : m.topics) {
            if (reachable(m, id)) {
                ids.push_back(id);
            }
        }
        if (ids.empty()) {
            return std::nullopt;
        }
        int t = ids[static_cast<size_t>(pick(0, static_cast<int>(ids.size()) - 1))];
        MTopic& topic = m.topics[t];
        auto itemAnchor = [&](int item) { return item < 0 ? key("is", t) : key("i", item); };
        auto randomItemId = [&]() {
            return topic.items.empty() ? -1
                                       : topic
                                             .items[static_cast<size_t>(
                                                 pick(0, static_cast<int>(topic.items.size()) - 1))]
                                             .id;
        };
        auto neighbours = [&](int item) {
            size_t at = IndexOf(topic.items, item);
            std::vector<std::string> keys{at == 0 ? key("is", t)
                                                  : key("i", topic.items[at - 1].id)};
            if (at + 1 < topic.items.size()) {
                keys.push_back(key("i", topic.items[at + 1].id));
            }
            return keys;
        };
        std::vector<std::string> inside{key("d", t)};
        // Repeated texts (separators) are told apart by place alone: where one side changes,
        // moves or places next to a separator, the other side leaves that list's separators be.
        auto separators = [&](std::vector<std::string>& own, std::initializer_list<int> items) {
            for (int item : items) {
                if (item >= 0 && topic.items[IndexOf(topic.items, item)].text == "-") {
                    if (claimed_.count(key(side ? "sep0-" : "sep1-", t))) {
                        return false;
                    }
                    own.push_back(key(side ? "sep1-" : "sep0-", t));
                }
            }
            return true;
        };
        // A side that renames or moves a Topic does not also do the other to it.
        std::string renameOrMove = key(side ? "rm1-" : "rm0-", t);
        switch (pick(0, 9)) {
            case 0: {
                int item = randomItemId();
                std::vector<std::string> own{key("i", item)};
                if (item < 0 || !separators(own, {item}) || !free(own, inside))
                    return std::nullopt;
                claim(own, inside);
                return Tick{t, item};
            }
            case 1: {
                int item = randomItemId();
                if (item < 0 || topic.items[IndexOf(topic.items, item)].text == "-" ||
                    !free({key("i", item)}, inside))
                    return std::nullopt;
                claim({key("i", item)}, inside);
                return EditItem{t, item, topic.items[IndexOf(topic.items, item)].text + Sjis("改")};
            }
            case 2: {
                int item = randomItemId();
                if (item < 0)
                    return std::nullopt;
                std::vector<std::string> own = neighbours(item);
                own.push_back(key("i", item));
                size_t at = IndexOf(topic.items, item);
                int before = at > 0 ? topic.items[at - 1].id : -1;
                int after = at + 1 < topic.items.size() ? topic.items[at + 1].id : -1;
                if (!separators(own, {item, before, after}) || !free(own, inside))
                    return std::nullopt;
                claim(own, inside);
                return DeleteItem{t, item};
            }
            case 3: {
                int anchor = pick(0, 3) == 0 ? -1 : randomItemId();
                MItem item = randomItem();
                std::vector<std::string> own{itemAnchor(anchor), key("i", item.id)};
                size_t at = anchor < 0 ? 0 : IndexOf(topic.items, anchor) + 1;
                int next = at < topic.items.size() ? topic.items[at].id : -1;
                if (item.text == "-" && !separators(own, {next >= 0 ? next : anchor}))
                    return std::nullopt;
                if (!separators(own, {anchor, next}) || !free(own, inside))
                    return std::nullopt;
                claim(own, inside);
                return InsertItem{t, anchor, item};
            }
            case 4: {
                int item = randomItemId();
                int anchor = pick(0, 3) == 0 ? -1 : randomItemId();
                if (item < 0 || anchor == item)
                    return std::nullopt;
                size_t at = IndexOf(topic.items, item);
                if ((anchor < 0 && at == 0) || (at > 0 && topic.items[at - 1].id == anchor)) {
                    return std::nullopt;  // already there
                }
                std::vector<std::string> own = neighbours(item);
                own.push_back(key("i", item));
                own.push_back(itemAnchor(anchor));
                int before = at > 0 ? topic.items[at - 1].id : -1;
                int after = at + 1 < topic.items.size() ? topic.items[at + 1].id : -1;
                size_t to = anchor < 0 ? 0 : IndexOf(topic.items, anchor) + 1;
                int next = to < topic.items.size() ? topic.items[to].id : -1;
                if (!separators(own, {item, before, after, anchor, next}) || !free(own, inside))
                    return std::nullopt;
                claim(own, inside);
                return MoveItem{t, item, anchor};
            }
            case 5: {
                std::vector<std::string> own{key("c", t), renameOrMove};
                if (!free(own, inside))
                    return std::nullopt;
                claim(own, inside);
                return Rename{t, topic.caption + Sjis("改")};
            }
            case 6: {
                if (!free({key("n", t)}, inside))
                    return std::nullopt;
                claim({key("n", t)}, inside);
                return SetIcon{t, topic.icon == 5 ? 6 : 5};
            }
            case 7: {
                std::vector<int> gone;
                m.subtree(t, gone);
                std::vector<std::string> own = topicNeighbours(m, t);
                for (int g : gone) {
                    for (const char* k : {"d", "t", "c", "n", "ts", "is"}) {
                        own.push_back(key(k, g));
                    }
                    for (const MItem& i : m.topics[g].items) {
                        own.push_back(key("i", i.id));
                    }
                }
                if (!free(own, {}))
                    return std::nullopt;
                claim(own, {});
                return DeleteTopic{t};
            }
            case 8: {
                auto [parent, anchor, anchorKey] = randomPlace(m, -1);
                int id = nextId_++;
                std::vector<std::string> own{anchorKey, key("d", id)};
                std::vector<std::string> shared;
                if (parent >= 0)
                    shared.push_back(key("d", parent));
                if (!free(own, shared))
                    return std::nullopt;
                claim(own, shared);
                return AddTopic{parent, anchor, id, randomTopic()};
            }
            default: {
                auto [parent, anchor, anchorKey] = randomPlace(m, t);
                if (parent == -2 || anchor == t)
                    return std::nullopt;
                std::vector<int>& siblings = m.childrenOf(topic.parent);
                size_t at = static_cast<size_t>(std::find(siblings.begin(), siblings.end(), t) -
                                                siblings.begin());
                if (parent == topic.parent &&
                    ((anchor < 0 && at == 0) || (at > 0 && siblings[at - 1] == anchor))) {
                    return std::nullopt;  // already there
                }
                std::vector<std::string> own = topicNeighbours(m, t);
                own.push_back(key("t", t));
                own.push_back(anchorKey);
                own.push_back(renameOrMove);
                // Moves of the two sides must not join into a loop (one side moving A under
                // B, the other B under A): a move claims the moved subtree and the new
                // parent's ancestors for its side.
                std::vector<int> moved;
                m.subtree(t, moved);
                for (int p = parent; p >= 0; p = m.topics[p].parent) {
                    moved.push_back(p);
                }
                for (int x : moved) {
                    if (claimed_.count(key(side ? "tm0-" : "tm1-", x)))
                        return std::nullopt;
                    own.push_back(key(side ? "tm1-" : "tm0-", x));
                }
                std::vector<std::string> shared = inside;
                if (parent >= 0)
                    shared.push_back(key("d", parent));
                if (!free(own, shared))
                    return std::nullopt;
                claim(own, shared);
                return MoveTopic{t, parent, anchor};
            }
        }
    }

    static bool reachable(Model& m, int id) {
        for (int t = id; t >= 0;) {
            int p = m.topics[t].parent;
            const std::vector<int>& siblings = m.childrenOf(p);
            if (std::find(siblings.begin(), siblings.end(), t) == siblings.end()) {
                return false;
            }
            t = p;
        }
        return true;
    }

    // What a Topic's removal from its place touches: the sibling before it (or the start of
    // the list) and the one after.
    std::vector<std::string> topicNeighbours(Model& m, int t) {
        int parent = m.topics[t].parent;
        std::vector<int>& siblings = m.childrenOf(parent);
        size_t at =
            static_cast<size_t>(std::find(siblings.begin(), siblings.end(), t) - siblings.begin());
        std::vector<std::string> keys{at == 0 ? key("ts", parent) : key("t", siblings[at - 1])};
        if (at + 1 < siblings.size()) {
            keys.push_back(key("t", siblings[at + 1]));
        }
        return keys;
    }

    // A parent (-1: the top level) and an anchor among its children, not inside `moving`.
    std::tuple<int, int, std::string> randomPlace(Model& m, int moving) {
        std::vector<int> parents{-1};
        for (auto& [id, t] : m.topics) {
            if (reachable(m, id) && (moving < 0 || !m.inside(id, moving))) {
                parents.push_back(id);
            }
        }
        int parent = parents[static_cast<size_t>(pick(0, static_cast<int>(parents.size()) - 1))];
        std::vector<int>& children = m.childrenOf(parent);
        int k = pick(-1, static_cast<int>(children.size()) - 1);
        int anchor = k < 0 ? -1 : children[static_cast<size_t>(k)];
        return {parent, anchor, anchor < 0 ? key("ts", parent) : key("t", anchor)};
    }

    std::mt19937 rng_;
    int nextId_ = 0;
    int nextText_ = 0;
    std::set<std::string> claimed_;
    std::set<std::string> sharedClaims_;
};

}  // namespace brenvale::test
