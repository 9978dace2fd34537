// The arithmetic of one anchor row: every mode, growing and shrinking, and
// the signed truncating share p*d/100.
#include <gtest/gtest.h>

#include "dialogcore/anchor_table.h"

namespace orvanta {
namespace {

TEST(AnchorShare, TruncatesTowardZeroForBothSigns) {
    struct Case { std::int32_t p, d, expected; };
    const Case cases[] = {
        {50, 7, 3},   {50, -7, -3},  {100, 13, 13}, {100, -13, -13}, {0, 250, 0},
        {33, 10, 3},  {33, -10, -3}, {99, 1, 0},    {99, -1, 0},     {1, 199, 1},
        {1, -199, -1}, {75, 4, 3},   {75, -4, -3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.p << "*" << c.d << "/100");
        EXPECT_EQ(AnchorShare(c.p, c.d), c.expected);
    }
}

TEST(AnchorPercent, OnlyZeroToHundredApply) {
    EXPECT_FALSE(AnchorPercentInRange(-1));
    EXPECT_TRUE(AnchorPercentInRange(0));
    EXPECT_TRUE(AnchorPercentInRange(100));
    EXPECT_FALSE(AnchorPercentInRange(101));
    EXPECT_FALSE(AnchorPercentInRange(-2147483647 - 1));
}

TEST(ApplyAnchor, EveryModeGrowingAndShrinking) {
    const AnchorRect start{10, 20, 30, 40};
    struct Case {
        std::int32_t mode, percent, dx, dy;
        AnchorRect expected;
    };
    const Case cases[] = {
        // mode 0: x follows the width change
        {0, 100, 15, 9, AnchorRect{25, 20, 30, 40}},
        {0, 100, -15, -9, AnchorRect{-5, 20, 30, 40}},
        {0, 50, 7, 9, AnchorRect{13, 20, 30, 40}},
        {0, 50, -7, -9, AnchorRect{7, 20, 30, 40}},
        // mode 1: y follows the height change
        {1, 100, 15, 9, AnchorRect{10, 29, 30, 40}},
        {1, 100, -15, -9, AnchorRect{10, 11, 30, 40}},
        {1, 50, 15, -9, AnchorRect{10, 16, 30, 40}},
        // mode 2: both
        {2, 100, 15, 9, AnchorRect{25, 29, 30, 40}},
        {2, 100, -15, -9, AnchorRect{-5, 11, 30, 40}},
        {2, 50, 5, -5, AnchorRect{12, 18, 30, 40}},
        // mode 3: width grows
        {3, 100, 15, 9, AnchorRect{10, 20, 45, 40}},
        {3, 100, -15, -9, AnchorRect{10, 20, 15, 40}},
        {3, 50, -3, 9, AnchorRect{10, 20, 29, 40}},
        // mode 4: height grows
        {4, 100, 15, 9, AnchorRect{10, 20, 30, 49}},
        {4, 100, -15, -9, AnchorRect{10, 20, 30, 31}},
        {4, 50, 15, 3, AnchorRect{10, 20, 30, 41}},
        // mode 5: width and height grow
        {5, 100, 15, 9, AnchorRect{10, 20, 45, 49}},
        {5, 100, -15, -9, AnchorRect{10, 20, 15, 31}},
        {5, 50, -7, 7, AnchorRect{10, 20, 27, 43}},
        // percent 0 changes nothing
        {5, 0, 15, 9, AnchorRect{10, 20, 30, 40}},
        // any other mode leaves the rectangle as it is
        {6, 100, 15, 9, AnchorRect{10, 20, 30, 40}},
        {-1, 100, -15, -9, AnchorRect{10, 20, 30, 40}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " p " << c.percent << " dx " << c.dx << " dy "
                                        << c.dy);
        const AnchorEntry entry{1, c.mode, c.percent};
        EXPECT_EQ(ApplyAnchor(entry, start, c.dx, c.dy), c.expected);
    }
}

TEST(ApplyAnchor, GrowThenShrinkByTheSameAmountReturnsAtFullPercent) {
    const AnchorRect start{9, 300, 120, 24};
    for (std::int32_t mode = 0; mode <= 5; ++mode) {
        SCOPED_TRACE(mode);
        const AnchorEntry entry{1, mode, 100};
        const AnchorRect grown = ApplyAnchor(entry, start, 37, 23);
        EXPECT_NE(grown, start);
        EXPECT_EQ(ApplyAnchor(entry, grown, -37, -23), start);
    }
}

TEST(ApplyAnchor, HalfSharesOfOddStepsDriftAsTheyTruncate) {
    // +7 then -7 at 50 % moves by +3 then -3: back where it was; but +1 steps
    // truncate to nothing, so seven single-pixel steps move nothing at all.
    const AnchorEntry entry{1, kAnchorMoveX, 50};
    AnchorRect rect{100, 0, 10, 10};
    for (int i = 0; i < 7; ++i) rect = ApplyAnchor(entry, rect, 1, 0);
    EXPECT_EQ(rect.x, 100);
    rect = ApplyAnchor(entry, rect, 7, 0);
    EXPECT_EQ(rect.x, 103);
}

}  // namespace
}  // namespace orvanta
