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

namespace {

enum class ReadOutcome { Read, Missing, Failed };

// Reads the file when it is a regular one: a pipe or a device would hang the read or never end
// it.
ReadOutcome ReadIfPresent(const std::string& path, std::string* bytes) {
    bytes->clear();
    OpenedFile opened = OpenRegularFile(path);
    int fd = opened.fd;
    if (fd < 0) {
        bool missing = opened.failure == OpenFailure::System && opened.error == ENOENT;
        return missing ? ReadOutcome::Missing : ReadOutcome::Failed;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && info.st_size > 0) {
        bytes->reserve(static_cast<size_t>(info.st_size));
    }
    char chunk[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            ::close(fd);
            bytes->clear();
            return ReadOutcome::Failed;
        }
        if (n == 0) {
            break;
        }
        bytes->append(chunk, static_cast<size_t>(n));
    }
    ::close(fd);
    return ReadOutcome::Read;
}

}  // namespace

std::string IniWriteErrorText(const std::string& path) {
    return path + " に書き込めません";
}

const std::string& IniFile::Bytes() const {
    if (!bytes_) {
        bytes_.emplace();
        // A file that cannot be read reads as empty: every key gives its default.
        ReadIfPresent(path_, &*bytes_);
    }
    return *bytes_;
}

std::vector<std::optional<std::string>> IniFile::ReadValues(std::span<const IniKey> keys) const {
    return FindIniValues(Bytes(), keys);
}

std::vector<std::pair<std::string, std::string>> IniFile::SectionEntries(
    std::string_view section) const {
    return IniSectionEntries(Bytes(), section);
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
            bytes_.reset();
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
    // Later reads of the batch read the file again rather than keep a second copy here.
    bytes_.reset();
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
