// Delimiter lists: stored and shown forms, moving an entry to the front, normalising.
#include <gtest/gtest.h>

#include "records/DelimiterList.h"

namespace {

using records::kCommaEntry;
using records::kNoSplitEntry;

TEST(DelimiterList, ShownFormSubstitutesTheCommaAndTheMarker) {
    auto e = records::delimiterEntries("、,,。");
    EXPECT_EQ(e.entries, (QStringList{"、", kCommaEntry, "。"}));
    EXPECT_EQ(e.markerPosition, -1);
    e = records::delimiterEntries("^@,：");
    EXPECT_EQ(e.entries, (QStringList{kNoSplitEntry, "："}));
    EXPECT_EQ(e.markerPosition, 0);
    EXPECT_TRUE(records::delimiterEntries("").entries.isEmpty());
    EXPECT_EQ(records::delimiterEntries(",、").entries, (QStringList{kCommaEntry, "、"}));
}

TEST(DelimiterList, ChoosingAnEntryMovesItToTheFront) {
    QString stored;
    auto e = records::moveDelimiterToTop(records::delimiterEntries("、,,。").entries, 1, &stored);
    EXPECT_EQ(stored, ",、,。");
    EXPECT_EQ(e.entries.first(), kCommaEntry);
    e = records::moveDelimiterToTop(records::delimiterEntries("^@,：").entries, 1, &stored);
    EXPECT_EQ(stored, "：,^@");
    EXPECT_EQ(e.markerPosition, 1);
    e = records::moveDelimiterToTop(records::delimiterEntries("a,b,c").entries, 2, &stored);
    EXPECT_EQ(stored, "c,a,b");
    records::moveDelimiterToTop(records::delimiterEntries("a,b").entries, 0, &stored);
    EXPECT_EQ(stored, "a,b");
}

TEST(DelimiterList, NormalizeKeepsTheFirstMarkerOnly) {
    EXPECT_EQ(records::NormalizeDelimiterList("a,^@,b,^@,c"), "a,^@,b,c");
    EXPECT_EQ(records::NormalizeDelimiterList("^@,^@,a"), "^@,a");
    EXPECT_EQ(records::NormalizeDelimiterList("、,,。"), "、,,。");
    EXPECT_EQ(records::NormalizeDelimiterList(""), "");
    EXPECT_EQ(records::NormalizeDelimiterList("＾＠,^@"), "＾＠,^@");  // widths are not converted
}

}  // namespace
