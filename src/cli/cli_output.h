#pragma once

#include <string>
#include <string_view>

namespace brenvale {

// Where a command writes its output file.
enum class OutputKind {
    File,    // a regular file or a new one: replaced safely, as the editor saves
    Stream,  // "-", or the file that standard output already writes to
    Direct,  // a pipe, a device or a socket that is there: written as it stands
};

OutputKind KindOfOutput(const std::string& operand);

// Whether output names the very file input names (the same device and inode), also through
// another name or a link.
bool IsSameFile(const std::string& input, const std::string& output);

// An output of the kind Direct, written as it stands a piece at a time through one descriptor
// (a pipe's reader sees one stream); throws Error when it cannot be opened or written.
class DirectOutput {
public:
    explicit DirectOutput(std::string path);
    ~DirectOutput();
    DirectOutput(const DirectOutput&) = delete;
    DirectOutput& operator=(const DirectOutput&) = delete;

    void write(std::string_view bytes);
    void close();

private:
    std::string path_;
    int fd_ = -1;
};

// Writes bytes to an output of the kind Direct; throws Error when it cannot.
void WriteDirect(const std::string& path, std::string_view bytes);

}  // namespace brenvale
