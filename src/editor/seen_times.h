#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace brenvale {

// When a document was last open in an editor of this user, kept in a small file per document
// (named after a hash of its path) in a private folder: the reminders that passed while no
// editor had it open are those after that time. Times are LocalTime counts.
class SeenTimes {
public:
    // No folder: nothing is kept, and nothing is known.
    explicit SeenTimes(std::string folder = {}) : folder_(std::move(folder)) {}

    std::optional<int64_t> read(const std::string& documentPath) const;
    // A folder or file that cannot be written is let be: the next open lists a little more.
    void write(const std::string& documentPath, int64_t count) const noexcept;

    // $XDG_STATE_HOME/brenvale/reminders (see RecoveryFolder); empty when there is no home.
    static std::string FolderFromEnvironment();

private:
    std::string fileOf(const std::string& documentPath) const;

    std::string folder_;
};

}  // namespace brenvale
