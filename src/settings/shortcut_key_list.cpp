#include "settings/shortcut_key_list.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "common/path.h"
#include "common/text.h"
#include "settings/caption_text.h"
#include "settings/text_order.h"

namespace brenvale {

namespace {

// Key list entries 1 to 12 are the function keys, which need no modifier.
constexpr size_t kLastFunctionKey = 12;

bool IsReserved(std::string_view text) {
    std::span<const std::string_view> reserved = ReservedShortcutTexts();
    return std::find(reserved.begin(), reserved.end(), text) != reserved.end();
}

}  // namespace

ShortcutKeyList::ShortcutKeyList(std::span<const CommandEntry> commands,
                                 std::span<const Shortcut> shortcuts)
    : commands_(commands.begin(), commands.end()) {
    rows_.reserve(commands_.size());
    for (size_t i = 0; i < commands_.size(); ++i) {
        rows_.push_back({i, i < shortcuts.size() ? FormatShortcut(shortcuts[i])
                                                 : std::string(kNoShortcutText)});
    }
}

std::optional<size_t> ShortcutKeyList::rowOf(size_t command) const {
    for (size_t row = 0; row < rows_.size(); ++row) {
        if (rows_[row].command == command) {
            return row;
        }
    }
    return std::nullopt;
}

std::string ShortcutKeyList::text(size_t row, int column) const {
    const Row& r = rows_[row];
    switch (column) {
        case kNumber: {
            char number[24];
            std::snprintf(number, sizeof number, "%02zu", r.command);
            return number;
        }
        case kCaption:
            return PlainCaption(commands_[r.command].caption);
        case kKey:
            return r.key;
        case kCategory:
            return std::string(commands_[r.command].category);
        default:
            return {};
    }
}

void ShortcutKeyList::ClickColumn(int column) {
    sort_ = std::abs(sort_) == column ? -sort_ : column;
    sort();
}

void ShortcutKeyList::sort() {
    if (sort_ == 0) {
        return;
    }
    const int column = std::abs(sort_);
    const bool descending = sort_ < 0;
    std::vector<std::pair<std::string, Row>> keyed;
    keyed.reserve(rows_.size());
    for (size_t row = 0; row < rows_.size(); ++row) {
        keyed.emplace_back(text(row, column), rows_[row]);
    }
    std::stable_sort(keyed.begin(), keyed.end(), [descending](const auto& a, const auto& b) {
        int order = CompareLocaleText(a.first, b.first);
        return descending ? order > 0 : order < 0;
    });
    for (size_t row = 0; row < rows_.size(); ++row) {
        rows_[row] = std::move(keyed[row].second);
    }
}

ShortcutKeyList::Controls ShortcutKeyList::ControlsFor(size_t row) const {
    Shortcut key = ParseShortcut(rows_[row].key);
    Controls controls{std::nullopt, key.shift, key.ctrl, key.alt};
    std::span<const std::string_view> entries = ShortcutDialogKeys();
    if (key.empty()) {
        controls.keyEntry = 0;
        return controls;
    }
    for (size_t entry = 1; entry < entries.size(); ++entry) {
        if (entries[entry] == key.key) {
            controls.keyEntry = entry;
            break;
        }
    }
    return controls;
}

std::string ShortcutKeyList::ComposeKey(std::optional<size_t> keyEntry, bool shift, bool ctrl,
                                        bool alt) {
    std::span<const std::string_view> entries = ShortcutDialogKeys();
    std::string prefix =
        std::string(shift ? "Shift+" : "") + (ctrl ? "Ctrl+" : "") + (alt ? "Alt+" : "");
    if (!keyEntry || *keyEntry == 0 || *keyEntry >= entries.size() ||
        (prefix.empty() && *keyEntry > kLastFunctionKey)) {
        return std::string(kNoShortcutText);
    }
    return prefix + std::string(entries[*keyEntry]);
}

bool ShortcutKeyList::ConfirmKeys(
    const std::function<bool(size_t row, const std::string& message)>& confirm) const {
    std::set<std::string> seen;
    for (size_t row = 0; row < rows_.size(); ++row) {
        const std::string& key = rows_[row].key;
        if (key == kNoShortcutText) {
            continue;
        }
        if (!seen.insert(ToLowerAscii(key)).second &&
            !confirm(row, "ショートカットキー（" + key +
                              "）が重複しています。\n片方のコマンドは実行されない場合があります。"
                              "\nよろしいですか？")) {
            return false;
        }
        bool ownDefault = key == commandEntry(row).defaultKey;
        if (IsReserved(key) && !ownDefault &&
            !confirm(row, "ショートカットキー（" + key +
                              "）はプログラムによって予約/使用されています。\nコマンドが実行さ"
                              "れない、又は正しくプログラムが実行できない場合があります。よろし"
                              "いですか？")) {
            return false;
        }
    }
    return true;
}

std::vector<Shortcut> ShortcutKeyList::SortedShortcuts() {
    sort_ = kNumber;
    sort();
    std::vector<Shortcut> shortcuts(commands_.size());
    for (const Row& row : rows_) {
        shortcuts[row.command] = ParseShortcut(row.key);
    }
    return shortcuts;
}

std::vector<ShortcutFileLine> ShortcutKeyList::FileLines() const {
    std::vector<ShortcutFileLine> lines;
    lines.reserve(rows_.size());
    for (const Row& row : rows_) {
        lines.push_back({std::string(commands_[row.command].name), row.key});
    }
    return lines;
}

std::string ShortcutKeyList::OverwriteQuestion(const std::string& path) {
    return std::string(FileNamePart(path)) + "\nこのファイルは既に存在します。\n\n上書きしますか？";
}

void ShortcutKeyList::Export(const std::string& path) const {
    WriteShortcutFile(path, FileLines());
}

std::optional<std::string> ShortcutKeyList::Import(const std::string& path) {
    if (!FileExists(path)) {
        return "ファイル " + path + "が見つかりません。";
    }
    std::vector<std::string_view> names;
    for (const Row& row : rows_) {
        names.push_back(commands_[row.command].name);
    }
    std::vector<std::string> texts = ReadShortcutTexts(path, names);
    for (size_t row = 0; row < rows_.size(); ++row) {
        rows_[row].key = std::move(texts[row]);
    }
    return std::nullopt;
}

}  // namespace brenvale
