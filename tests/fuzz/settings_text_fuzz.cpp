// The settings text on any bytes: reading never fails, writing one key (or erasing one
// section) leaves every other key as it was, and several edits at once give what making them
// one after the other gives; a file of the text read in pieces gives the same.
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <map>

#include "common/text.h"
#include "fuzz_check.h"
#include "settings/ini_source.h"
#include "settings/ini_text.h"

using namespace brenvale;

namespace {

using Values = std::map<std::pair<std::string, std::string>, std::optional<std::string>>;

// What each key of each section reads as (the first section of a name counts).
Values ReadAll(std::string_view text, const std::vector<std::string>& sections) {
    Values values;
    for (const std::string& section : sections) {
        for (const std::string& key : IniSectionKeys(text, section)) {
            values[{section, key}] = FindIniValue(text, section, key);
        }
    }
    return values;
}

bool SameName(const std::string& a, const std::string& b) {
    return IniNamesEqual(a, b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::array<std::string, 5> kSections = {"Save", "Window", "Recent", "ToolBar",
                                                         "s"};
    static const std::array<std::string, 5> kKeys = {"EveryS", "Height", "0", "00", "k"};
    if (size < 2) {
        return 0;
    }
    const std::string section = kSections[data[0] % kSections.size()];
    const std::string key = kKeys[(data[0] / kSections.size()) % kKeys.size()];
    // The value: up to the first NUL, without line breaks (the writer refuses those).
    std::string_view rest = fuzz::Bytes(data + 1, size - 1);
    size_t nul = std::min(rest.find('\0'), size_t{40});
    std::string value(rest.substr(0, std::min(nul, rest.size())));
    std::erase_if(value, [](char c) { return c == '\r' || c == '\n'; });
    const std::string_view text = nul < rest.size() ? rest.substr(nul + 1) : std::string_view{};

    std::vector<std::string> sections = IniSectionNames(text);
    sections.push_back(section);
    const Values before = ReadAll(text, sections);

    std::string written = SetIniValue(text, section, key, value);
    std::optional<std::string> read = FindIniValue(written, section, key);
    fuzz::Check(read && *read == TrimWhite(value).substr(0, kMaxIniValue),
                "a written key reads back");
    Values after = ReadAll(written, sections);
    for (const auto& [name, old] : before) {
        if (SameName(name.first, section) && SameName(name.second, key)) {
            continue;
        }
        fuzz::Check(after.count(name) && after[name] == old, "every other key stays as it was");
    }

    std::string erased = EraseIniSection(text, section);
    fuzz::Check(IniSectionKeys(erased, section).empty(), "an erased section has no keys");
    for (const auto& [name, old] : before) {
        if (!SameName(name.first, section)) {
            fuzz::Check(FindIniValue(erased, name.first, name.second) == old,
                        "erasing a section keeps the others");
        }
    }

    // A key, another section erased, and a key in that section, as one write and one by one.
    const std::string other = kSections[(data[0] / 3) % kSections.size()];
    const std::string otherKey = kKeys[(data[0] / 7) % kKeys.size()];
    const IniEdit edits[] = {IniEdit::Set(section, key, value), IniEdit::Erase(other),
                             IniEdit::Set(other, otherKey, value), IniEdit::Set(section, key, "")};
    std::string stepwise(text);
    for (const IniEdit& edit : edits) {
        stepwise = edit.kind == IniEdit::Kind::Set
                       ? SetIniValue(stepwise, edit.section, edit.key, edit.value)
                       : EraseIniSection(stepwise, edit.section);
    }
    fuzz::Check(ApplyIniEdits(text, edits) == stepwise, "edits at once are edits one by one");

    // The same text as a file read in small pieces: the same values, the same edited text.
    const int fd = ::memfd_create("settings", MFD_CLOEXEC);
    fuzz::Check(fd >= 0 && ::write(fd, text.data(), text.size()) == ssize_t(text.size()),
                "the text goes to a file");
    const IniFileSource file(fd, "settings", 1 + data[0] % 8);
    const IniKey keys[] = {{section, key}, {other, otherKey}, {"s", "k"}};
    fuzz::Check(FindIniValues(file, keys) == FindIniValues(text, keys),
                "a file read in pieces gives the values of its text");
    const IniEditedText edited(file, edits);
    std::string fromFile;
    edited.Write([&](std::string_view piece) { fromFile.append(piece); });
    fuzz::Check(fromFile == stepwise, "a file read in pieces is edited as its text");
    fuzz::Check(edited.Changes() == (stepwise != text), "a change is seen where there is one");
    return 0;
}
