// The backup a save makes first: made through a complete temporary file, never at the cost of
// the old backup, and a save that cannot make it stops before the document is touched.
#include "document/backup_copy.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "document/document_writer.h"
#include "document/example_document.h"
#include "support/file_size_limit.h"
#include "support/read_only_file.h"
#include "support/read_only_folder.h"

namespace brenvale {
namespace {

WriteOptions WithBackup() {
    WriteOptions options;
    options.backup = true;
    return options;
}

// The BackupError a save of doc to path throws; fails the test when there is none.
BackupError FailedSave(Document& doc, const std::string& path, const WriteOptions& options) {
    try {
        WriteDocument(doc, path, {}, options);
    } catch (const BackupError& e) {
        return e;
    }
    ADD_FAILURE() << "the save of " << path << " went on without its backup";
    return BackupError(BackupError::Kind::NotMade, "", "");
}

TEST(Backup, ABackupCutShortLeavesTheOldBackupAndTheDocument) {
    test::TempDir dir;
    Document doc;
    test::BuildExample(doc);
    const std::string path = dir.file("a.bnv");
    const std::string big(1 << 20, 'd');
    test::WriteBytes(path, big);
    test::WriteBytes(dir.file("a.BAK"), "the old backup");
    {
        // A disk that fills up in the middle of the copy.
        test::FileSizeLimit limit(100000);
        BackupError e = FailedSave(doc, path, WithBackup());
        EXPECT_EQ(e.kind(), BackupError::Kind::NotMade);
        EXPECT_EQ(e.reason(), "File too large");
    }
    EXPECT_EQ(test::ReadBytes(dir.file("a.BAK")), "the old backup");
    EXPECT_TRUE(test::ReadBytes(path) == big);
    EXPECT_EQ(test::FolderEntries(dir.path()), (std::set<std::string>{"a.BAK", "a.bnv"}));

    WriteDocument(doc, path, {}, WithBackup());
    EXPECT_TRUE(test::ReadBytes(dir.file("a.BAK")) == big);
}

TEST(Backup, AnOldBackupThatCannotBeReplacedStopsTheSave) {
    test::TempDir dir;
    Document doc;
    test::BuildExample(doc);
    const std::string path = dir.file("a.bnv");
    test::WriteBytes(path, "document");
    test::WriteBytes(dir.file("a.BAK"), "the old backup");
    {
        test::ReadOnlyFile locked(dir.file("a.BAK"));
        if (!locked.ok()) {
            GTEST_SKIP() << "this file system cannot lock a file";
        }
        BackupError e = FailedSave(doc, path, WithBackup());
        EXPECT_EQ(e.kind(), BackupError::Kind::OldStays);
        EXPECT_EQ(SaveWithoutBackupQuestion(e),
                  "古いバックアップファイル「" + dir.file("a.BAK") +
                      "」を削除できないため保存できません。バックアップなしで保存しますか？");
        EXPECT_EQ(test::ReadBytes(path), "document");

        // The window's "save without a backup".
        WriteDocument(doc, path, {}, WriteOptions{});
        EXPECT_NE(test::ReadBytes(path), "document");
    }
    EXPECT_EQ(test::ReadBytes(dir.file("a.BAK")), "the old backup");
    EXPECT_EQ(test::FolderEntries(dir.path()), (std::set<std::string>{"a.BAK", "a.bnv"}));
}

TEST(Backup, ABackupFolderThatTakesNoFileStopsTheSave) {
    test::TempDir dir;
    Document doc;
    test::BuildExample(doc);
    const std::string path = dir.file("a.bnv");
    test::WriteBytes(path, "document");
    test::ReadOnlyFolder folder(dir.file("bak"));
    if (!folder.ok()) {
        GTEST_SKIP() << "this file system cannot lock a folder";
    }
    WriteOptions options = WithBackup();
    options.backupFolder = folder.path();
    BackupError e = FailedSave(doc, path, options);
    EXPECT_EQ(e.kind(), BackupError::Kind::NotMade);
    EXPECT_EQ(e.backupPath(), folder.path() + "/a.BAK");
    EXPECT_FALSE(e.reason().empty());
    EXPECT_EQ(test::ReadBytes(path), "document");
}

TEST(Backup, TheCopyHasTheDocumentsPermissions) {
    test::TempDir dir;
    Document doc;
    test::BuildExample(doc);
    const std::string path = dir.file("a.bnv");
    test::WriteBytes(path, "private");
    ::chmod(path.c_str(), 0600);
    test::WriteBytes(dir.file("a.BAK"), "older");
    ::chmod(dir.file("a.BAK").c_str(), 0644);
    WriteDocument(doc, path, {}, WithBackup());
    struct stat st;
    ASSERT_EQ(::stat(dir.file("a.BAK").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(test::ReadBytes(dir.file("a.BAK")), "private");
}

TEST(Backup, NothingIsCopiedFromADeviceOrForANewDocument) {
    test::TempDir dir;
    Document doc;
    test::BuildExample(doc);
    WriteOptions options = WithBackup();
    options.backupFolder = dir.path();
    WriteDocument(doc, "/dev/null", {}, options);
    WriteDocument(doc, dir.file("new.bnv"), {}, options);
    EXPECT_EQ(test::FolderEntries(dir.path()), std::set<std::string>{"new.bnv"});
}

}  // namespace
}  // namespace brenvale
