#include "editor/seen_times.h"

#include <charconv>
#include <exception>

#include "common/content_hash.h"
#include "common/file_io.h"
#include "common/path.h"
#include "editor/recovery_folder.h"

namespace brenvale {

namespace {

constexpr const char* kHexDigits = "0123456789ABCDEF";

}  // namespace

std::string SeenTimes::FolderFromEnvironment() {
    std::optional<std::string> recovery = RecoveryFolderFromEnvironment();
    if (!recovery) {
        return {};
    }
    // Beside the recovery copies: .../brenvale/recovery becomes .../brenvale/reminders.
    std::string folder = *recovery;
    size_t slash = folder.find_last_of('/');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash) + "/reminders";
}

std::string SeenTimes::fileOf(const std::string& documentPath) const {
    uint64_t hash = HashBytes(documentPath);
    std::string name(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4) {
        name[static_cast<size_t>(i)] = kHexDigits[hash & 15];
    }
    return folder_ + "/" + name;
}

std::optional<int64_t> SeenTimes::read(const std::string& documentPath) const {
    if (folder_.empty() || documentPath.empty()) {
        return std::nullopt;
    }
    std::string file = fileOf(documentPath);
    if (!FileExists(file)) {
        return std::nullopt;
    }
    std::string text;
    try {
        text = ReadWholeFile(file);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    // "<count>\n<document path>": a file of another path with the same hash is not this one's.
    size_t line = text.find('\n');
    if (line == std::string::npos || text.substr(line + 1) != documentPath + "\n") {
        return std::nullopt;
    }
    int64_t count = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + line, count);
    if (error != std::errc() || end != text.data() + line) {
        return std::nullopt;
    }
    return count;
}

void SeenTimes::write(const std::string& documentPath, int64_t count) const noexcept {
    if (folder_.empty() || documentPath.empty()) {
        return;
    }
    try {
        MakePrivateFolder(folder_, "リマインダーの記録用のフォルダー");
        WriteFileAtomically(fileOf(documentPath),
                            std::to_string(count) + "\n" + documentPath + "\n");
    } catch (const std::exception&) {
        // Reminders go on without the record; the next open may list one again.
    }
}

}  // namespace brenvale
