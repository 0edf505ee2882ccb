#include "settings/ini_text.h"

#include <unordered_map>
#include <unordered_set>

#include "common/text.h"
#include "settings/ini_lines.h"

namespace brenvale {

namespace {

std::string ValueOf(const IniLine& line) {
    return std::string(TrimWhite(line.value).substr(0, kMaxIniValue));
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool IsWritableName(std::string_view name) {
    return !name.empty() && TrimWhite(name).size() == name.size() && !HasLineBreak(name);
}

bool IsWritableSection(std::string_view section) {
    if (!IsWritableName(section) || section.find(']') != std::string_view::npos) {
        return false;
    }
    // A last byte that opens a double-byte character would take the "]" as its second byte.
    std::string header = "[" + std::string(section) + "]";
    IniLine line = ClassifyIniLine(header, 0, header.size());
    return line.kind == IniLineKind::Header && line.name == section;
}

}  // namespace

bool IniNamesEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && FoldedIniName(a) == FoldedIniName(b);
}

std::vector<std::optional<std::string>> FindIniValues(std::string_view bytes,
                                                      std::span<const IniKey> keys) {
    return FindIniValues(IniTextSource(bytes), keys);
}

std::vector<std::optional<std::string>> FindIniValues(const IniSource& source,
                                                      std::span<const IniKey> keys) {
    std::vector<std::optional<std::string>> values(keys.size());
    // Folded section name -> folded key -> the places in keys that ask for it.
    using Wanted = std::unordered_map<std::string, std::vector<size_t>>;
    std::unordered_map<std::string, Wanted> wanted;
    size_t remaining = 0;
    for (size_t i = 0; i < keys.size(); ++i) {
        std::vector<size_t>& asking =
            wanted[FoldedIniName(keys[i].section)][FoldedIniName(keys[i].key)];
        remaining += asking.empty() ? 1 : 0;
        asking.push_back(i);
    }
    if (remaining == 0) {
        return values;
    }
    std::unordered_set<std::string> seen;  // only the first section of a name counts
    Wanted* current = nullptr;
    std::string name;
    source.ForEachLine([&](const IniLine& line, std::string_view) {
        if (line.kind == IniLineKind::Header) {
            FoldIniName(line.name, &name);
            auto section = wanted.find(name);
            current =
                section != wanted.end() && seen.insert(name).second ? &section->second : nullptr;
        } else if (line.kind == IniLineKind::Entry && current && !current->empty()) {
            FoldIniName(line.name, &name);
            auto key = current->find(name);
            if (key != current->end()) {
                std::string value = ValueOf(line);
                for (size_t i : key->second) {
                    values[i] = value;
                }
                current->erase(key);  // the first line of a key counts
                --remaining;
            }
        }
        return remaining > 0;
    });
    return values;
}

std::optional<std::string> FindIniValue(std::string_view bytes, std::string_view section,
                                        std::string_view key) {
    const IniKey keys[] = {{section, key}};
    return std::move(FindIniValues(bytes, keys).front());
}

std::vector<std::string> IniSectionNames(std::string_view bytes) {
    std::vector<std::string> names;
    IniLineScanner scanner(bytes);
    for (IniLine line; scanner.Next(&line);) {
        if (line.kind == IniLineKind::Header) {
            names.emplace_back(line.name);
        }
    }
    return names;
}

std::vector<std::pair<std::string, std::string>> IniSectionEntries(std::string_view bytes,
                                                                   std::string_view section) {
    return IniSectionEntries(IniTextSource(bytes), section);
}

std::vector<std::pair<std::string, std::string>> IniSectionEntries(const IniSource& source,
                                                                   std::string_view section) {
    std::vector<std::pair<std::string, std::string>> entries;
    bool inside = false;
    source.ForEachLine([&](const IniLine& line, std::string_view) {
        if (line.kind == IniLineKind::Header) {
            if (inside) {
                return false;
            }
            inside = IniNamesEqual(line.name, section);
        } else if (inside && line.kind == IniLineKind::Entry) {
            entries.emplace_back(std::string(line.name), ValueOf(line));
        }
        return true;
    });
    return entries;
}

std::vector<std::string> IniSectionKeys(std::string_view bytes, std::string_view section) {
    std::vector<std::string> keys;
    for (auto& [key, value] : IniSectionEntries(bytes, section)) {
        keys.push_back(std::move(key));
    }
    return keys;
}

IniEdit IniEdit::Set(std::string_view section, std::string_view key, std::string_view value) {
    return {Kind::Set, std::string(section), std::string(key), std::string(value)};
}

IniEdit IniEdit::Erase(std::string_view section) {
    return {Kind::Erase, std::string(section), {}, {}};
}

bool IsWritableIniEdit(const IniEdit& edit) {
    if (!IsWritableSection(edit.section)) {
        return false;
    }
    if (edit.kind == IniEdit::Kind::Erase) {
        return true;
    }
    return IsWritableName(edit.key) && edit.key.find('=') == std::string::npos &&
           edit.key.front() != '[' && edit.key.front() != ';' && !HasLineBreak(edit.value);
}

}  // namespace brenvale
