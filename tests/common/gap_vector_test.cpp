#include "common/gap_vector.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brenvale {
namespace {

std::vector<std::string> Contents(const GapVector<std::string>& v) {
    std::vector<std::string> out;
    for (size_t i = 0; i < v.size(); ++i) {
        out.push_back(v[i]);
    }
    return out;
}

TEST(GapVector, BehavesLikeAVectorWhereverTheEditsHappen) {
    GapVector<std::string> gap;
    std::vector<std::string> model;
    unsigned seed = 7;
    for (int step = 0; step < 2000; ++step) {
        seed = seed * 1103515245 + 12345;
        size_t pos = model.empty() ? 0 : (seed >> 8) % (model.size() + 1);
        std::string value = "v" + std::to_string(step);
        switch ((seed >> 20) % 4) {
            case 0:
            case 1:
                gap.insert(pos, value);
                model.insert(model.begin() + static_cast<long>(pos), value);
                break;
            case 2:
                if (pos < model.size()) {
                    gap.erase(pos);
                    model.erase(model.begin() + static_cast<long>(pos));
                }
                break;
            default:
                if (pos < model.size()) {
                    size_t to = (seed >> 4) % model.size();
                    gap.move(pos, to);
                    std::string moved = model[pos];
                    model.erase(model.begin() + static_cast<long>(pos));
                    model.insert(model.begin() + static_cast<long>(to), moved);
                }
        }
        ASSERT_EQ(gap.size(), model.size());
    }
    EXPECT_EQ(Contents(gap), model);
    gap.shrink_to_fit();
    EXPECT_EQ(gap.capacity(), model.size());
    EXPECT_EQ(Contents(gap), model);
}

TEST(GapVector, ErasedSlotsReleaseTheirValues) {
    GapVector<std::string> gap;
    gap.push_back(std::string(100, 'x'));
    gap.push_back("b");
    gap.erase(0);
    ASSERT_EQ(gap.size(), 1u);
    EXPECT_EQ(gap[0], "b");
    EXPECT_EQ(gap.take(0), "b");
    EXPECT_TRUE(gap.empty());
}

TEST(GapVector, EditsLentStorageInPlaceAndLeavesItWhenGrowing) {
    int lent[4] = {1, 2, 3, 4};
    GapVector<int> gap;
    gap.useExternal(lent, 4);
    EXPECT_TRUE(gap.usesExternalStorage());
    gap[0] = 10;
    gap.erase(1);  // the gap opens inside the lent block
    gap.insert(1, 20);
    EXPECT_TRUE(gap.usesExternalStorage());
    EXPECT_EQ(lent[0], 10);
    gap.insert(0, 0);  // no room left: the values move to a buffer of its own
    EXPECT_FALSE(gap.usesExternalStorage());
    gap[1] = 99;
    EXPECT_EQ(lent[0], 10);
    std::vector<int> values;
    for (size_t i = 0; i < gap.size(); ++i) {
        values.push_back(gap[i]);
    }
    EXPECT_EQ(values, (std::vector<int>{0, 99, 20, 3, 4}));
    const int more[] = {5, 6};
    gap.append(more, 2);
    EXPECT_EQ(gap.size(), 7u);
    EXPECT_EQ(gap.back(), 6);
}

}  // namespace
}  // namespace brenvale
