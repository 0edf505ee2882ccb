// VisibleList following the changes of its Topic's Items: rows, pending ticks and pending hides
// move with the Items they stand for.
#include <algorithm>

#include "common/check_mark.h"
#include "document/topic.h"
#include "editor/document_changes.h"
#include "editor/editor_host.h"
#include "editor/visible_list.h"

namespace brenvale {

namespace {

// Moves an Item's index (a pending tick, a pending hide) the way an insertion or a move of
// Items shifts it.
template <typename T>
void ShiftForInsert(T& index, size_t item, size_t count) {
    if (index >= item) {
        index += static_cast<T>(count);
    }
}

template <typename T>
void ShiftForMove(T& index, size_t from, size_t to) {
    if (index == from) {
        index = static_cast<T>(to);
    } else if (from < to && index > from && index <= to) {
        --index;
    } else if (to < from && index >= to && index < from) {
        ++index;
    }
}

}  // namespace

size_t VisibleList::itemsInserted(size_t item, size_t count) {
    for (auto& [i, checked] : unstoredTicks_) {
        ShiftForInsert(i, item, count);
    }
    for (size_t& i : pendingHide_) {
        ShiftForInsert(i, item, count);
    }
    size_t row = insertionRow(item);
    // The selected row keeps its Item.
    if (selectedRow_ >= static_cast<int>(row)) {
        selectedRow_ += static_cast<int>(count);
    }
    if (!filtering_) {
        return row;
    }
    for (size_t r = row; r < rows_.size(); ++r) {
        rows_[r] += static_cast<uint32_t>(count);
    }
    rows_.insert(rows_.begin() + static_cast<long>(row), count, 0);
    for (size_t k = 0; k < count; ++k) {
        rows_[row + k] = static_cast<uint32_t>(item + k);
    }
    for (size_t k = 0; k < count; ++k) {
        if (hideable(item + k)) {
            hideSoon(item + k);
        }
    }
    return row;
}

bool VisibleList::itemRemoved(size_t item) {
    std::erase_if(unstoredTicks_, [&](const auto& entry) { return entry.first == item; });
    for (auto& [i, checked] : unstoredTicks_) {
        if (i > item) {
            --i;
        }
    }
    std::erase(pendingHide_, item);
    for (size_t& i : pendingHide_) {
        if (i > item) {
            --i;
        }
    }
    std::optional<size_t> removedRow;
    if (filtering_) {
        auto it = std::lower_bound(rows_.begin(), rows_.end(), item);
        if (it != rows_.end() && *it == item) {
            removedRow = static_cast<size_t>(it - rows_.begin());
            it = rows_.erase(it);
        }
        for (; it != rows_.end(); ++it) {
            --*it;
        }
    } else {
        removedRow = item;
    }
    if (!removedRow || selectedRow_ < 0) {
        return false;
    }
    size_t row = *removedRow;
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

std::optional<std::pair<size_t, size_t>> VisibleList::rowsOfMove(size_t from, size_t to) const {
    std::optional<size_t> fromRow = rowOfItem(from);
    if (!fromRow) {
        return std::nullopt;
    }
    if (!filtering_) {
        return std::pair{from, to};
    }
    // Where the row lands among the rows of the other Items, by their indices after the move.
    size_t toRow = to > from
                       ? static_cast<size_t>(std::upper_bound(rows_.begin(), rows_.end(), to) -
                                             rows_.begin()) -
                             1
                       : insertionRow(to);
    return std::pair{*fromRow, toRow};
}

void VisibleList::itemMoved(size_t from, size_t to) {
    for (auto& [i, checked] : unstoredTicks_) {
        ShiftForMove(i, from, to);
    }
    for (size_t& i : pendingHide_) {
        ShiftForMove(i, from, to);
    }
    if (!filtering_) {
        return;
    }
    // The moved Item's row leaves and comes back at its place; the others keep their order.
    auto it = std::lower_bound(rows_.begin(), rows_.end(), from);
    bool shows = it != rows_.end() && *it == from;
    if (shows) {
        rows_.erase(it);
    }
    for (uint32_t& i : rows_) {
        i -= i > from ? 1 : 0;
        i += i >= to ? 1 : 0;
    }
    if (shows) {
        rows_.insert(std::lower_bound(rows_.begin(), rows_.end(), to), static_cast<uint32_t>(to));
    }
}

void VisibleList::itemsReordered(const std::vector<uint32_t>& order) {
    std::vector<uint32_t> now(order.size());  // the new index of each Item
    for (size_t k = 0; k < order.size(); ++k) {
        now[order[k]] = static_cast<uint32_t>(k);
    }
    long selected = selectedItem();
    for (auto& [i, checked] : unstoredTicks_) {
        i = now[i];
    }
    for (size_t& i : pendingHide_) {
        i = now[i];
    }
    if (filtering_) {
        for (uint32_t& i : rows_) {
            i = now[i];
        }
        std::sort(rows_.begin(), rows_.end());
    }
    if (selected >= 0) {
        selectedRow_ = static_cast<int>(rowOfItem(now[static_cast<size_t>(selected)]).value_or(0));
    }
}

void VisibleList::itemChanged(size_t item) {
    if (filtering_ && rowOfItem(item) && hideable(item)) {
        hideSoon(item);
    }
}

}  // namespace brenvale
