#include "common/arena.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "common/byte_block.h"
#include "common/error.h"
#include "common/packed_pointer.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

TEST(Arena, HandsOutAlignedPiecesThatStayWhereTheyAre) {
    Arena arena;
    std::vector<std::pair<char*, size_t>> pieces;
    for (size_t i = 1; i < 3000; i += 7) {
        auto* p = static_cast<char*>(arena.allocate(i, 8));
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 8, 0u);
        std::memset(p, static_cast<int>(i % 251), i);
        pieces.emplace_back(p, i);
    }
    auto* big = arena.allocateArray<uint64_t>(1 << 18);  // bigger than any chunk
    big[(1 << 18) - 1] = 7;
    for (auto [p, n] : pieces) {
        ASSERT_EQ(p[n - 1], static_cast<char>(n % 251)) << n;
    }
    EXPECT_GE(arena.bytesHeld(), size_t{8} << 18);
}

struct Counted {
    explicit Counted(int* live) : live_(live) { ++*live_; }
    ~Counted() { --*live_; }
    int* live_;
    char payload[40];
};

TEST(ObjectPool, ReusesTheSlotsOfDestroyedObjects) {
    Arena arena;
    ObjectPool<Counted> pool(arena);
    int live = 0;
    std::vector<Counted*> made;
    for (int i = 0; i < 100; ++i) {
        made.push_back(pool.make(&live));
    }
    EXPECT_EQ(live, 100);
    Counted* freed = made[50];
    pool.destroy(freed);
    EXPECT_EQ(live, 99);
    EXPECT_EQ(pool.make(&live), freed);
    size_t held = arena.bytesHeld();
    for (Counted* c : made) {
        pool.destroy(c);
    }
    for (int i = 0; i < 100; ++i) {
        pool.make(&live);
    }
    EXPECT_EQ(arena.bytesHeld(), held);
}

TEST(ObjectPool, DestroysEverythingInOnePassOnlyWhileNothingWasDestroyed) {
    Arena arena;
    int live = 0;
    {
        ObjectPool<Counted> pool(arena);
        for (int i = 0; i < 1000; ++i) {
            pool.make(&live);
        }
        EXPECT_TRUE(pool.destroyAllIfNoneDestroyed());
        EXPECT_EQ(live, 0);
    }
    ObjectPool<Counted> pool(arena);
    Counted* first = pool.make(&live);
    pool.make(&live);
    pool.destroy(first);
    EXPECT_FALSE(pool.destroyAllIfNoneDestroyed());
    EXPECT_EQ(live, 1);
}

TEST(ByteBlock, BigBlocksMove) {
    ByteBlock block(5 << 20);  // several huge pages
    std::memset(block.data(), 'x', block.size());
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block.data()) % (2 << 20), 0u);
    ByteBlock moved = std::move(block);
    EXPECT_EQ(block.data(), nullptr);
    EXPECT_EQ(moved.data()[0], 'x');
}

TEST(ByteBlock, ShrinksWhereItLiesAndGivesBackWholePages) {
    ByteBlock big(6 << 20);
    std::memset(big.data(), 'y', big.size());
    char* data = big.data();
    big.shrink(big.size() + 1);  // no growing
    EXPECT_EQ(big.size(), size_t{6 << 20});
    big.shrink(5000);
    EXPECT_EQ(big.data(), data);
    EXPECT_EQ(big.size(), 5000u);
    EXPECT_EQ(big.data()[4999], 'y');
    big.data()[8191] = 'z';  // the rest of the last page kept stays usable
    ByteBlock small(100);
    std::memset(small.data(), 's', 100);
    small.shrink(10);
    EXPECT_EQ(small.size(), 10u);
    EXPECT_EQ(small.data()[9], 's');
}

TEST(PackedPointer, KeepsAnyAddressAndItsFlagInFourByteAlignment) {
    static_assert(sizeof(PackedPointer<char>) == 8 && alignof(PackedPointer<char>) == 4);
    char bytes[3] = {'a', 'b', 'c'};
    PackedPointer<char> p(bytes + 1, true);
    EXPECT_EQ(p.get(), bytes + 1);
    EXPECT_TRUE(p.flag());
    p = bytes + 2;  // assigning a pointer keeps the flag
    EXPECT_EQ(*p, 'c');
    EXPECT_TRUE(p.flag());
    p.set(nullptr, false);
    EXPECT_EQ(p.get(), nullptr);
    EXPECT_FALSE(p.flag());
    EXPECT_EQ(PackedPointer<int>().get(), nullptr);
}

TEST(ReadFileBlock, ReadsWholeFilesWithRoomAfterThem) {
    test::TempDir dir;
    std::string bytes(300000, 'a');
    bytes[123456] = '\0';
    test::WriteBytes(dir.file("f"), bytes);
    FileBlock file = ReadFileBlock(dir.file("f"), 3);
    ASSERT_EQ(file.size, bytes.size());
    EXPECT_GE(file.block.size(), file.size + 3);
    EXPECT_EQ(std::string(file.block.data(), file.size), bytes);

    test::WriteBytes(dir.file("empty"), "");
    EXPECT_EQ(ReadFileBlock(dir.file("empty"), 1).size, 0u);
    EXPECT_THROW(ReadFileBlock(dir.file("missing"), 1), Error);
    EXPECT_THROW(ReadFileBlock(dir.path(), 1), Error);
}

}  // namespace
}  // namespace brenvale
