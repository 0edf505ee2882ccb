#include "editor/document_changes.h"

#include "editor/editor.h"
#include "editor/item_changes.h"
#include "editor/topic_changes.h"
#include "editor/undo_history.h"

namespace brenvale {

Document& DocumentChanges::document() const {
    return *editor_.doc_;
}

bool DocumentChanges::inStep() const {
    return history_.inStep() && !history_.replaying();
}

void DocumentChanges::record(std::unique_ptr<UndoChange> change) {
    if (!history_.replaying()) {
        history_.record(std::move(change));
    }
}

template <typename Fn>
void DocumentChanges::notifyTree(Fn&& fn) {
    if (editor_.bulkTree_ == 0) {
        editor_.notify(fn);
    }
}

// ---- Topics

void DocumentChanges::topicInserted(const Topic& t) {
    record(std::make_unique<TopicPlacement>(t));
}

void DocumentChanges::removeTopic(Topic* t) {
    Topic* parent = t->parent();
    size_t row = t->row();
    record(std::make_unique<TopicPlacement>(parent, row, takeTopic(parent, row)));
}

Topic& DocumentChanges::putTopic(Topic* parent, size_t row, DetachedTopic t) {
    notifyTree([&](EditorObserver& o) { o.beginInsertTopic(parent, row); });
    Topic& put = document().insert(parent, row, std::move(t));
    notifyTree([](EditorObserver& o) { o.endInsertTopic(); });
    // The views show a subtree coming back as it was, folded where it was folded.
    ForEachInSubtree(put, [&](Topic& x, int) {
        if (x.hasChildren()) {
            Topic* topic = &x;
            notifyTree([&](EditorObserver& o) { o.topicExpansionChanged(topic); });
        }
    });
    return put;
}

DetachedTopic DocumentChanges::takeTopic(Topic* parent, size_t row) {
    Topic* t = document().sibling(parent, row);
    notifyTree([&](EditorObserver& o) { o.beginRemoveTopic(parent, row); });
    DetachedTopic taken = document().remove(t);
    notifyTree([](EditorObserver& o) { o.endRemoveTopic(); });
    return taken;
}

void DocumentChanges::moveTopic(Topic* t, Topic* parent, size_t row) {
    Topic* fromParent = t->parent();
    size_t fromRow = t->row();
    if (fromParent == parent && fromRow == row) {
        return;
    }
    notifyTree([&](EditorObserver& o) { o.beginMoveTopic(fromParent, fromRow, parent, row); });
    document().move(t, parent, row);
    notifyTree([](EditorObserver& o) { o.endMoveTopic(); });
    record(std::make_unique<TopicMove>(t, fromParent, fromRow));
}

void DocumentChanges::setCaption(Topic* t, std::string_view caption) {
    if (t->caption == caption) {
        return;
    }
    Caption before = t->caption;
    t->setCaption(caption);
    if (inStep()) {
        record(std::make_unique<TopicCaptionChange>(t, std::move(before)));
    }
    notifyTree([&](EditorObserver& o) { o.topicChanged(t); });
}

void DocumentChanges::setIcon(Topic* t, int icon) {
    if (t->icon == icon) {
        return;
    }
    int before = t->icon;
    t->icon = icon;
    if (inStep()) {
        record(std::make_unique<TopicIconChange>(t, before));
    }
    notifyTree([&](EditorObserver& o) { o.topicChanged(t); });
}

void DocumentChanges::setExpanded(Topic* t, bool expanded) {
    if (t->expanded == expanded) {
        return;
    }
    t->expanded = expanded;
    if (inStep()) {
        record(std::make_unique<TopicExpansionChange>(t, !expanded));
    }
    notifyTree([&](EditorObserver& o) { o.topicExpansionChanged(t); });
}

void DocumentChanges::swapCaption(Topic* t, Caption& other) {
    std::swap(t->caption, other);
    notifyTree([&](EditorObserver& o) { o.topicChanged(t); });
}

void DocumentChanges::swapIcon(Topic* t, int& other) {
    std::swap(t->icon, other);
    notifyTree([&](EditorObserver& o) { o.topicChanged(t); });
}

void DocumentChanges::swapExpanded(Topic* t, bool& other) {
    bool expanded = other;
    other = t->expanded;
    t->expanded = expanded;
    notifyTree([&](EditorObserver& o) { o.topicExpansionChanged(t); });
}

// ---- Items

void DocumentChanges::insertItem(Topic* t, size_t row, std::string_view mark,
                                 std::string_view text) {
    t->items.insert(row, mark, text);
    itemsInserted(t, row, 1);
}

void DocumentChanges::itemsInserted(Topic* t, size_t row, size_t count) {
    if (count == 0 || history_.replaying()) {
        return;
    }
    // The Items of one multi-line add follow one another into one record.
    if (history_.inStep()) {
        if (auto* last = dynamic_cast<ItemPlacement*>(history_.lastChange());
            last && count == 1 && last->extend(t, row)) {
            return;
        }
    }
    record(std::make_unique<ItemPlacement>(t, row, count));
}

void DocumentChanges::eraseItem(Topic* t, size_t row) {
    TextRef ref = takeItemRef(t, row);
    record(std::make_unique<ItemPlacement>(t, row, ref));
}

void DocumentChanges::moveItem(Topic* t, size_t from, size_t to) {
    if (from == to) {
        return;
    }
    t->items.move(from, to);
    record(std::make_unique<ItemMove>(t, from, to));
}

void DocumentChanges::recordForm(Topic* t, size_t row, TextRef before) {
    if (t->items.ref(row) == before || history_.replaying()) {
        return;
    }
    if (history_.inStep()) {
        if (auto* last = dynamic_cast<ItemFormChange*>(history_.lastChange());
            last && last->add(t, row, before)) {
            return;
        }
    }
    record(std::make_unique<ItemFormChange>(t, row, before));
}

void DocumentChanges::setItem(Topic* t, size_t row, std::string_view mark, std::string_view text) {
    TextRef before = t->items.ref(row);
    t->items.set(row, mark, text);
    recordForm(t, row, before);
}

void DocumentChanges::setChecked(Topic* t, size_t row, bool checked) {
    TextRef before = t->items.ref(row);
    t->items[row].setChecked(checked);
    recordForm(t, row, before);
}

void DocumentChanges::putItemRef(Topic* t, size_t row, TextRef ref) {
    t->items.insertRef(row, ref);
}

TextRef DocumentChanges::takeItemRef(Topic* t, size_t row) {
    return t->items.take(row);
}

void DocumentChanges::swapItemRef(Topic* t, size_t row, TextRef& other) {
    TextRef current = t->items.ref(row);
    t->items.setRef(row, other);
    other = current;
}

}  // namespace brenvale
