// The test statement, the answer formulas, the rate colouring and the window layout.
#include <gtest/gtest.h>

#include "drill/AnswerCounting.h"
#include "drill/TestLayout.h"
#include "drill/TestStatement.h"
#include "shell/RecordConditions.h"

namespace {

TEST(TestStatement, TheWorkedExample) {
    drill::TestConditions c;
    c.dbIDs = {3, 7};
    c.rateCondition = true;
    c.atOrAbove = true;
    c.rateText = "80";
    c.dateCondition = true;
    c.dateTexts = {"2000", "1", "1", "2019", "12", "31"};
    const QString s = drill::buildTestStatement(c);
    EXPECT_TRUE(s.startsWith("SELECT  データベース設定.データベース名, データ.項目１, "));
    EXPECT_TRUE(s.endsWith(
        "FROM データベース設定 INNER JOIN データ ON データベース設定.dbID = データ.dbID  WHERE ("
        "(データ.dbID = 3) OR (データ.dbID = 7)) AND (正解率 >= 80) AND ((登録日 >= #2000/1/1#) "
        "AND "
        "(登録日 <= #2019/12/31#)) ORDER BY 正解率 ASC, 登録時刻 ASC "))
        << s.toStdString();
}

TEST(TestStatement, OrderAndConditionsByMode) {
    EXPECT_EQ(drill::testOrderBy(true, true), "ORDER BY 正解率 DESC, 出題回数 DESC ");
    EXPECT_EQ(drill::testOrderBy(true, false), "ORDER BY 正解率 DESC, 出題回数 DESC ");
    EXPECT_EQ(drill::testOrderBy(false, false), "ORDER BY 正解率 DESC, 登録時刻 DESC ");
    drill::TestConditions c;
    c.dbIDs = {5};
    c.random = true;
    c.rateText = "ignored";
    EXPECT_TRUE(drill::buildTestStatement(c).endsWith(
        "WHERE ((データ.dbID = 5)) ORDER BY 正解率 DESC, 出題回数 DESC "));
    EXPECT_EQ(shell::rateConditionText(false, "0"), "AND (正解率 <= 0) ");
}

TEST(TestStatement, RateBoundsThatMayReachTheEngine) {
    for (const char* ok : {"80", "0", "100", "55.5", " 60"})
        EXPECT_TRUE(shell::isRateBound(ok)) << ok;
    for (const char* bad : {"", "abc", "5a", "8 0", "-", "８０", "80) OR (1=1", "1e3"})
        EXPECT_FALSE(shell::isRateBound(bad)) << bad;
}

TEST(AnswerCounting, RightAndWrongOnNewAndAnsweredRecords) {
    auto r = drill::countAnswer(0, 0, true);
    EXPECT_EQ(r.rate, 100.0f);
    EXPECT_EQ(r.right, 1);
    EXPECT_EQ(r.asked, 1);
    r = drill::countAnswer(0, 0, false);
    EXPECT_EQ(r.rate, 0.0f);
    EXPECT_EQ(r.right, 0);
    EXPECT_EQ(r.asked, 1);
    EXPECT_EQ(drill::countAnswer(2, 3, true).rate, 75.0f);
    EXPECT_EQ(drill::countAnswer(2, 3, false).rate, 50.0f);
    EXPECT_EQ(drill::countAnswer(1, 2, true).rate, static_cast<float>(2.0 / 3.0 * 100.0));
}

TEST(AnswerCounting, CountersAreHalvedBeforePassingTheirLimit) {
    const auto r = drill::countAnswer(30001, 32767, true);
    EXPECT_EQ(r.asked, 16384);  // 16383 + 1
    EXPECT_EQ(r.right, 15001);  // 15000 + 1
    EXPECT_NEAR(r.rate, 15001.0 / 16384 * 100, 1e-3);
    const auto w = drill::countAnswer(7, 32766, false);
    EXPECT_EQ(w.asked, 32767);
}

TEST(RateColour, ComparesWithTheShownValue) {
    EXPECT_EQ(drill::rateText(79.96), "80.0");
    EXPECT_EQ(drill::rateText(79.94), "79.9");
    EXPECT_EQ(drill::rateText(0), "0.0");
    EXPECT_EQ(drill::rateText(100), "100.0");
    EXPECT_TRUE(drill::rateAtOrAboveThreshold(80, drill::rateText(79.96)));
    EXPECT_FALSE(drill::rateAtOrAboveThreshold(80, drill::rateText(79.94)));
}

TEST(TestLayout, WorkedExampleSmallestSizeAndSnap) {
    const auto l = drill::layoutTestWindow(11070, 9435);
    EXPECT_EQ(l.find("lstDatabase")->width, 5715);
    EXPECT_EQ(l.find("cmdTest(0)")->left, 9420);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(l.find(QString("txtData(%1)").arg(i))->width, 10755);
    EXPECT_EQ(l.find("txtData(0)")->top, 2160);
    EXPECT_EQ(l.find("txtData(1)")->top, 4230);
    EXPECT_EQ(l.find("txtData(2)")->top, 6300);
    EXPECT_EQ(l.find("txtData(2)")->height, 1635);
    EXPECT_EQ(l.find("txtData(3)")->top, 8235);
    EXPECT_EQ(l.find("txtData(3)")->height, 735);

    const auto small = drill::layoutTestWindow(5000, 100);
    EXPECT_EQ(small.width, 9570);
    EXPECT_EQ(small.height, 8535);
    EXPECT_EQ(small.find("txtData(1)")->top, 3930);
    EXPECT_EQ(small.find("txtData(2)")->top, 5700);
    EXPECT_EQ(small.find("txtData(3)")->top, 7335);
    EXPECT_EQ(small.find("Label1(6)")->top, 7145);
    EXPECT_EQ(small.find("txtItem(2)")->top, 3680);

    const auto third = drill::layoutTestWindow(9570, 8536);
    EXPECT_DOUBLE_EQ(third.find("txtData(0)")->height, 1335 + 1.0 / 3);
}

}  // namespace

#include <QDate>

#include "platform/ui/ScriptedDialogs.h"
#include "shell/CheckRecordDay.h"

namespace {

TEST(CheckRecordDay, BothGroupsMustBeRealDates) {
    ui::ScopedScriptedDialogs boxes;
    EXPECT_TRUE(shell::CheckRecordDay({"2024", "07", "05", "2024", "7", "5"}));
    EXPECT_TRUE(
        shell::CheckRecordDay({"2020", "12", "31", "2000", "1", "1"}));  // start after end is valid
    EXPECT_TRUE(boxes->shown().empty());

    EXPECT_FALSE(shell::CheckRecordDay({"2019", "2", "30", "2024", "1", "1"}));
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].text, "開始日の設定が不正です。");
    EXPECT_EQ(boxes->shown()[0].title, "KENVORA");

    EXPECT_FALSE(
        shell::CheckRecordDay({"2019", "13", "1", "x", "", ""}));  // both bad: only the start
    ASSERT_EQ(boxes->shown().size(), 2u);
    EXPECT_EQ(boxes->shown()[1].text, "開始日の設定が不正です。");

    EXPECT_FALSE(shell::CheckRecordDay({"2024", "2", "29", "2023", "2", "29"}));
    EXPECT_EQ(boxes->shown()[2].text, "終了日の設定が不正です。");
}

TEST(CheckRecordDay, YearListsReachTheCurrentYear) {
    const QStringList years = shell::recordDayYears();
    EXPECT_EQ(years.first(), "2000");
    EXPECT_EQ(years.last(), QString::number(QDate::currentDate().year()));
}

}  // namespace
