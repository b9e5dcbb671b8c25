// The record window's arithmetic: layout by use flags, rate text and colouring.
#include <gtest/gtest.h>

#include "records/RecordLayout.h"

namespace {

TEST(RecordLayout, AllPartsShown) {
    // 8415 x 8250 outer gives roughly this inner size; the numbers only need to be consistent.
    const auto l = records::layoutRecordWindow(8295, 7875, true, true, true);
    EXPECT_EQ(l.label1Left, 8295 - 3615);
    EXPECT_EQ(l.txtRecordDayLeft, 8295 - 1215);
    EXPECT_EQ(l.boxWidth, 8255);
    // (7875 - 885 - 840 - 105 - 405 - 780) / 3 = 1620
    EXPECT_EQ(l.boxHeight, 1620);
    EXPECT_EQ(l.frame1Top, 405 + 1620 + 55);
    EXPECT_EQ(l.item2Top, 2080 + 390);
    EXPECT_EQ(l.frame2Top, 2470 + 1620 + 55);
    EXPECT_EQ(l.item3Top, 4145 + 390);
    EXPECT_EQ(l.label6Top, 4535 + 1620 + 150);
    EXPECT_EQ(l.commentTop, 4535 + 1620 + 390);
    EXPECT_EQ(l.label7Top, 7875 - 840);
    EXPECT_EQ(l.sourceTop, 7875 - 600);
}

TEST(RecordLayout, OnlyItemsOneAndTwoShareTheHeight) {
    const auto l = records::layoutRecordWindow(8295, 7876, false, false, false);
    EXPECT_FALSE(l.item3Visible);
    EXPECT_FALSE(l.commentVisible);
    EXPECT_FALSE(l.sourceVisible);
    EXPECT_EQ(l.boxHeight, (7876 - 105 - 405 - 390) / 2);  // 3488
    // A half rounds to the even neighbour: 6977 / 2 = 3488.5 -> 3488; 6979 / 2 = 3489.5 -> 3490.
    EXPECT_EQ(records::layoutRecordWindow(8295, 7877, false, false, false).boxHeight, 3488);
    EXPECT_EQ(records::layoutRecordWindow(8295, 7879, false, false, false).boxHeight, 3490);
}

TEST(RecordLayout, CommentFollowsTheLastItemWhenItemThreeIsHidden) {
    const auto l = records::layoutRecordWindow(9000, 8000, false, true, true);
    const int h = static_cast<int>((8000 - 885 - 840 - 105 - 405 - 390) / 2.0 + 0.5);
    EXPECT_EQ(l.boxHeight, h);
    EXPECT_EQ(l.commentTop, l.item2Top + h + 390);
}

TEST(RecordRate, TextAndColouring) {
    EXPECT_EQ(records::recordRateText("0", "0"), "0.0");
    EXPECT_EQ(records::recordRateText("", ""), "0.0");
    EXPECT_EQ(records::recordRateText("1", "3"), "33.3");
    EXPECT_EQ(records::recordRateText("0", "5"), ".0");
    EXPECT_EQ(records::recordRateText("1", "2"), "50.0");
    EXPECT_EQ(records::recordRateText("3", "3"), "100.0");
    // 79.6 with threshold 80: below at opening, at or above when shown later.
    EXPECT_FALSE(records::rateAtOrAboveAtOpening("79.6", 80));
    EXPECT_TRUE(records::rateAtOrAboveWhenShown("79.6", 80));
    EXPECT_TRUE(records::rateAtOrAboveWhenShown("79.5", 80));   // halves to even: 80
    EXPECT_FALSE(records::rateAtOrAboveWhenShown("80.5", 81));  // 80, not 81
}

}  // namespace
