#include "settings/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "common/error.h"
#include "common/file_io.h"
#include "common/readable_file.h"
#include "settings/ini_lock.h"
#include "settings/ini_source.h"
#include "settings/ini_text.h"
#include "settings/ini_value.h"

namespace brenvale {

std::string IniWriteErrorText(const std::string& path) {
    return path + " に書き込めません";
}

template <typename Result, typename ReadFrom>
Result IniFile::Read(const ReadFrom& read) const {
    // A file that is missing, is not a regular one (a pipe or a device would hang the read or
    // never end it) or cannot be read reads as empty: every key gives its default.
    OpenedFile opened = OpenRegularFile(path_);
    if (opened.fd >= 0) {
        try {
            return read(IniFileSource(opened.fd, path_));
        } catch (const Error&) {
            // The read failed part of the way: nothing of it is taken.
        }
    }
    return read(IniTextSource(std::string_view()));
}

std::vector<std::optional<std::string>> IniFile::ReadValues(std::span<const IniKey> keys) const {
    return Read<std::vector<std::optional<std::string>>>(
        [&](const IniSource& source) { return FindIniValues(source, keys); });
}

std::vector<std::pair<std::string, std::string>> IniFile::SectionEntries(
    std::string_view section) const {
    return Read<std::vector<std::pair<std::string, std::string>>>(
        [&](const IniSource& source) { return IniSectionEntries(source, section); });
}

void IniFile::FailWrite() const {
    throw Error(IniWriteErrorText(path_));
}

void IniFile::Change(std::span<const IniEdit> edits) {
    IniWriteLock lock(path_, lockWait_);
    lockBusy_ = lock.state() == IniWriteLock::State::Busy;
    if (lockBusy_) {
        throw Error(IniLockBusyText(path_, lockWait_));
    }
    if (lock.state() != IniWriteLock::State::Held) {
        FailWrite();
    }
    // The old file is read in pieces, twice: once for where the edits go, once for the runs
    // they leave alone, which go straight to the new file. Neither file is held in memory.
    try {
        OpenedFile opened = OpenRegularFile(path_);
        if (opened.fd < 0 && (opened.failure != OpenFailure::System || opened.error != ENOENT)) {
            FailWrite();  // writing now would drop whatever the file holds
        }
        std::optional<IniFileSource> file;
        if (opened.fd >= 0) {
            file.emplace(opened.fd, path_);
        }
        const IniTextSource missing{std::string_view()};
        const IniSource& source = file ? static_cast<const IniSource&>(*file) : missing;
        const IniEditedText edited(source, edits);
        if (!edited.Changes()) {
            return;
        }
        AtomicFileWriter writer(path_);
        edited.Write([&writer](std::string_view piece) { writer.Write(piece); });
        // Another program that wrote the file meanwhile (it does not take the lock) would
        // have the new file mix its text with the old.
        if (file) {
            file->CheckUnchanged();
        }
        writer.Commit();
    } catch (const Error&) {
        // The settings file has its own message; the system's reason adds nothing the
        // user can act on here.
        FailWrite();
    }
}

void IniFile::Write(std::span<const IniEdit> edits, const std::function<void(size_t)>& written) {
    size_t writable = 0;
    while (writable < edits.size() && IsWritableIniEdit(edits[writable])) {
        ++writable;
    }
    auto tell = [&](size_t i) {
        if (written) {
            written(i);
        }
    };
    if (writable > 0) {
        bool whole = false;
        try {
            Change(edits.first(writable));
            whole = true;
        } catch (const Error&) {
            // Another process's lock would be waited for again by each edit alone.
            if (writable == 1 || lockBusy_) {
                throw;
            }
            // One write of them all failed, perhaps only for its size: they go one at a time
            // then, so that exactly those before the one that fails reach the file, and that
            // one's failure is what is reported.
        }
        for (size_t i = 0; i < writable; ++i) {
            if (!whole) {
                Change(edits.subspan(i, 1));
            }
            tell(i);
        }
    }
    if (writable < edits.size()) {
        FailWrite();
    }
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const IniEdit edits[] = {IniEdit::Set(section, key, value)};
    Write(edits);
}

void IniFile::ReplaceSection(std::string_view section,
                             const std::vector<std::pair<std::string, std::string>>& entries) {
    std::vector<IniEdit> edits = {IniEdit::Erase(section)};
    for (const auto& [key, value] : entries) {
        edits.push_back(IniEdit::Set(section, key, value));
    }
    for (const IniEdit& edit : edits) {
        if (!IsWritableIniEdit(edit)) {
            FailWrite();
        }
    }
    Change(edits);
}

}  // namespace brenvale
