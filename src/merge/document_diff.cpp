#include "merge/document_diff.h"

#include "common/check_mark.h"
#include "merge/flat_tree.h"
#include "merge/item_matching.h"
#include "merge/topic_matching.h"

namespace brenvale {

namespace {

DocumentChange Change(ChangeKind kind, std::string path, std::string before = {},
                      std::string text = {}) {
    DocumentChange c;
    c.kind = kind;
    c.path = std::move(path);
    c.before = std::move(before);
    c.text = std::move(text);
    return c;
}

class Differ {
public:
    Differ(const Document& before, const Document& after)
        : keys_(before.topicCount() + after.topicCount()),
          before_(before, keys_),
          after_(after, keys_),
          match_(MatchTopics(before_, after_)),
          moves_(TopicMoves(before_, after_, match_)) {}

    std::vector<DocumentChange> run() {
        for (int32_t b = 0; b < static_cast<int32_t>(before_.size()); ++b) {
            if (unmatchedTop(before_, match_.toAfter, b)) {
                changes_.push_back(subtree(ChangeKind::TopicRemoved, before_, match_.toAfter, b));
            }
        }
        for (int32_t a = 0; a < static_cast<int32_t>(after_.size()); ++a) {
            int32_t b = match_.toBefore[static_cast<size_t>(a)];
            if (b != kNoTopic) {
                topic(b, a);
            } else if (unmatchedTop(after_, match_.toBefore, a)) {
                changes_.push_back(subtree(ChangeKind::TopicAdded, after_, match_.toBefore, a));
            }
        }
        return std::move(changes_);
    }

private:
    // A Topic without counterpart whose parent has one (or that is on the top level): the
    // top of a subtree that came or went.
    static bool unmatchedTop(const FlatTree& tree, const std::vector<int32_t>& counterpart,
                             int32_t i) {
        if (counterpart[static_cast<size_t>(i)] != kNoTopic) {
            return false;
        }
        int32_t p = tree.parent[static_cast<size_t>(i)];
        return p == kNoTopic || counterpart[static_cast<size_t>(p)] != kNoTopic;
    }

    static DocumentChange subtree(ChangeKind kind, const FlatTree& tree,
                                  const std::vector<int32_t>& counterpart, int32_t i) {
        DocumentChange c = Change(kind, TopicPath(tree, i));
        for (uint32_t k = static_cast<uint32_t>(i); k < tree.end[static_cast<size_t>(i)]; ++k) {
            if (counterpart[k] == kNoTopic) {
                ++c.topics;
                c.items += tree.itemCount(static_cast<int32_t>(k));
            }
        }
        return c;
    }

    void topic(int32_t b, int32_t a) {
        TopicMove move = moves_[static_cast<size_t>(b)];
        bool renamed = before_.caption(b) != after_.caption(a);
        bool icon = before_.icon(b) != after_.icon(a);
        bool items = !before_.sameItems(b, after_, a);
        if (move == TopicMove::InPlace && !renamed && !icon && !items) {
            return;  // most Topics: nothing to say, not even their path to work out
        }
        std::string path = TopicPath(after_, a);
        if (move != TopicMove::InPlace) {
            DocumentChange c = Change(ChangeKind::TopicMoved, path, TopicPath(before_, b));
            c.row = before_.row(b);
            c.rowAfter = after_.row(a);
            changes_.push_back(std::move(c));
        }
        if (renamed) {
            changes_.push_back(Change(ChangeKind::TopicRenamed, path, TopicPath(before_, b)));
        }
        if (icon) {
            DocumentChange c = Change(ChangeKind::TopicIconChanged, path);
            c.iconBefore = before_.icon(b);
            c.iconAfter = after_.icon(a);
            changes_.push_back(std::move(c));
        }
        if (items) {
            listChanges(before_.items(b), after_.items(a), path);
        }
    }

    void item(ChangeKind kind, const std::string& path, std::string_view text, size_t row,
              std::string_view before = {}) {
        DocumentChange c = Change(kind, path, std::string(before), std::string(text));
        c.row = row;
        changes_.push_back(std::move(c));
    }

    void listChanges(const ItemList& old, const ItemList& now, const std::string& path) {
        ItemMatch m = MatchItems(old, now);
        for (size_t i = 0; i < old.size(); ++i) {
            if (m.toAfter[i] < 0) {
                item(ChangeKind::ItemRemoved, path, old[i].text(), i);
            }
        }
        for (size_t j = 0; j < now.size(); ++j) {
            int32_t i = m.toBefore[j];
            std::string_view text = now[j].text();
            if (i < 0) {
                item(ChangeKind::ItemAdded, path, text, j);
                continue;
            }
            ItemView was = old[static_cast<size_t>(i)];
            if (was.text() != text) {
                item(ChangeKind::ItemEdited, path, text, j, was.text());
            }
            bool checked = IsCheckedMark(now[j].mark());
            bool wasChecked = IsCheckedMark(was.mark());
            if (checked != wasChecked) {
                item(checked ? ChangeKind::ItemTicked : ChangeKind::ItemUnticked, path, text, j);
            } else if (was.mark() != now[j].mark() && was.text() == text) {
                // A mark of neither kind (as a file may carry) changed into another.
                item(ChangeKind::ItemEdited, path, now[j].stored(), j, was.stored());
            }
            if (m.moved[static_cast<size_t>(i)]) {
                DocumentChange c = Change(ChangeKind::ItemMoved, path, {}, std::string(text));
                c.row = static_cast<size_t>(i);
                c.rowAfter = j;
                changes_.push_back(std::move(c));
            }
        }
    }

    TextKeys keys_;
    FlatTree before_;
    FlatTree after_;
    TopicMatch match_;
    std::vector<TopicMove> moves_;
    std::vector<DocumentChange> changes_;
};

}  // namespace

std::vector<DocumentChange> DiffDocuments(const Document& before, const Document& after) {
    return Differ(before, after).run();
}

}  // namespace brenvale
