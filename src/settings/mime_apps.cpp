#include "settings/mime_apps.h"

#include "common/text.h"

namespace brenvale {

namespace {

constexpr std::string_view kDefaults = "Default Applications";

struct Line {
    std::string_view text;  // without its line break
    std::string_view group;
    std::string_view key;  // of a "key=value" line
    std::string_view value;
    bool isHeader = false;
};

std::vector<Line> LinesOf(std::string_view text) {
    std::vector<Line> lines;
    std::string_view group;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t lf = text.find('\n', pos);
        size_t end = lf == std::string_view::npos ? text.size() : lf;
        Line line;
        line.text = text.substr(pos, end - pos);
        std::string_view trimmed = TrimWhite(line.text);
        if (trimmed.starts_with('[') && trimmed.ends_with(']')) {
            group = trimmed.substr(1, trimmed.size() - 2);
            line.isHeader = true;
        } else if (!trimmed.starts_with('#')) {
            size_t eq = trimmed.find('=');
            if (eq != std::string_view::npos) {
                line.key = TrimWhite(trimmed.substr(0, eq));
                line.value = TrimWhite(trimmed.substr(eq + 1));
            }
        }
        line.group = group;
        lines.push_back(line);
        pos = end + 1;
    }
    return lines;
}

bool IsDefaultOf(const Line& line, std::string_view type) {
    return !line.isHeader && line.group == kDefaults && !line.key.empty() &&
           EqualsIgnoreCase(line.key, type);
}

std::vector<std::string_view> SplitList(std::string_view value) {
    std::vector<std::string_view> items;
    size_t pos = 0;
    while (pos <= value.size()) {
        size_t semicolon = value.find(';', pos);
        if (semicolon == std::string_view::npos) {
            semicolon = value.size();
        }
        std::string_view item = TrimWhite(value.substr(pos, semicolon - pos));
        if (!item.empty()) {
            items.push_back(item);
        }
        pos = semicolon + 1;
    }
    return items;
}

// The lines joined again, each ending in a line feed.
std::string Join(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out.append(line).push_back('\n');
    }
    return out;
}

}  // namespace

std::optional<std::string> DefaultApplicationLine(std::string_view mimeapps,
                                                  std::string_view type) {
    for (const Line& line : LinesOf(mimeapps)) {
        if (IsDefaultOf(line, type)) {
            return std::string(line.text);
        }
    }
    return std::nullopt;
}

std::optional<std::string> DefaultApplication(std::string_view mimeapps, std::string_view type) {
    for (const Line& line : LinesOf(mimeapps)) {
        if (IsDefaultOf(line, type)) {
            std::vector<std::string_view> ids = SplitList(line.value);
            return ids.empty() ? std::nullopt : std::optional<std::string>(ids.front());
        }
    }
    return std::nullopt;
}

std::string SetDefaultApplication(std::string_view mimeapps, std::string_view type,
                                  std::string_view desktopId) {
    const std::string entry = std::string(type) + "=" + std::string(desktopId) + ";";
    std::vector<Line> lines = LinesOf(mimeapps);
    std::vector<std::string> out;
    bool written = false;
    // Where a new entry goes: after the last non-blank line of the group.
    std::optional<size_t> insertAt;
    for (const Line& line : lines) {
        if (IsDefaultOf(line, type)) {
            if (!written) {
                out.push_back(entry);
                written = true;
            }
            continue;  // a later duplicate would only confuse readers
        }
        out.emplace_back(line.text);
        if (line.group == kDefaults && !TrimWhite(line.text).empty()) {
            insertAt = out.size();
        }
    }
    if (!written) {
        if (insertAt) {
            out.insert(out.begin() + static_cast<std::ptrdiff_t>(*insertAt), entry);
        } else {
            if (!out.empty() && !TrimWhite(out.back()).empty()) {
                out.emplace_back();
            }
            out.push_back("[" + std::string(kDefaults) + "]");
            out.push_back(entry);
        }
    }
    return Join(out);
}

std::string RemoveDefaultApplication(std::string_view mimeapps, std::string_view type,
                                     std::string_view desktopId, bool* removed) {
    *removed = false;
    std::vector<std::string> out;
    for (const Line& line : LinesOf(mimeapps)) {
        if (!IsDefaultOf(line, type)) {
            out.emplace_back(line.text);
            continue;
        }
        std::string rest;
        for (std::string_view id : SplitList(line.value)) {
            if (id == desktopId) {
                *removed = true;
            } else {
                rest.append(id).push_back(';');
            }
        }
        if (!rest.empty()) {
            out.push_back(std::string(line.key) + "=" + rest);
        }
    }
    return Join(out);
}

std::vector<std::string> TypesOfPattern(std::string_view globs2, std::string_view pattern) {
    std::vector<std::string> types;
    for (const Line& line : LinesOf(globs2)) {
        std::string_view text = TrimWhite(line.text);
        if (text.empty() || text.starts_with('#')) {
            continue;
        }
        size_t first = text.find(':');
        size_t second = first == std::string_view::npos ? first : text.find(':', first + 1);
        if (second == std::string_view::npos) {
            continue;
        }
        std::string_view type = text.substr(first + 1, second - first - 1);
        std::string_view glob = text.substr(second + 1);
        std::string_view flags;
        if (size_t third = glob.find(':'); third != std::string_view::npos) {
            flags = glob.substr(third + 1);
            glob = glob.substr(0, third);
        }
        bool caseSensitive = flags.find("cs") != std::string_view::npos;
        if (caseSensitive ? glob == pattern : EqualsIgnoreCase(glob, pattern)) {
            types.emplace_back(type);
        }
    }
    return types;
}

}  // namespace brenvale
