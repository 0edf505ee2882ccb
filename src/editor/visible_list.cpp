#include "editor/visible_list.h"

#include <algorithm>

#include "common/check_mark.h"
#include "document/topic.h"
#include "editor/document_changes.h"

namespace brenvale {

size_t VisibleList::rowCount() const {
    return topic_ ? topic_->items.size() : 0;
}

std::string_view VisibleList::rowText(size_t row) const {
    return row < rowCount() ? std::as_const(topic_->items)[row].text() : std::string_view();
}

bool VisibleList::rowChecked(size_t row) const {
    if (row >= rowCount()) {
        return false;
    }
    for (const auto& [r, checked] : unstoredTicks_) {
        if (r == row) {
            return checked;
        }
    }
    return std::as_const(topic_->items)[row].checked();
}

ItemKind VisibleList::rowKind(size_t row) const {
    return KindOf(rowText(row), settings_.separatorItems, settings_.noBoxItems);
}

std::string VisibleList::counterText() const {
    return std::to_string(selectedRow_ + 1) + "/" + std::to_string(rowCount());
}

std::string VisibleList::uncheckedText() const {
    size_t unchecked = 0;
    for (size_t i = 0; i < rowCount(); ++i) {
        unchecked += !rowChecked(i) && rowKind(i) == ItemKind::Ordinary;
    }
    return " (" + std::to_string(unchecked) + ")";
}

void VisibleList::setTextWidthMeasure(TextWidthFn measure) {
    measure_ = std::move(measure);
    remeasure();
}

void VisibleList::setClientWidth(int width) {
    clientWidth_ = width;
    updateExtent();
}

void VisibleList::measureAll() {
    widths_.clear();
    for (size_t i = 0; i < rowCount(); ++i) {
        widths_.add(measure_(rowText(i)));
    }
}

void VisibleList::remeasure() {
    measureAll();
    updateExtent();
}

void VisibleList::updateExtent() {
    int widest = widths_.widest();
    int extent = clientWidth_ < widest + 24 ? widest + 24 : 0;
    if (extent != extent_) {
        extent_ = extent;
        views_.all([](EditorObserver& o) { o.listExtentChanged(); });
    }
}

void VisibleList::load(Topic* topic) {
    views_.list([](EditorObserver& o) { o.beginResetList(); });
    topic_ = topic;
    unstoredTicks_.clear();
    marksStored_ = true;
    const ItemList& items = topic->items;
    for (size_t i = 0; i < items.size(); ++i) {
        std::string_view mark = items[i].mark();
        if (mark != kCheckedMark && mark != kUncheckedMark) {
            marksStored_ = false;
            break;
        }
    }
    measureAll();
    selectedRow_ = items.empty() ? -1 : 0;
    views_.list([](EditorObserver& o) { o.endResetList(); });
    views_.all([](EditorObserver& o) { o.selectedRowChanged(); });
    updateExtent();
}

void VisibleList::clear() {
    views_.list([](EditorObserver& o) { o.beginResetList(); });
    topic_ = nullptr;
    selectedRow_ = -1;
    unstoredTicks_.clear();
    marksStored_ = true;
    widths_.clear();
    views_.list([](EditorObserver& o) { o.endResetList(); });
}

void VisibleList::select(int row) {
    if (row != selectedRow_) {
        selectedRow_ = row;
        views_.all([](EditorObserver& o) { o.selectedRowChanged(); });
    }
}

void VisibleList::tick(size_t row) {
    bool flipped = !rowChecked(row);
    auto it = std::find_if(unstoredTicks_.begin(), unstoredTicks_.end(),
                           [&](const auto& entry) { return entry.first == row; });
    if (it != unstoredTicks_.end()) {
        it->second = flipped;
    } else {
        unstoredTicks_.emplace_back(row, flipped);
    }
    views_.all([&](EditorObserver& o) { o.itemsChanged(row, row); });
}

void VisibleList::store(DocumentChanges& changes) {
    if (!topic_) {
        return;
    }
    ItemList& items = topic_->items;
    // Taken out first: the changes below tell the list of each row again.
    std::vector<std::pair<size_t, bool>> ticks = std::move(unstoredTicks_);
    unstoredTicks_.clear();
    for (const auto& [row, checked] : ticks) {
        if (row < items.size()) {
            changes.setChecked(topic_, row, checked);
        }
    }
    if (!marksStored_) {
        marksStored_ = true;
        for (size_t i = 0; i < items.size(); ++i) {
            changes.setChecked(topic_, i, std::as_const(items)[i].checked());
        }
    }
}

void VisibleList::dropUnstored() {
    unstoredTicks_.clear();
}

void VisibleList::textLeaving(size_t row) {
    widths_.remove(measure_(rowText(row)));
}

void VisibleList::textArrived(size_t row) {
    widths_.add(measure_(rowText(row)));
}

void VisibleList::rowsInserted(size_t row, size_t count) {
    for (auto& [r, checked] : unstoredTicks_) {
        if (r >= row) {
            r += count;
        }
    }
}

bool VisibleList::rowRemoved(size_t row) {
    std::erase_if(unstoredTicks_, [&](const auto& entry) { return entry.first == row; });
    for (auto& [r, checked] : unstoredTicks_) {
        if (r > row) {
            --r;
        }
    }
    if (selectedRow_ < 0) {
        return false;
    }
    if (static_cast<size_t>(selectedRow_) > row) {
        --selectedRow_;
        return false;
    }
    if (static_cast<size_t>(selectedRow_) < row) {
        return false;
    }
    selectedRow_ = static_cast<int>(row) - 1;
    if (selectedRow_ < 0 && rowCount() > 0) {
        selectedRow_ = 0;
    }
    return true;
}

void VisibleList::rowMoved(size_t from, size_t to) {
    for (auto& [r, checked] : unstoredTicks_) {
        if (r == from) {
            r = to;
        } else if (from < to && r > from && r <= to) {
            --r;
        } else if (to < from && r >= to && r < from) {
            ++r;
        }
    }
}

}  // namespace brenvale
