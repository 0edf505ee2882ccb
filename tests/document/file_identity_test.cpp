// What the program remembers of a document's file, and how it tells another program's version
// from a touch or a rewrite of the same bytes.
#include "common/file_identity.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "common/content_hash.h"
#include "common/file_io.h"
#include "document/document_reader.h"
#include "document/document_writer.h"
#include "document/example_document.h"

namespace brenvale {
namespace {

// Moves the file's modification time by seconds, as a later touch would.
void Touch(const std::string& path, int seconds) {
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    times[1].tv_sec += seconds;
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// Another program replaces the file the way sync tools and safe saves do: a new file renamed
// over it.
void RenameOver(const std::string& path, const std::string& bytes) {
    test::WriteBytes(path + ".new", bytes);
    ASSERT_EQ(std::rename((path + ".new").c_str(), path.c_str()), 0);
}

DiskState Check(const std::string& path, const FileIdentity& known) {
    return CheckFileOnDisk(path, known).state;
}

TEST(ContentHash, IsTheSameHoweverTheBytesAreCutAndDiffersForOtherBytes) {
    std::mt19937 random(7);
    std::string bytes(1000, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random());
    }
    for (size_t size : {size_t{0}, size_t{3}, size_t{31}, size_t{32}, size_t{33}, size_t{1000}}) {
        std::string_view whole(bytes.data(), size);
        uint64_t once = HashBytes(whole);
        for (size_t cut = 0; cut <= size; cut += 7) {
            for (size_t step : {size_t{1}, size_t{5}, size_t{64}}) {
                ContentHash pieces;
                pieces.add(whole.substr(0, cut));
                for (size_t at = cut; at < size; at += step) {
                    pieces.add(whole.substr(at, step));
                }
                ASSERT_EQ(pieces.value(), once) << size << " " << cut << " " << step;
            }
        }
    }
    std::string other = bytes;
    other[500] ^= 1;
    EXPECT_NE(HashBytes(other), HashBytes(bytes));
    EXPECT_NE(HashBytes(bytes.substr(0, 999)), HashBytes(bytes));
}

TEST(FileIdentity, OurOwnSaveIsTheFileOnDiskAndAnyOtherWriteIsNot) {
    test::TempDir dir;
    std::string path = dir.file("a.bnv");
    Document doc;
    test::BuildExample(doc);
    std::optional<FileIdentity> saved = WriteDocument(doc, path, {}, {});
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->hash, HashBytes(test::ReadBytes(path)));
    EXPECT_EQ(IdentifyFile(path), saved);
    EXPECT_EQ(Check(path, *saved), DiskState::Unchanged);

    // Written in place with other bytes, of another size or the same one.
    std::string bytes = test::ReadBytes(path);
    std::string sameSize = bytes;
    sameSize[sameSize.size() - 3] ^= 1;
    test::WriteBytes(path, sameSize);
    Touch(path, 5);
    EXPECT_EQ(Check(path, *saved), DiskState::Changed);
    test::WriteBytes(path, bytes + "x\r\n");
    EXPECT_EQ(Check(path, *saved), DiskState::Changed);
    RenameOver(path, "other\r\n");
    DiskCheck replaced = CheckFileOnDisk(path, *saved);
    EXPECT_EQ(replaced.state, DiskState::Changed);
    EXPECT_NE(replaced.now.inode, saved->inode);
}

TEST(FileIdentity, ATouchOrARewriteOfTheSameBytesIsNoChange) {
    test::TempDir dir;
    std::string path = dir.file("a.bnv");
    test::WriteBytes(path, "A\r\n\tB\r\n");
    std::optional<FileIdentity> known = IdentifyFile(path);
    ASSERT_TRUE(known);

    Touch(path, 10);
    DiskCheck touched = CheckFileOnDisk(path, *known);
    EXPECT_EQ(touched.state, DiskState::Unchanged);
    EXPECT_TRUE(touched.hashed);
    EXPECT_EQ(touched.now.modifiedNs, known->modifiedNs + 10'000'000'000);
    EXPECT_EQ(touched.now.hash, known->hash);

    RenameOver(path, "A\r\n\tB\r\n");
    DiskCheck rewritten = CheckFileOnDisk(path, *known);
    EXPECT_EQ(rewritten.state, DiskState::Unchanged);
    EXPECT_NE(rewritten.now.inode, known->inode);
}

TEST(FileIdentity, ADeletedFileIsMissingUntilItIsMadeAgain) {
    test::TempDir dir;
    std::string path = dir.file("a.bnv");
    test::WriteBytes(path, "A\r\n");
    FileIdentity known = *IdentifyFile(path);
    std::filesystem::remove(path);
    EXPECT_EQ(Check(path, known), DiskState::Missing);
    EXPECT_EQ(Check(dir.file("gone/a.bnv"), known), DiskState::Missing);
    EXPECT_EQ(IdentifyFile(path), std::nullopt);

    test::WriteBytes(path, "A\r\n");
    EXPECT_EQ(Check(path, known), DiskState::Unchanged);
    std::filesystem::remove(path);
    test::WriteBytes(path, "B\r\n");
    Touch(path, 3);
    EXPECT_EQ(Check(path, known), DiskState::Changed);
    // A folder where the file was is no version of it.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_EQ(Check(path, known), DiskState::Unknown);
}

TEST(FileIdentity, TheReaderHashesTheBytesOnDiskNotTheOnesItReworks) {
    // The reader turns LF into CR in a file without CR, and ends the text at 0x1A: the hash
    // is the one of the file all the same, and so is the size.
    test::TempDir dir;
    const std::string kinds[] = {
        "A\n\tB\n\x08\x81\xA0item\n",
        "A\r\n\x08\x81\xA0x\r\n\x1A tail\r\nmore\r\n",
        std::string(300000, 'a') + "\r\n\t" + std::string(300000, 'b') + "\n",
    };
    for (const std::string& bytes : kinds) {
        std::string path = dir.file("a.bnv");
        test::WriteBytes(path, bytes);
        ReadResult read = ReadDocument(path, {});
        EXPECT_EQ(read.identity, IdentifyFile(path));
        EXPECT_EQ(read.identity.hash, HashBytes(bytes));
        EXPECT_EQ(read.identity.size, bytes.size());
        EXPECT_EQ(Check(path, read.identity), DiskState::Unchanged);
    }
}

}  // namespace
}  // namespace brenvale
