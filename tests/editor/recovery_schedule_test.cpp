#include <gtest/gtest.h>

#include "editor/recovery_schedule.h"

namespace brenvale {
namespace {

using std::chrono::seconds;

class Schedule : public ::testing::Test {
protected:
    RecoveryTime At(int s) const { return start + seconds(s); }
    std::optional<int> DueSecond() const {
        std::optional<RecoveryTime> due = schedule.Due();
        if (!due) {
            return std::nullopt;
        }
        return static_cast<int>(std::chrono::duration_cast<seconds>(*due - start).count());
    }

    RecoveryTime start = RecoveryClock::now();
    RecoverySchedule schedule;
};

TEST_F(Schedule, ACopyFollowsAPauseOfThreeSecondsAfterTheLastChange) {
    EXPECT_EQ(DueSecond(), std::nullopt);
    schedule.Changed(At(0));
    EXPECT_EQ(DueSecond(), 3);
    schedule.Changed(At(2));
    EXPECT_EQ(DueSecond(), 5);
    EXPECT_FALSE(schedule.IsDue(At(4)));
    EXPECT_TRUE(schedule.IsDue(At(5)));
}

TEST_F(Schedule, ChangesWithoutAPauseWaitNoLongerThanThirtySeconds) {
    for (int s = 0; s <= 40; ++s) {
        schedule.Changed(At(s));
        EXPECT_LE(*DueSecond(), 30) << s;
    }
    EXPECT_TRUE(schedule.IsDue(At(30)));
}

TEST_F(Schedule, CopiesAreThirtySecondsApart) {
    schedule.Changed(At(0));
    schedule.CopyTaken(At(3));
    EXPECT_EQ(DueSecond(), std::nullopt);
    schedule.Changed(At(5));
    EXPECT_EQ(DueSecond(), 33);
    schedule.CopyTaken(At(33));
    // After a long quiet spell the next change is copied three seconds later again.
    schedule.Changed(At(100));
    EXPECT_EQ(DueSecond(), 103);
}

TEST_F(Schedule, NothingIsDueOnceNothingIsUnsaved) {
    schedule.Changed(At(0));
    schedule.Clear();
    EXPECT_EQ(DueSecond(), std::nullopt);
    schedule.Changed(At(10));
    EXPECT_EQ(DueSecond(), 13);
}

TEST_F(Schedule, AFailedCopyLeavesItsChangesDueAgainThirtySecondsLater) {
    schedule.Changed(At(0));
    schedule.CopyTaken(At(3));
    schedule.CopyFailed();
    EXPECT_EQ(DueSecond(), 33);
    // A failure after the document was saved brings nothing back.
    schedule.CopyTaken(At(33));
    schedule.Clear();
    schedule.CopyFailed();
    EXPECT_EQ(DueSecond(), std::nullopt);
}

}  // namespace
}  // namespace brenvale
