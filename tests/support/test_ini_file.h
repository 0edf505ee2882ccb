#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/colour.h"
#include "settings/ini_file.h"
#include "settings/ini_value.h"

namespace brenvale::test {

// An INI file with key-by-key reads and writes, which the program itself does in batches
// (ReadValues, Write): tests look at and set one key at a time.
class TestIniFile : public IniFile {
public:
    using IniFile::IniFile;

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue = {}) const {
        std::optional<std::string> value = find(section, key);
        return value ? *value : std::string(defaultValue);
    }
    int32_t ReadInteger(std::string_view section, std::string_view key,
                        int32_t defaultValue) const {
        return IniIntegerOr(find(section, key), defaultValue);
    }
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
        return IniBoolOr(find(section, key), defaultValue);
    }
    Colour ReadColour(std::string_view section, std::string_view key, Colour defaultValue) const {
        std::optional<std::string> text = find(section, key);
        std::optional<Colour> value = text ? ParseColour(*text) : std::nullopt;
        return value.value_or(defaultValue);
    }
    std::vector<std::string> SectionKeys(std::string_view section) const {
        std::vector<std::string> keys;
        for (auto& [key, value] : SectionEntries(section)) {
            keys.push_back(std::move(key));
        }
        return keys;
    }

    void WriteInteger(std::string_view section, std::string_view key, int32_t value) {
        WriteString(section, key, std::to_string(value));
    }
    void WriteBool(std::string_view section, std::string_view key, bool value) {
        WriteString(section, key, FormatIniBool(value));
    }
    void WriteColour(std::string_view section, std::string_view key, Colour value) {
        WriteString(section, key, FormatColour(value));
    }
    void EraseSection(std::string_view section) {
        const IniEdit edits[] = {IniEdit::Erase(section)};
        Write(edits);
    }

private:
    std::optional<std::string> find(std::string_view section, std::string_view key) const {
        const IniKey keys[] = {{section, key}};
        return ReadValues(keys).front();
    }
};

}  // namespace brenvale::test
