// The search window's arithmetic: the enabling rule, the counter, the rate colour choice and
// the layout for a window size.
#include <gtest/gtest.h>

#include "search/SearchLayout.h"

namespace {

using search::searchLayout;

TEST(SearchButtonRule, NeedsASetAConditionAndWordsWhenTheWordConditionIsOn) {
    using search::searchButtonEnabled;
    EXPECT_FALSE(searchButtonEnabled(false, true, true, true, false));    // no set
    EXPECT_FALSE(searchButtonEnabled(true, false, false, false, false));  // no condition
    EXPECT_FALSE(searchButtonEnabled(true, true, false, false, true));    // word box empty
    EXPECT_FALSE(searchButtonEnabled(true, true, true, true, true));      // ... whatever else is on
    EXPECT_TRUE(searchButtonEnabled(true, true, false, false, false));
    EXPECT_TRUE(
        searchButtonEnabled(true, false, true, false, true));  // empty words do not matter then
    EXPECT_TRUE(searchButtonEnabled(true, false, false, true, true));
}

TEST(SearchCounterAndRateColour, PositionIsOneBasedAndTheThresholdItselfCountsAsReached) {
    EXPECT_EQ(search::counterText(0, 1), "1/1");
    EXPECT_EQ(search::counterText(2, 25), "3/25");
    EXPECT_TRUE(search::rateAtOrAboveThreshold(80, "80.0"));
    EXPECT_FALSE(search::rateAtOrAboveThreshold(80, "79.9"));
    EXPECT_TRUE(search::rateAtOrAboveThreshold(0, ""));  // no rate reads as 0
    EXPECT_FALSE(search::rateAtOrAboveThreshold(1, ""));
}

TEST(SearchLayout, AtTheStartSizeEverythingIsWhereTheFormPutsIt) {
    const auto l = searchLayout(9570, 8820, 9450, 8415, 2);
    EXPECT_FALSE(l.snapped);
    EXPECT_EQ(l.lstDatabaseWidth, 4575);
    EXPECT_EQ(l.conditionLeft, 4920);
    EXPECT_EQ(l.wordLeft, 5880);
    EXPECT_EQ(l.recordDayLeft, (std::array<int, 6>{5880, 6560, 7020, 7700, 8400, 8840}));
    EXPECT_EQ(l.optPointLeft, (std::array<int, 2>{7080, 7920}));
    EXPECT_EQ(l.hitsLabelLeft, 3900);
    EXPECT_EQ(l.counterLeft, 4560);
    EXPECT_EQ(l.searchButtonLeft, 7920);
    EXPECT_EQ(l.listButtonLeft, 5880);
    EXPECT_EQ(l.detailButtonLeft, 6840);
    EXPECT_EQ(l.gridWidth, 9255);
    EXPECT_EQ(l.gridHeight, 6695);
    EXPECT_EQ(l.gridColWidth, (std::array<int, 3>{2262, 2263, 2263}));
    EXPECT_EQ(l.rateLabelLeft, 6050);
    EXPECT_EQ(l.rateBoxLeft, 6850);
    EXPECT_EQ(l.dateBoxLeft, 8400);
    EXPECT_EQ(l.richWidth, 9255);
    // D = (8415 - 4485) / 3 = 1310
    EXPECT_EQ(l.richTop, (std::array<int, 5>{1998, 3674, 5350, 7005, 7845}));
    EXPECT_EQ(l.itemHeight, (std::array<int, 3>{1310, 1310, 1310}));
    EXPECT_EQ(l.itemLabelTop, (std::array<int, 2>{3455, 5131}));
    EXPECT_EQ(l.itemNameTop, (std::array<int, 2>{3406, 5082}));
    EXPECT_EQ(l.commentLabelTop, 6765);
    EXPECT_EQ(l.sourceLabelTop, 7605);
}

TEST(SearchLayout, ItemColumnsShareTheExtraWidthAndGiveWayToTheScrollBar) {
    // 6695 - 39 = 6656 >= 452 + 391 * 15 = 6317 but < 452 + 391 * 16 = 6708.
    EXPECT_TRUE(searchLayout(9570, 8820, 9450, 8415, 16).gridRowsFit);
    const auto crowded = searchLayout(9570, 8820, 9450, 8415, 17);
    EXPECT_FALSE(crowded.gridRowsFit);
    EXPECT_EQ(crowded.gridColWidth, (std::array<int, 3>{2182, 2183, 2183}));
    // 300 twips wider: each item column gets 100.
    EXPECT_EQ(searchLayout(9870, 8820, 9750, 8415, 2).gridColWidth,
              (std::array<int, 3>{2362, 2363, 2363}));
    // A third of the extra width, to the nearest twip.
    EXPECT_EQ(searchLayout(9570 + 13, 8820, 9463, 8415, 2).gridColWidth[0], 2262 + 4);  // 4.33
    EXPECT_EQ(searchLayout(9570 + 2, 8820, 9452, 8415, 2).gridColWidth[0], 2262 + 1);   // 0.67
    EXPECT_EQ(searchLayout(10000, 8820, 9880, 8415, 2).recordDayLeft[5], 10000 - 730);
}

TEST(SearchLayout, TallerWindowGrowsTheThreeItemBoxesEqually) {
    const auto l = searchLayout(9570, 9720, 9450, 9315, 2);  // 900 taller: D = 1610
    EXPECT_EQ(l.itemHeight[0], 1610);
    EXPECT_EQ(l.richTop[1], 1998 + 1610 + 366);
    EXPECT_EQ(l.richTop[2], 1998 + 2 * (1610 + 366));
    EXPECT_EQ(l.richTop[3], 9315 - 1410);
    EXPECT_EQ(l.gridHeight, 9720 + 6375 - 8500);
    EXPECT_EQ(searchLayout(9570, 8824, 9450, 8419, 2).itemHeight[0], 1311);  // 3934 / 3
    EXPECT_EQ(searchLayout(9570, 8825, 9450, 8420, 2).itemHeight[0], 1312);  // 3935 / 3
}

TEST(SearchLayout, BelowTheSmallestSizeTheWindowSnapsBack) {
    const auto l = searchLayout(6000, 5000, 5880, 4595, 2);
    EXPECT_TRUE(l.snapped);
    EXPECT_EQ(l.width, 9570);
    EXPECT_EQ(l.height, 8820);
    EXPECT_EQ(l.clientWidth, 9450);
    EXPECT_EQ(l.clientHeight, 8415);
    EXPECT_EQ(l.lstDatabaseWidth, 4575);  // laid out at the snapped size
    const auto narrow = searchLayout(9000, 9720, 8880, 9315, 2);
    EXPECT_TRUE(narrow.snapped);
    EXPECT_EQ(narrow.width, 9570);
    EXPECT_EQ(narrow.height, 9720);  // only the short side snaps
}

}  // namespace
