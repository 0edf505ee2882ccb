#include "settings/shortcut_file.h"

#include <utility>

#include "common/cp932.h"
#include "settings/ini_file.h"

namespace brenvale {

namespace {

constexpr std::string_view kSection = "ShortCutKey";

bool IsNoneText(std::string_view stored) {
    return stored == kNoShortcutTextCp932 || stored == kNoShortcutText;
}

std::string ToFileText(std::string_view shown) {
    if (shown == kNoShortcutText) {
        return std::string(kNoShortcutTextCp932);
    }
    std::optional<std::string> cp932 = Utf8ToCp932(shown);
    return cp932 ? *cp932 : std::string(shown);
}

// The stored text of every name, empty when missing, in one pass over the file.
std::vector<std::string> StoredTexts(const std::string& path,
                                     std::span<const std::string_view> names) {
    std::vector<IniKey> keys;
    keys.reserve(names.size());
    for (std::string_view name : names) {
        keys.push_back({kSection, name});
    }
    std::vector<std::string> texts;
    texts.reserve(names.size());
    for (std::optional<std::string>& value : IniFile(path).ReadValues(keys)) {
        texts.push_back(value.value_or(std::string()));
    }
    return texts;
}

}  // namespace

void WriteShortcutFile(const std::string& path, std::span<const ShortcutFileLine> lines) {
    std::vector<std::pair<std::string, std::string>> entries;
    entries.reserve(lines.size());
    for (const ShortcutFileLine& line : lines) {
        entries.emplace_back(line.name, ToFileText(line.text));
    }
    IniFile(path).ReplaceSection(kSection, entries);
}

std::vector<std::optional<Shortcut>> ReadShortcutFile(const std::string& path,
                                                      std::span<const std::string_view> names) {
    std::vector<std::optional<Shortcut>> out;
    out.reserve(names.size());
    for (const std::string& value : StoredTexts(path, names)) {
        if (value.empty()) {
            out.emplace_back(std::nullopt);
        } else {
            // The none text is no key name either, so it parses to no shortcut.
            out.emplace_back(ParseShortcut(value));
        }
    }
    return out;
}

std::vector<std::string> ReadShortcutTexts(const std::string& path,
                                           std::span<const std::string_view> names) {
    std::vector<std::string> out;
    out.reserve(names.size());
    for (const std::string& value : StoredTexts(path, names)) {
        if (value.empty() || IsNoneText(value)) {
            out.emplace_back(kNoShortcutText);
        } else {
            out.push_back(Cp932ToUtf8(value));
        }
    }
    return out;
}

}  // namespace brenvale
