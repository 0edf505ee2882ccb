#include "settings/ini_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/error.h"
#include "common/file_io.h"
#include "common/readable_file.h"
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

// The exclusive advisory lock every instance takes around a write. The lock file stays: removing
// it would let two writers lock two different files.
class WriteLock {
public:
    explicit WriteLock(const std::string& iniPath) {
        std::string lockPath = iniPath + ".lock";
        fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno == EACCES) {
            // flock needs no write access; no open here waits for a writer of a pipe.
            fd_ = ::open(lockPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        }
        if (fd_ < 0 && errno == ENOENT) {
            // A folder that takes no new file: the settings file is written in place there,
            // never replaced, so every writer can lock the file itself.
            fd_ = ::open(iniPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        }
        if (fd_ < 0) {
            return;
        }
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(fd_);
                fd_ = -1;
                return;
            }
        }
    }
    ~WriteLock() {
        if (fd_ >= 0) {
            ::close(fd_);  // releases the lock
        }
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// Names and values that would change the file's structure, not just one value.
bool IsWritable(std::string_view section, std::string_view key, std::string_view value) {
    return !section.empty() && !key.empty() && !HasLineBreak(section) && !HasLineBreak(key) &&
           !HasLineBreak(value) && section.find(']') == std::string_view::npos &&
           key.find('=') == std::string_view::npos && key.front() != '[' && key.front() != ';';
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

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
    return FindIniValue(Bytes(), section, key);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    std::optional<std::string> value = Find(section, key);
    return value ? *value : std::string(defaultValue);
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                             int32_t defaultValue) const {
    std::optional<std::string> text = Find(section, key);
    std::optional<int32_t> value = text ? ParseIniInteger(*text) : std::nullopt;
    return value.value_or(defaultValue);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

Colour IniFile::ReadColour(std::string_view section, std::string_view key,
                           Colour defaultValue) const {
    std::optional<std::string> text = Find(section, key);
    std::optional<Colour> value = text ? ParseColour(*text) : std::nullopt;
    return value.value_or(defaultValue);
}

std::vector<std::string> IniFile::SectionKeys(std::string_view section) const {
    return IniSectionKeys(Bytes(), section);
}

void IniFile::FailWrite() const {
    throw Error(IniWriteErrorText(path_));
}

void IniFile::Change(const std::function<std::string(std::string_view)>& change) {
    WriteLock lock(path_);
    if (!lock.held()) {
        FailWrite();
    }
    std::string current;
    ReadOutcome read = ReadIfPresent(path_, &current);
    if (read == ReadOutcome::Failed) {
        FailWrite();  // writing now would drop whatever the file holds
    }
    std::string next = change(current);
    if (next != current) {
        try {
            WriteFileAtomically(path_, next);
        } catch (const Error&) {
            // The settings file has its own message; the system's reason adds nothing the
            // user can act on here.
            FailWrite();
        }
    }
    bytes_ = std::move(next);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    if (!IsWritable(section, key, value)) {
        FailWrite();
    }
    Change([&](std::string_view bytes) { return SetIniValue(bytes, section, key, value); });
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, FormatIniBool(value));
}

void IniFile::WriteColour(std::string_view section, std::string_view key, Colour value) {
    WriteString(section, key, FormatColour(value));
}

void IniFile::EraseSection(std::string_view section) {
    Change([&](std::string_view bytes) { return EraseIniSection(bytes, section); });
}

void IniFile::ReplaceSection(std::string_view section,
                             const std::vector<std::pair<std::string, std::string>>& entries) {
    for (const auto& [key, value] : entries) {
        if (!IsWritable(section, key, value)) {
            FailWrite();
        }
    }
    Change([&](std::string_view bytes) { return ReplaceIniSection(bytes, section, entries); });
}

}  // namespace brenvale
