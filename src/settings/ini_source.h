#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "settings/ini_lines.h"

namespace brenvale {

// Pieces of text handed out in order.
using IniTextSink = std::function<void(std::string_view)>;

// The bytes of an INI text for the readers and the writer: its lines front to back, and runs of
// its bytes by place. A text in memory and a file read in pieces look the same to them, so a
// big settings file is read and written without being held in memory.
class IniSource {
public:
    virtual ~IniSource() = default;

    // Calls line for every line in order, with offsets from the text's start and the line's
    // break ("\r\n", "\n", "\r" or "" at the end of the text, a view that stays valid), until
    // it returns false. The line's name and value are valid during the call only.
    using LineVisitor = std::function<bool(const IniLine&, std::string_view lineBreak)>;
    virtual void ForEachLine(const LineVisitor& line) const = 0;
    // Hands the bytes [from, to) to write in one or more pieces.
    virtual void Copy(size_t from, size_t to, const IniTextSink& write) const = 0;
    // Whether the text holds these bytes at this place.
    virtual bool Holds(size_t at, std::string_view bytes) const = 0;
};

// A text in memory.
class IniTextSource : public IniSource {
public:
    explicit IniTextSource(std::string_view bytes) : bytes_(bytes) {}

    void ForEachLine(const LineVisitor& line) const override;
    void Copy(size_t from, size_t to, const IniTextSink& write) const override;
    bool Holds(size_t at, std::string_view bytes) const override;

private:
    std::string_view bytes_;
};

// A file open for reading, read in pieces of a fixed size (a line longer than a piece is held
// whole while it is looked at). A read that fails, or a file that changes while it is read,
// throws Error: a file written from it would be neither its old nor a new version.
class IniFileSource : public IniSource {
public:
    // Takes fd, which must be a regular file open for reading, and closes it.
    IniFileSource(int fd, std::string path, size_t piece = size_t{1} << 20);
    ~IniFileSource() override;
    IniFileSource(const IniFileSource&) = delete;
    IniFileSource& operator=(const IniFileSource&) = delete;

    void ForEachLine(const LineVisitor& line) const override;
    void Copy(size_t from, size_t to, const IniTextSink& write) const override;
    bool Holds(size_t at, std::string_view bytes) const override;
    // Throws Error when the file is no longer what it was when it was opened (its size or its
    // modification time changed).
    void CheckUnchanged() const;

private:
    size_t Read(char* into, size_t size, uint64_t at) const;
    [[noreturn]] void Fail(int error) const;

    int fd_;
    std::string path_;
    size_t piece_;
    uint64_t size_ = 0;
    int64_t modifiedNs_ = 0;
    mutable std::string buffer_;
    mutable std::string compared_;  // for Holds, which may run while Copy hands out a piece
};

}  // namespace brenvale
