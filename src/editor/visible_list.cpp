#include "editor/visible_list.h"

#include <algorithm>

#include "common/check_mark.h"
#include "document/topic.h"
#include "editor/document_changes.h"
#include "editor/editor_host.h"

namespace brenvale {

size_t VisibleList::rowCount() const {
    if (!topic_) {
        return 0;
    }
    return filtering_ ? rows_.size() : topic_->items.size();
}

size_t VisibleList::itemOfRow(size_t row) const {
    return filtering_ ? rows_[row] : row;
}

std::optional<size_t> VisibleList::rowOfItem(size_t item) const {
    if (!topic_ || item >= topic_->items.size()) {
        return std::nullopt;
    }
    if (!filtering_) {
        return item;
    }
    auto it = std::lower_bound(rows_.begin(), rows_.end(), item);
    if (it == rows_.end() || *it != item) {
        return std::nullopt;
    }
    return static_cast<size_t>(it - rows_.begin());
}

size_t VisibleList::insertionRow(size_t item) const {
    if (!filtering_) {
        return item;
    }
    return static_cast<size_t>(std::lower_bound(rows_.begin(), rows_.end(), item) - rows_.begin());
}

size_t VisibleList::hiddenCount() const {
    return topic_ && filtering_ ? topic_->items.size() - rows_.size() : 0;
}

long VisibleList::selectedItem() const {
    return hasSelectedItem() && static_cast<size_t>(selectedRow_) < rowCount()
               ? static_cast<long>(itemOfRow(static_cast<size_t>(selectedRow_)))
               : -1;
}

std::string_view VisibleList::rowText(size_t row) const {
    return row < rowCount() ? std::as_const(topic_->items)[itemOfRow(row)].text()
                            : std::string_view();
}

TextRef VisibleList::rowRef(size_t row) const {
    return topic_->items.ref(itemOfRow(row));
}

bool VisibleList::rowChecked(size_t row) const {
    if (row >= rowCount()) {
        return false;
    }
    size_t item = itemOfRow(row);
    for (const auto& [i, checked] : unstoredTicks_) {
        if (i == item) {
            return checked;
        }
    }
    return std::as_const(topic_->items)[item].checked();
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

std::string VisibleList::hiddenText() const {
    size_t hidden = hiddenCount();
    return hidden == 0 ? std::string() : " 非表示 " + std::to_string(hidden);
}

std::string VisibleList::allHiddenText() const {
    if (!filtering_ || !hidingChecked_ || rowCount() > 0) {
        return {};
    }
    // Only the Items the switch hides: a tag filter may hide unchecked ones as well.
    size_t hidden = 0;
    for (size_t i = 0; i < topic_->items.size(); ++i) {
        hidden += hideable(i);
    }
    if (hidden == 0) {
        return {};
    }
    return "チェック済みの項目 " + std::to_string(hidden) + " 件を隠しています";
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

bool VisibleList::hideable(size_t item) const {
    if (!hidingChecked_) {
        return false;
    }
    ItemView view = std::as_const(topic_->items)[item];
    // Only the two switches decide an Item's kind; the mark's text is not needed here.
    ListKindOptions kinds{settings_.separatorItems, settings_.noBoxItems, {}};
    return view.checked() && view.kind(kinds) == ItemKind::Ordinary;
}

void VisibleList::buildRows() {
    rows_.clear();
    pendingHide_.clear();
    hidingChecked_ = topic_ && settings_.hideCheckedItems;
    filtering_ = topic_ && (hidingChecked_ || matcher_);
    if (!filtering_) {
        return;
    }
    const ItemList& items = topic_->items;
    rows_.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        if (!hideable(i) && (!matcher_ || matcher_->matches(items[i].text()))) {
            rows_.push_back(static_cast<uint32_t>(i));
        }
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
    buildRows();
    measureAll();
    selectedRow_ = rowCount() == 0 ? -1 : 0;
    views_.list([](EditorObserver& o) { o.endResetList(); });
    views_.all([](EditorObserver& o) { o.selectedRowChanged(); });
    updateExtent();
}

void VisibleList::clear() {
    views_.list([](EditorObserver& o) { o.beginResetList(); });
    topic_ = nullptr;
    selectedRow_ = -1;
    filtering_ = false;
    hidingChecked_ = false;
    rows_.clear();
    pendingHide_.clear();
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

void VisibleList::selectItem(long item) {
    if (!topic_ || item < 0 || rowCount() == 0) {
        return;
    }
    size_t row = insertionRow(static_cast<size_t>(item));
    select(static_cast<int>(std::min(row, rowCount() - 1)));
}

size_t VisibleList::reveal(size_t item) {
    if (std::optional<size_t> row = rowOfItem(item)) {
        return *row;
    }
    size_t row = insertionRow(item);
    views_.list([&](EditorObserver& o) { o.beginInsertItems(row, row); });
    rows_.insert(rows_.begin() + static_cast<long>(row), static_cast<uint32_t>(item));
    if (selectedRow_ >= static_cast<int>(row)) {
        ++selectedRow_;
    }
    textArrived(row);
    views_.list([](EditorObserver& o) { o.endInsertItems(); });
    updateExtent();
    return row;
}

void VisibleList::refilter() {
    if (!topic_) {
        return;
    }
    long selected = selectedItem();
    views_.list([](EditorObserver& o) { o.beginResetList(); });
    buildRows();
    measureAll();
    selectedRow_ = -1;
    if (rowCount() > 0) {
        size_t row = selected < 0 ? 0 : insertionRow(static_cast<size_t>(selected));
        selectedRow_ = static_cast<int>(std::min(row, rowCount() - 1));
    }
    views_.list([](EditorObserver& o) { o.endResetList(); });
    views_.all([](EditorObserver& o) { o.selectedRowChanged(); });
    updateExtent();
}

void VisibleList::hideSoon(size_t item) {
    if (std::find(pendingHide_.begin(), pendingHide_.end(), item) == pendingHide_.end()) {
        pendingHide_.push_back(item);
    }
    // Each tick starts the moment again: rows do not go while the user is still ticking.
    host_.SetHideCheckedTimer(kHideDelayMs);
}

void VisibleList::hidePending() {
    if (!topic_ || !filtering_ || pendingHide_.empty()) {
        pendingHide_.clear();
        return;
    }
    std::vector<size_t> items = std::move(pendingHide_);
    pendingHide_.clear();
    // From the last row up, so the rows still to go keep their numbers.
    std::sort(items.begin(), items.end(), std::greater<>());
    bool selectionMoved = false;
    for (size_t item : items) {
        std::optional<size_t> row = rowOfItem(item);
        if (!row || !hideable(item)) {
            continue;
        }
        textLeaving(*row);
        views_.list([&](EditorObserver& o) { o.beginRemoveItem(*row); });
        rows_.erase(rows_.begin() + static_cast<long>(*row));
        // The selected row, when it goes, hands over to the row that takes its place.
        if (selectedRow_ > static_cast<int>(*row)) {
            --selectedRow_;
            selectionMoved = true;
        } else if (selectedRow_ == static_cast<int>(*row)) {
            selectedRow_ = std::min(selectedRow_, static_cast<int>(rows_.size()) - 1);
            selectionMoved = true;
        }
        views_.list([](EditorObserver& o) { o.endRemoveItem(); });
    }
    if (selectionMoved) {
        views_.all([](EditorObserver& o) { o.selectedRowChanged(); });
    }
    updateExtent();
}

void VisibleList::tick(size_t row) {
    size_t item = itemOfRow(row);
    bool flipped = !rowChecked(row);
    auto it = std::find_if(unstoredTicks_.begin(), unstoredTicks_.end(),
                           [&](const auto& entry) { return entry.first == item; });
    if (it != unstoredTicks_.end()) {
        it->second = flipped;
    } else {
        unstoredTicks_.emplace_back(item, flipped);
    }
    views_.all([&](EditorObserver& o) { o.itemsChanged(row, row); });
}

void VisibleList::store(DocumentChanges& changes) {
    if (!topic_) {
        return;
    }
    ItemList& items = topic_->items;
    // Taken out first: the changes below tell the list of each Item again.
    std::vector<std::pair<size_t, bool>> ticks = std::move(unstoredTicks_);
    unstoredTicks_.clear();
    for (const auto& [item, checked] : ticks) {
        if (item < items.size()) {
            changes.setChecked(topic_, item, checked);
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

}  // namespace brenvale
