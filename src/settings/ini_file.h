#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/colour.h"
#include "settings/ini_lock.h"
#include "settings/ini_text.h"

namespace brenvale {

// Access to one INI file (the settings file, a shortcut file) for one batch of reads or
// writes. The file is never held open, nor held in memory: reads and writes go through it in
// pieces, so a file of any size costs a few megabytes.
//
// Each read sees the file as it is then; a file that is missing or cannot be read gives the
// defaults.
//
// Every write goes to the file at once. Several instances of the program share the settings
// file, so a write takes an advisory lock that they all take (flock on "<file>.lock"), reads
// the current file again, changes the one key and replaces the file atomically. For every key
// the last writer wins, and no file is ever left half written. A write that fails throws Error
// ("<file> に書き込めません"). A lock that another process keeps longer than lockWait is given
// up: nothing is written and Error says so (IniLockBusyText). A file that another program
// (which takes no lock) changes while a write copies from it fails the write: the new file
// would mix the two.
//
// Reading many keys takes one pass over the file, and writing many two (one for where the
// edits go, one to copy what they leave alone): read them with ReadValues and write them with
// Write rather than key by key.
class IniFile {
public:
    explicit IniFile(std::string path, std::chrono::milliseconds lockWait = kIniLockWait)
        : path_(std::move(path)), lockWait_(lockWait) {}

    const std::string& path() const { return path_; }

    // The values of many keys (without the blanks around them, nullopt when missing).
    std::vector<std::optional<std::string>> ReadValues(std::span<const IniKey> keys) const;
    // The keys of a section in file order, with their values.
    std::vector<std::pair<std::string, std::string>> SectionEntries(std::string_view section) const;

    // Creates the file and the section when needed; other lines stay as they are.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    // Erases the section and writes the entries in order, as one write.
    void ReplaceSection(std::string_view section,
                        const std::vector<std::pair<std::string, std::string>>& entries);
    // The edits in order, with what writing them one at a time promises: when one fails, the
    // ones before it are in the file and the rest are not. They go to the file as one write
    // when they can. written(i) is called once edit i is in the file, in order.
    void Write(std::span<const IniEdit> edits, const std::function<void(size_t)>& written = {});

private:
    template <typename Result, typename ReadFrom>
    Result Read(const ReadFrom& read) const;
    void Change(std::span<const IniEdit> edits);
    [[noreturn]] void FailWrite() const;

    std::string path_;
    std::chrono::milliseconds lockWait_;
    bool lockBusy_ = false;  // the last write gave up on another process's lock
};

// The text of a failed write to a settings or shortcut file.
std::string IniWriteErrorText(const std::string& path);

}  // namespace brenvale
