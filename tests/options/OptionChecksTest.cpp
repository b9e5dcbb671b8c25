#include <gtest/gtest.h>

#include "options/OptionChecks.h"

using options::checkSchedule;
using options::ScheduleError;

TEST(ScheduleCheck, BoundsAndTextForm) {
    const QString daily = QStringLiteral("　　　毎日");
    EXPECT_EQ(checkSchedule(daily, "23", "55"), ScheduleError::None);
    EXPECT_EQ(checkSchedule(daily, "0", "0"), ScheduleError::None);
    EXPECT_EQ(checkSchedule(daily, "24", "0"), ScheduleError::Hour);
    EXPECT_EQ(checkSchedule(daily, "7.5", "0"), ScheduleError::Hour);  // three characters
    EXPECT_EQ(checkSchedule(daily, "-1", "0"), ScheduleError::Hour);
    EXPECT_EQ(checkSchedule(daily, "", "0"), ScheduleError::Hour);  // no number at all
    EXPECT_EQ(checkSchedule(daily, "ab", "0"), ScheduleError::Hour);
    EXPECT_EQ(checkSchedule(daily, "7", "60"), ScheduleError::Minute);
    EXPECT_EQ(checkSchedule(daily, "7", "100"), ScheduleError::Minute);
    EXPECT_EQ(checkSchedule(daily, "7", ".5"), ScheduleError::Minute);
    // The pattern is checked first and must match an entry exactly.
    EXPECT_EQ(checkSchedule(QStringLiteral("毎日"), "99", "99"), ScheduleError::Pattern);
    EXPECT_EQ(checkSchedule(QStringLiteral("毎週土曜日"), "1", "5"), ScheduleError::None);
}

TEST(FolderMenu, NewDirectoryAndParent) {
    EXPECT_EQ(options::newDirectoryPath("/tmp/a", "b"), "/tmp/a/b");
    EXPECT_EQ(options::newDirectoryPath("/tmp/a/", "/b"), "/tmp/a/b");  // not at the root
    EXPECT_EQ(options::newDirectoryPath("/", "b"), "/b");
    EXPECT_EQ(options::parentFolder("/tmp/a/b"), "/tmp/a");
    EXPECT_EQ(options::parentFolder("/tmp"), "/");
}
