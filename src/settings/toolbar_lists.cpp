#include "settings/toolbar_lists.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "settings/caption_text.h"
#include "settings/text_order.h"
#include "settings/toolbar_layout.h"

namespace brenvale {

void ToolbarEntryList::clearSelection() {
    std::fill(selected_.begin(), selected_.end(), false);
}

void ToolbarEntryList::selectOnly(size_t index) {
    clearSelection();
    selected_[index] = true;
    current_ = static_cast<int>(index);
}

int ToolbarEntryList::firstSelection() const {
    auto first = std::find(selected_.begin(), selected_.end(), true);
    return first == selected_.end() ? -1 : static_cast<int>(first - selected_.begin());
}

size_t ToolbarEntryList::selectionCount() const {
    return static_cast<size_t>(std::count(selected_.begin(), selected_.end(), true));
}

void ToolbarEntryList::insert(size_t index, ToolbarEntry entry) {
    index = std::min(index, entries_.size());
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(index), std::move(entry));
    selected_.insert(selected_.begin() + static_cast<std::ptrdiff_t>(index), false);
    if (current_ >= static_cast<int>(index)) {
        ++current_;
    }
}

void ToolbarEntryList::erase(size_t index) {
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    selected_.erase(selected_.begin() + static_cast<std::ptrdiff_t>(index));
    if (current_ > static_cast<int>(index) || current_ >= static_cast<int>(entries_.size())) {
        --current_;
    }
}

void ToolbarEntryList::clear() {
    entries_.clear();
    selected_.clear();
    current_ = -1;
}

ToolbarLists::ToolbarLists(std::span<const CommandEntry> commands, std::span<const int> toolbar)
    : commands_(commands.begin(), commands.end()) {
    std::vector<bool> shown(commands_.size(), false);
    for (int slot : toolbar) {
        if (slot == ToolbarEntry::kSeparator) {
            dst_.insert(dst_.size(), SeparatorEntry());
        } else if (slot >= 0 && static_cast<size_t>(slot) < commands_.size()) {
            dst_.insert(dst_.size(), CommandEntryOf(static_cast<size_t>(slot)));
            shown[static_cast<size_t>(slot)] = true;
        }
    }
    for (size_t command = 0; command < commands_.size(); ++command) {
        if (!shown[command]) {
            ToolbarEntry entry = CommandEntryOf(command);
            size_t place = sortedPlace(entry);
            src_.insert(place, std::move(entry));
        }
    }
    src_.insert(src_.size(), SeparatorEntry());
}

ToolbarEntry ToolbarLists::CommandEntryOf(size_t command) const {
    const CommandEntry& c = commands_[command];
    char tag[24];
    std::snprintf(tag, sizeof tag, "(%02d) ", c.tag);
    return {static_cast<int>(command), tag + PlainCaption(c.caption), c.image};
}

ToolbarEntry ToolbarLists::SeparatorEntry() {
    return {ToolbarEntry::kSeparator, "区切り", ToolbarEntry::kNoImage};
}

size_t ToolbarLists::sortedPlace(const ToolbarEntry& entry) const {
    size_t place = 0;
    while (place < src_.size() && CompareLocaleText(src_.at(place).text, entry.text) <= 0) {
        ++place;
    }
    return place;
}

std::optional<size_t> ToolbarLists::MoveEntry(Which from, size_t index, Which to, size_t position) {
    ToolbarEntryList& source = list(from);
    ToolbarEntryList& target = list(to);
    if (index >= source.size()) {
        return std::nullopt;
    }
    ToolbarEntry entry = source.at(index);
    if (from == to) {
        if (from == Which::Src) {
            return index;  // the available list keeps its sorted order
        }
        source.erase(index);
        size_t place = std::min(position, source.size());
        source.insert(place, std::move(entry));
        source.selectOnly(place);
        return place;
    }
    const bool isTemplate = from == Which::Src && entry.isSeparator();
    const bool separatorLeaves = from == Which::Dst && entry.isSeparator();
    std::optional<size_t> placed;
    if (!separatorLeaves) {
        size_t place = to == Which::Src ? sortedPlace(entry) : std::min(position, target.size());
        target.insert(place, std::move(entry));
        target.selectOnly(place);
        placed = place;
    }
    if (!isTemplate) {
        source.erase(index);
    }
    return placed;
}

void ToolbarLists::MoveSelected(Which from, Which to) {
    ToolbarEntryList& source = list(from);
    for (size_t i = source.size(); i-- > 0;) {
        if (source.isSelected(i)) {
            MoveEntry(from, i, to, SIZE_MAX);
        }
    }
}

void ToolbarLists::SetItem(Which which, int index) {
    focus_ = which;
    ToolbarEntryList& l = list(which);
    l.clearSelection();
    if (l.empty()) {
        l.setCurrent(-1);
        return;
    }
    l.selectOnly(static_cast<size_t>(std::clamp(index, 0, static_cast<int>(l.size()) - 1)));
}

void ToolbarLists::Add() {
    int first = src_.firstSelection();
    MoveSelected(Which::Src, Which::Dst);
    SetItem(Which::Src, first);
}

void ToolbarLists::Del() {
    int first = dst_.firstSelection();
    MoveSelected(Which::Dst, Which::Src);
    SetItem(Which::Dst, first);
}

void ToolbarLists::AddAll() {
    if (src_.size() >= 2) {
        // The template sorts last and stays.
        for (size_t n = src_.size() - 1; n > 0; --n) {
            MoveEntry(Which::Src, 0, Which::Dst, SIZE_MAX);
        }
    }
    SetItem(Which::Src, 0);
}

void ToolbarLists::DelAll() {
    for (size_t n = dst_.size(); n > 0; --n) {
        MoveEntry(Which::Dst, 0, Which::Src, 0);
    }
    SetItem(Which::Dst, 0);
}

void ToolbarLists::Up() {
    int current = dst_.current();
    if (current >= 1 && current < static_cast<int>(dst_.size())) {
        MoveEntry(Which::Dst, static_cast<size_t>(current), Which::Dst,
                  static_cast<size_t>(current - 1));
        SetItem(Which::Dst, current - 1);
    }
}

void ToolbarLists::Down() {
    int current = dst_.current();
    if (current >= 0 && current + 1 < static_cast<int>(dst_.size())) {
        MoveEntry(Which::Dst, static_cast<size_t>(current), Which::Dst,
                  static_cast<size_t>(current + 1));
        SetItem(Which::Dst, current + 1);
    }
}

void ToolbarLists::Reset() {
    src_.clear();
    dst_.clear();
    src_.insert(0, SeparatorEntry());
    for (size_t command = 0; command < commands_.size(); ++command) {
        if (!commands_[command].inDefaultSet) {
            src_.insert(sortedPlace(CommandEntryOf(command)), CommandEntryOf(command));
            continue;
        }
        if (command > 0 && commands_[command].category != commands_[command - 1].category) {
            dst_.insert(dst_.size(), SeparatorEntry());
        }
        dst_.insert(dst_.size(), CommandEntryOf(command));
    }
}

ToolbarLists::Buttons ToolbarLists::ButtonStates() const {
    Buttons b;
    b.add = b.addAll = !src_.empty();
    b.del = b.delAll = !dst_.empty();
    int current = dst_.current();
    b.up = current > 0;
    b.down = current >= 0 && current + 1 < static_cast<int>(dst_.size());
    return b;
}

void ToolbarLists::StartDrag(Which which) {
    ToolbarEntryList& l = list(which);
    if (l.selectionCount() > 1) {
        l.clearSelection();
        if (l.current() >= 0 && l.current() < static_cast<int>(l.size())) {
            l.setSelected(static_cast<size_t>(l.current()), true);
        }
    }
}

size_t ToolbarLists::DropPlace(Which from, size_t dragged, std::optional<size_t> over) const {
    size_t place = over ? *over : dst_.size();
    if (from == Which::Dst && place >= dragged) {
        ++place;
    }
    return std::min(place, dst_.size());
}

void ToolbarLists::DropOnDst(Which from, size_t dragged, std::optional<size_t> over) {
    if (from == Which::Src) {
        MoveEntry(Which::Src, dragged, Which::Dst, over ? *over : SIZE_MAX);
        return;
    }
    if (dst_.empty()) {
        return;
    }
    size_t target = std::min(over ? *over : dst_.size() - 1, dst_.size() - 1);
    if (target != dragged) {
        MoveEntry(Which::Dst, dragged, Which::Dst, target);
    }
}

void ToolbarLists::DropOnSrc(size_t dragged) {
    if (dragged >= dst_.size()) {
        return;
    }
    if (!MoveEntry(Which::Dst, dragged, Which::Src, 0)) {
        src_.selectOnly(src_.size() - 1);  // the template
    }
}

std::vector<std::string> ToolbarLists::ToolbarValues() const {
    std::vector<std::string> values;
    values.reserve(dst_.size());
    for (const ToolbarEntry& entry : dst_.entries()) {
        values.push_back(entry.isSeparator()
                             ? std::string(kToolbarSeparatorText)
                             : std::string(commands_[static_cast<size_t>(entry.command)].name));
    }
    return values;
}

}  // namespace brenvale
