#pragma once

#include <string>
#include <string_view>

#include "common/error.h"

namespace brenvale {

// The folder setting that means "the document's own folder" (※File in CP932).
inline constexpr std::string_view kOwnFolderToken =
    "\x81\xA6"
    "File";

// The backup name for a write to path: beside it with ".BAK", or in the backup folder.
std::string BackupName(const std::string& path, const std::string& backupFolder);

// A backup that could not be made. Nothing of the document has been written when it is
// thrown, and the old backup, if any, is as it was; the caller may save again without a
// backup.
class BackupError : public Error {
public:
    enum class Kind {
        NotMade,   // the copy could not be written (a missing folder, a full disk)
        OldStays,  // an old backup is there and cannot be replaced
    };
    BackupError(Kind kind, std::string backupPath, std::string reason);

    Kind kind() const { return kind_; }
    const std::string& backupPath() const { return backupPath_; }
    const std::string& reason() const { return reason_; }

private:
    Kind kind_;
    std::string backupPath_;
    std::string reason_;
};

// The question whether to save without a backup after e, as the window asks it.
std::string SaveWithoutBackupQuestion(const BackupError& e);

// Copies the document at path to backup, through a complete temporary file that then replaces
// the old backup. A path where there is no regular file has nothing to keep: no copy is made.
// Throws BackupError.
void MakeBackup(const std::string& path, const std::string& backup);

}  // namespace brenvale
