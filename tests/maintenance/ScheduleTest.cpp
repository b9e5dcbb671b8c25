#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "maintenance/BackUpSchedule.h"
#include "maintenance/FileSteps.h"
#include "maintenance/MaintenanceFixture.h"
#include "shell/MainModule.h"

namespace {

using Schedule = MaintenanceTest;

shell::BackUpSettings weekly(const QString& pattern, int hour, int minute) {
    shell::BackUpSettings s;
    s.pattern = pattern;
    s.hour = hour;
    s.minute = minute;
    s.enabled = true;
    return s;
}

}  // namespace

TEST(BackUpDue, OnlyOnTheScheduledDayHourAndMinute) {
    const QDate wednesday(2025, 1, 1);  // a Wednesday
    ASSERT_EQ(maintenance::scheduleWeekday(wednesday), 4);
    EXPECT_EQ(maintenance::scheduleWeekday(QDate(2025, 1, 5)), 1);  // Sunday
    EXPECT_EQ(maintenance::scheduleWeekday(QDate(2025, 1, 4)), 7);  // Saturday

    shell::BackUpSettings s = weekly("毎週水曜日", 12, 0);
    EXPECT_TRUE(maintenance::IsBackUpDue(s, QDateTime(wednesday, QTime(12, 0, 59))));
    EXPECT_FALSE(maintenance::IsBackUpDue(s, QDateTime(wednesday, QTime(12, 1))));
    EXPECT_FALSE(maintenance::IsBackUpDue(s, QDateTime(wednesday, QTime(0, 0))));
    EXPECT_FALSE(maintenance::IsBackUpDue(s, QDateTime(wednesday.addDays(1), QTime(12, 0))));
    s.enabled = false;
    EXPECT_FALSE(maintenance::IsBackUpDue(s, QDateTime(wednesday, QTime(12, 0))));

    const shell::BackUpSettings daily = weekly("　　　毎日", 23, 59);
    for (int d = 0; d < 7; ++d)
        EXPECT_TRUE(
            maintenance::IsBackUpDue(daily, QDateTime(wednesday.addDays(d), QTime(23, 59))));
    // The pattern without its three full-width blanks is not every day.
    EXPECT_FALSE(
        maintenance::IsBackUpDue(weekly("毎日", 23, 59), QDateTime(wednesday, QTime(23, 59))));
}

TEST_F(Schedule, CountdownCanBeCancelledAndRunsOutAsOK) {
    frmOptimizeCheck countdown;
    EXPECT_EQ(countdown.windowTitle(), "バックアップ開始");
    EXPECT_EQ(countdown.lblOptimezeCheck->text(),
              "５秒後にバックアップ作業を開始します。\nよろしいですか？");
    EXPECT_EQ(countdown.tmrOptimezeCheck->interval(), 5000);
    EXPECT_TRUE(countdown.tmrOptimezeCheck->isActive());

    countdown.cmdOptimizeCheck_Click(1);
    EXPECT_TRUE(maintenance::scheduleState().countdownCancelled);

    frmOptimizeCheck unanswered;
    maintenance::scheduleState().countdownCancelled = false;
    unanswered.tmrOptimezeCheck_Timer();
    EXPECT_FALSE(maintenance::scheduleState().countdownCancelled);
    EXPECT_EQ(unanswered.result(), QDialog::Accepted);
}

TEST_F(Schedule, ScheduledBackUpCompactsBacksUpAndReopens) {
    shell::MainModule& m = shell::mainModule();
    m.database->Execute("INSERT INTO データベース設定 (dbID, データベース名) VALUES (2, '地理')");
    maintenance::ScheduledBackUp();
    EXPECT_TRUE(boxes->shown().empty()) << boxes->shownTexts().join("|").toStdString();
    ASSERT_TRUE(m.database && m.database->isOpen());
    ASSERT_EQ(m.dataBaseList.size(), 3u);
    EXPECT_EQ(m.dataBaseList[2].name, "地理");
    EXPECT_EQ(m.openWindowCount, -1);
    EXPECT_FALSE(m.closing);
    EXPECT_EQ(filesIn(backUpDir.path()), QStringList{"Kenvora.mdb"});
    EXPECT_EQ(scalar(backUpPath("Kenvora.mdb"), "SELECT データベース名 FROM データベース設定"),
              "地理");
}

// The default set-up: backups go to the database's own folder.
TEST_F(Schedule, ScheduledPlainBackUpIntoTheDatabasesFolderIsRefusedAndTheFileStays) {
    shell::MainModule& m = shell::mainModule();
    ASSERT_EQ(maintenance::setFileMode(file.path(), 0640), 0);
    m.database->Execute("INSERT INTO データベース設定 (dbID, データベース名) VALUES (2, '地理')");
    // The folder itself, and a link to it.
    QTemporaryDir links;
    ASSERT_TRUE(QFile::link(file.folder(), links.filePath("linked")));
    for (int round = 0; round < 4; ++round) {
        const bool deleteBefore = round % 2 == 1;
        SCOPED_TRACE(round);
        m.backUp.folder = round < 2 ? file.folder() : links.filePath("linked");
        m.backUp.deleteBefore = deleteBefore;
        boxes->clearShown();
        maintenance::ScheduledBackUp();
        ASSERT_EQ(boxes->shown().size(), 1u);
        EXPECT_EQ(boxes->shown()[0].text,
                  "バックアップできません\nデータベースのあるディレクトリと\n"
                  "バックアップ先のディレクトリが同じです。");
        EXPECT_EQ(filesIn(file.folder()), QStringList{"Kenvora.mdb"});
        EXPECT_EQ(maintenance::fileMode(file.path()), 0640);
        ASSERT_TRUE(m.database && m.database->isOpen());
        EXPECT_EQ(scalar(file.path(), "SELECT データベース名 FROM データベース設定"), "地理");
    }
}
