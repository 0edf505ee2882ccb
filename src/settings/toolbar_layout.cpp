#include "settings/toolbar_layout.h"

#include <cstdio>
#include <utility>

#include "settings/ini_file.h"

namespace brenvale {

namespace {

constexpr std::string_view kToolbarSection = "ToolBar";

int IndexOf(std::string_view value, std::span<const std::string_view> names) {
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == value) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string PositionKey(size_t position) {
    char key[24];
    std::snprintf(key, sizeof key, "%02zu", position);
    return key;
}

}  // namespace

std::vector<std::string> ReadToolbarValues(const std::string& settingsPath) {
    std::vector<std::string> values;
    for (auto& [key, value] : IniFile(settingsPath).SectionEntries(kToolbarSection)) {
        values.push_back(std::move(value));
    }
    return values;
}

std::vector<int> ResolveToolbar(std::span<const std::string> values,
                                std::span<const std::string_view> names) {
    std::vector<size_t> lastPlace(names.size(), 0);
    for (size_t i = 0; i < values.size(); ++i) {
        int command = IndexOf(values[i], names);
        if (command >= 0) {
            lastPlace[static_cast<size_t>(command)] = i;
        }
    }
    std::vector<int> buttons;
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i] == kToolbarSeparatorText) {
            buttons.push_back(kToolbarSeparator);
            continue;
        }
        int command = IndexOf(values[i], names);
        if (command >= 0 && lastPlace[static_cast<size_t>(command)] == i) {
            buttons.push_back(command);
        }
    }
    return buttons;
}

void WriteToolbarValues(const std::string& settingsPath, std::span<const std::string> values) {
    std::vector<std::pair<std::string, std::string>> entries;
    entries.reserve(values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        entries.emplace_back(PositionKey(i), values[i]);
    }
    IniFile(settingsPath).ReplaceSection(kToolbarSection, entries);
}

}  // namespace brenvale
