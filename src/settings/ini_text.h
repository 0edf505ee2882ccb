#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/ini_source.h"

namespace brenvale {

// The INI layout on raw bytes: "[Section]" lines, "Key=Value" lines, and anything
// else (comments, blank lines, stray text) kept as it stands. Section and key names match
// without regard to ASCII case; a CP932 double-byte character is compared as it is.
//
// Every function here takes one pass over the text, however many keys it reads or writes, so
// that a settings file of any size is read and written in time linear in its size.

// Values longer than this are cut on reading.
inline constexpr size_t kMaxIniValue = 2047;

bool IniNamesEqual(std::string_view a, std::string_view b);

struct IniKey {
    std::string_view section;
    std::string_view key;
};

// The value of each key in the first section of that name, without the blanks around it and
// cut to kMaxIniValue bytes; nullopt when the section or the key is missing.
std::vector<std::optional<std::string>> FindIniValues(std::string_view bytes,
                                                      std::span<const IniKey> keys);
std::vector<std::optional<std::string>> FindIniValues(const IniSource& source,
                                                      std::span<const IniKey> keys);
std::optional<std::string> FindIniValue(std::string_view bytes, std::string_view section,
                                        std::string_view key);

// The names of the sections, in file order (a name that comes again is listed again).
std::vector<std::string> IniSectionNames(std::string_view bytes);

// The keys of the first section of that name in file order, with their values as
// FindIniValues gives them.
std::vector<std::pair<std::string, std::string>> IniSectionEntries(std::string_view bytes,
                                                                   std::string_view section);
std::vector<std::pair<std::string, std::string>> IniSectionEntries(const IniSource& source,
                                                                   std::string_view section);
std::vector<std::string> IniSectionKeys(std::string_view bytes, std::string_view section);

// One change of an INI text: a key set to a value, or a section erased.
struct IniEdit {
    enum class Kind { Set, Erase };

    Kind kind = Kind::Set;
    std::string section;
    std::string key;    // Set only
    std::string value;  // Set only

    static IniEdit Set(std::string_view section, std::string_view key, std::string_view value);
    static IniEdit Erase(std::string_view section);
    bool operator==(const IniEdit&) const = default;
};

// Whether the edit changes one value or one section and nothing else: names that are not
// empty and have no blanks around them, no line break anywhere, a section name without "]"
// (and whose header reads back as that name), a key without "=" that does not begin with "["
// or ";".
bool IsWritableIniEdit(const IniEdit& edit);

// The text after the edits, exactly as making them one after the other gives. Setting a key
// replaces its line in the first section of that name, or adds a line after the section's
// last non-blank line, or appends the section at the end; new lines take the text's line
// break (CR LF in a text without one). Erasing removes every section of that name: headers,
// keys and the lines among them. Every edit must be writable (IsWritableIniEdit).
std::string ApplyIniEdits(std::string_view bytes, std::span<const IniEdit> edits);

// The same text handed to write in pieces, in order: runs of bytes the edits left alone (views
// into bytes) and the lines they change or add, none empty. A file is written from them
// without the whole new text in memory.
void WriteIniEdits(std::string_view bytes, std::span<const IniEdit> edits,
                   const IniTextSink& write);
// Whether the text after the edits differs from bytes.
bool IniEditsChange(std::string_view bytes, std::span<const IniEdit> edits);

namespace ini_edit_parts {
class IniEditPlayer;
}

// The edits played on a text once, for a file read in pieces: whether they change it, and the
// text after them as WriteIniEdits hands it out (the runs left alone in pieces from source).
// The source must outlive it.
class IniEditedText {
public:
    IniEditedText(const IniSource& source, std::span<const IniEdit> edits);
    ~IniEditedText();
    IniEditedText(const IniEditedText&) = delete;
    IniEditedText& operator=(const IniEditedText&) = delete;

    bool Changes() const;
    void Write(const IniTextSink& write) const;

private:
    const IniSource& source_;
    std::unique_ptr<ini_edit_parts::IniEditPlayer> player_;
};

std::string SetIniValue(std::string_view bytes, std::string_view section, std::string_view key,
                        std::string_view value);
std::string EraseIniSection(std::string_view bytes, std::string_view section);
// The section erased and the entries written after it, in order.
std::string ReplaceIniSection(std::string_view bytes, std::string_view section,
                              const std::vector<std::pair<std::string, std::string>>& entries);

}  // namespace brenvale
