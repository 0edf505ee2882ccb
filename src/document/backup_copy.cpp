#include "document/backup_copy.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/file_io.h"
#include "common/path.h"
#include "common/readable_file.h"

namespace brenvale {

namespace {

std::string BackupErrorText(BackupError::Kind kind, const std::string& path,
                            const std::string& reason) {
    if (kind == BackupError::Kind::OldStays) {
        return "古いバックアップファイル「" + path + "」を削除できないため保存できません。";
    }
    return "バックアップファイル「" + path + "」を作成できませんでした（" + reason + "）。";
}

// The errors with which a file that is there refuses to be replaced or written.
bool RefusesReplacing(int error) {
    return error == EACCES || error == EPERM || error == EISDIR || error == EROFS ||
           error == EBUSY || error == ETXTBSY || error == ENOTEMPTY || error == EEXIST;
}

[[noreturn]] void NotMade(const std::string& backup, int error) {
    throw BackupError(BackupError::Kind::NotMade, backup, std::strerror(error));
}

}  // namespace

std::string BackupName(const std::string& path, const std::string& backupFolder) {
    if (backupFolder == kOwnFolderToken) {
        return ReplaceExtension(path, ".BAK");
    }
    return JoinPath(backupFolder, ReplaceExtension(FileNamePart(path), ".BAK"));
}

BackupError::BackupError(Kind kind, std::string backupPath, std::string reason)
    : Error(BackupErrorText(kind, backupPath, reason)),
      kind_(kind),
      backupPath_(std::move(backupPath)),
      reason_(std::move(reason)) {}

std::string SaveWithoutBackupQuestion(const BackupError& e) {
    return std::string(e.what()) + "バックアップなしで保存しますか？";
}

void MakeBackup(const std::string& path, const std::string& backup) {
    OpenedFile document = OpenRegularFile(path);
    if (document.failure == OpenFailure::System && document.error == ENOENT) {
        return;  // a new document
    }
    if (document.failure == OpenFailure::NotRegular || document.failure == OpenFailure::Folder) {
        return;  // nothing to go back to; the write itself says what it makes of it
    }
    if (document.fd < 0) {
        NotMade(backup, document.error);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{document.fd};
    struct stat st;
    mode_t mode = ::fstat(document.fd, &st) == 0 ? (st.st_mode & 0777) : 0600;
    struct stat old;
    bool oldThere = ::lstat(backup.c_str(), &old) == 0;
    try {
        // The copy has the document's permissions, as a copy made afresh would. Only a
        // regular file is replaced: a pipe or a device there would take the bytes, or wait.
        AtomicFileWriter writer(backup, mode, WriteTarget::RegularFile);
        char chunk[1 << 16];
        for (;;) {
            ssize_t n = ::read(document.fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                NotMade(backup, errno);
            }
            if (n == 0) {
                break;
            }
            writer.Write(std::string_view(chunk, static_cast<size_t>(n)));
        }
        writer.Commit();
    } catch (const WriteError& e) {
        BackupError::Kind kind = oldThere && RefusesReplacing(e.error())
                                     ? BackupError::Kind::OldStays
                                     : BackupError::Kind::NotMade;
        throw BackupError(kind, backup, e.reason());
    }
}

}  // namespace brenvale
