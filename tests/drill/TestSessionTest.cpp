// The drill's question loop on a real file, without its window: the order a test asks in,
// counting, moving, revealing, the end of a fixed order and a record deleted meanwhile.
#include <deque>

#include "drill/ScriptedRandom.h"
#include "drill/TestSession.h"
#include "drill/TestStatement.h"
#include "platform/dao/DaoError.h"
#include "platform/dao/DaoFixture.h"
#include "platform/dao/Recordset.h"

namespace {

using drill::QuestionMove;
using drill::QuestionOrder;

using testing_support::ScriptedRandom;

class TestSessionTest : public DaoTest {
protected:
    void SetUp() override {
        DaoTest::SetUp();
        addSet(1, "英単語");
        addSet(2, "漢字");
    }
    // A record of set 1 with its rate; registered at hour `id`, so ties sort by ID.
    void addRated(int id, const QString& text, double rate, int right = 0, int asked = 0) {
        addRecord(id, 1, text, text + "-2", text + "-3", right, asked, rate, "2020/1/1",
                  QStringLiteral("%1:00:00").arg(id), text + "-c");
    }
    drill::TestConditions allOf(int dbID) {
        drill::TestConditions c;
        c.dbIDs = {dbID};
        c.dateCondition = true;  // every record: a rate condition would leave out a Null rate
        c.dateTexts = {"2000", "1", "1", "2099", "12", "31"};
        return c;
    }
    bool startFixed(bool ascending = true) {
        drill::TestConditions c = allOf(1);
        c.ascending = ascending;
        return session.start(*db, c);
    }
    bool startRandom(bool weighted, std::deque<double> values) {
        session.setRandom(std::make_unique<ScriptedRandom>(std::move(values)));
        drill::TestConditions c = allOf(1);
        c.random = true;
        c.weighted = weighted;
        return session.start(*db, c);
    }
    // The first box of the question the last answer or move reached, "" when none.
    QString nextShown() {
        const auto q = session.questionAfterMove(show);
        return q ? q->boxes[0].text : QString();
    }
    int position() { return session.recordset()->AbsolutePosition(); }
    QString counts(int id) {
        const QString where = QStringLiteral(" FROM データ WHERE ID = %1").arg(id);
        return column("SELECT 正解回数" + where, "正解回数").join("") + "/" +
               column("SELECT 出題回数" + where, "出題回数").join("") + "/" +
               column("SELECT 正解率" + where, "正解率").join("");
    }

    drill::TestSession session;
    drill::ShowSettings show;
};

TEST_F(TestSessionTest, FixedOrdersAskByRateThenRegistrationTime) {
    addRated(1, "half", 50);
    addRated(2, "none", 0);
    addRated(3, "all", 100);
    addRated(4, "none too", 0);
    ASSERT_TRUE(startFixed(true));
    const drill::QuestionView first = session.firstQuestion(show);
    EXPECT_EQ(first.boxes[0].text, "none");
    EXPECT_EQ(first.counter, "1/4");
    QStringList asked{first.boxes[0].text};
    for (int i = 0; i < 3; ++i) {
        session.move(QuestionMove::Next);
        asked << nextShown();
    }
    EXPECT_EQ(asked, (QStringList{"none", "none too", "half", "all"}));

    ASSERT_TRUE(startFixed(false));
    EXPECT_EQ(session.firstQuestion(show).boxes[0].text, "all");
    session.move(QuestionMove::Last);
    EXPECT_EQ(nextShown(), "none");  // equal rates descending: the later-registered first
}

TEST_F(TestSessionTest, RandomOrdersStartAndGoOnWithADraw) {
    for (int i = 1; i <= 4; ++i) addRated(i, QString("r%1").arg(i), 25.0 * i);
    // Random order is highest rate first: r4, r3, r2, r1.
    ASSERT_TRUE(startRandom(true, {0.55, 0.95}));
    EXPECT_EQ(position(), 2);  // the weighted worked example
    EXPECT_EQ(session.firstQuestion(show).boxes[0].text, "r2");
    session.answer(true, QuestionOrder::Weighted);
    EXPECT_EQ(position(), 3);  // R = 9.5 rounds to 10, the last band
    EXPECT_EQ(nextShown(), "r1");

    ASSERT_TRUE(startRandom(false, {0.3, 0.99}));
    EXPECT_EQ(position(), 1);  // 4 x 0.3 = 1.2
    session.answer(false, QuestionOrder::Uniform);
    EXPECT_EQ(position(), 0);            // 3.96 rounds to 4 = n, which gives 0
    EXPECT_FALSE(session.endCounted());  // a random test has no end

    // The order is read at each answer: a fixed order now goes to the next position.
    session.answer(false, QuestionOrder::Fixed);
    EXPECT_EQ(position(), 1);
}

TEST_F(TestSessionTest, OneRecordInRandomOrderIsAskedAgainAndAgain) {
    addRated(1, "only", 0);
    ASSERT_TRUE(startRandom(false, {0.9, 0.9, 0.9}));
    session.firstQuestion(show);
    session.answer(true, QuestionOrder::Uniform);
    EXPECT_FALSE(session.questionAfterMove(show));  // the same position shows nothing new
    session.answer(true, QuestionOrder::Weighted);  // n = 1 needs no draw
    EXPECT_EQ(counts(1), "2/2/100");
}

TEST_F(TestSessionTest, AnswersCountIntoTheRecord) {
    addRated(1, "new", 0);
    addRated(2, "two of three", 66.666664, 2, 3);
    addRated(3, "wrong", 66.666664, 2, 3);
    ASSERT_TRUE(startFixed());
    session.firstQuestion(show);
    session.answer(true, QuestionOrder::Fixed);
    EXPECT_EQ(counts(1), "1/1/100");
    EXPECT_EQ(nextShown(), "two of three");
    session.answer(true, QuestionOrder::Fixed);
    EXPECT_EQ(counts(2), "3/4/75");
    session.answer(false, QuestionOrder::Fixed);
    EXPECT_EQ(counts(3), "2/4/50");
}

TEST_F(TestSessionTest, TheEndOfAFixedOrderStaysOnTheLastQuestion) {
    addRated(1, "one", 0);
    addRated(2, "two", 0);
    addRated(3, "three", 66.666664, 2, 3);
    ASSERT_TRUE(startFixed());
    session.firstQuestion(show);
    session.answer(true, QuestionOrder::Fixed);
    EXPECT_EQ(nextShown(), "two");
    session.answer(false, QuestionOrder::Fixed);
    const auto last = session.questionAfterMove(show);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->rate, "66.7");
    EXPECT_EQ(last->counter, "3/3");
    EXPECT_FALSE(session.endCounted());
    session.answer(true, QuestionOrder::Fixed);
    EXPECT_TRUE(session.endCounted());
    EXPECT_EQ(position(), 2);
    EXPECT_FALSE(session.questionAfterMove(show));  // the rate shown stays 66.7
    session.answer(false, QuestionOrder::Fixed);    // counted again once the window has asked
    EXPECT_EQ(counts(3), "3/5/60");
    EXPECT_TRUE(session.endCounted());
    session.move(QuestionMove::Next);
    session.move(QuestionMove::Last);
    EXPECT_TRUE(session.endCounted());  // forward moves leave the flag
    session.move(QuestionMove::Previous);
    EXPECT_FALSE(session.endCounted());
    session.answer(true, QuestionOrder::Fixed);
    session.answer(true, QuestionOrder::Fixed);
    EXPECT_TRUE(session.endCounted());
    session.move(QuestionMove::First);
    EXPECT_FALSE(session.endCounted());
    EXPECT_TRUE(startFixed());
    EXPECT_FALSE(session.endCounted());  // a new start begins afresh
}

TEST_F(TestSessionTest, MovesStopAtBothEnds) {
    addRated(1, "a", 0);
    addRated(2, "b", 0);
    addRated(3, "c", 0);
    ASSERT_TRUE(startFixed());
    session.firstQuestion(show);
    session.move(QuestionMove::Previous);
    EXPECT_EQ(nextShown(), "");  // already first: nothing new
    session.move(QuestionMove::Last);
    EXPECT_EQ(nextShown(), "c");
    session.move(QuestionMove::Next);
    EXPECT_EQ(nextShown(), "");
    session.move(QuestionMove::Previous);
    EXPECT_EQ(nextShown(), "b");
    session.move(QuestionMove::First);
    EXPECT_EQ(nextShown(), "a");
    EXPECT_EQ(counts(1), "0/0/0");  // moving counts nothing
}

TEST_F(TestSessionTest, HiddenItemsAreEmptyLockedAndRevealed) {
    db->Execute(
        "UPDATE データベース設定 SET 文字隠用背景色 = 255, 項目1背景色 = 65280, "
        "項目2背景色 = 16711680 WHERE dbID = 1");
    addRated(1, "q1", 0);
    addRated(2, "q2", 0);
    show.shown = {false, false, true, true};
    show.hideByColour = true;
    ASSERT_TRUE(startFixed());
    const drill::QuestionView first = session.firstQuestion(show);
    // Item 1 shows on the hiding colour until the first move, its lock untouched.
    EXPECT_EQ(first.boxes[0].text, "q1");
    EXPECT_EQ(first.boxes[0].rtf, "{\\rtf1 x}");
    EXPECT_EQ(first.boxes[0].backColour, 255u);
    EXPECT_FALSE(first.boxes[0].locked);
    EXPECT_EQ(first.boxes[1].text, "");
    EXPECT_EQ(first.boxes[1].locked, true);
    EXPECT_EQ(first.boxes[1].backColour, 255u);
    EXPECT_EQ(first.boxes[2].text, "q1-3");
    EXPECT_FALSE(first.boxes[2].locked);

    const auto revealed = session.revealed(show);
    ASSERT_TRUE(revealed[1]);
    EXPECT_EQ(revealed[1]->text, "q1-2");
    EXPECT_EQ(revealed[1]->backColour, 16711680u);
    EXPECT_EQ(revealed[1]->locked, false);
    EXPECT_EQ(revealed[0]->backColour, 65280u);
    EXPECT_FALSE(revealed[2]);  // shown items are left alone
    EXPECT_FALSE(revealed[3]);

    session.move(QuestionMove::Next);
    const auto next = session.questionAfterMove(show);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->boxes[0].text, "");
    EXPECT_EQ(next->boxes[0].locked, true);
    EXPECT_EQ(next->boxes[0].backColour, 255u);
    EXPECT_EQ(next->boxes[3].text, "q2-c");
    EXPECT_EQ(next->boxes[3].locked, false);

    show.hideByColour = false;  // hidden boxes then keep their own colour
    session.move(QuestionMove::First);
    EXPECT_EQ(session.questionAfterMove(show)->boxes[1].backColour, 16711680u);
}

TEST_F(TestSessionTest, TheHeaderAndItsDefaults) {
    db->Execute(
        "UPDATE データベース設定 SET 正解率閾値 = 80, 正解率以上背景色 = 255, "
        "正解率未満背景色 = 65280, 文字隠用背景色 = Null WHERE dbID = 1");
    addRated(1, "below", 79.94);
    addRated(2, "shown as 80", 79.96);
    addRated(3, "no rate", -1);
    ASSERT_TRUE(startFixed(false));  // descending: 79.96, 79.94, then the Null rate
    drill::QuestionView q = session.firstQuestion(show);
    EXPECT_EQ(q.setName, "英単語");
    EXPECT_EQ(q.itemNames, (std::array<QString, 3>{"単語", "読み", "意味"}));
    EXPECT_EQ(q.registered, "2020/01/01");
    EXPECT_EQ(q.rate, "80.0");
    EXPECT_EQ(q.rateBackColour, 255u);  // the threshold meets the value shown
    session.move(QuestionMove::Next);
    EXPECT_EQ(session.questionAfterMove(show)->rateBackColour, 65280u);
    show.shown[1] = false;
    show.hideByColour = true;
    session.move(QuestionMove::Last);
    q = *session.questionAfterMove(show);
    EXPECT_EQ(q.rate, "0.0");
    EXPECT_EQ(q.boxes[1].backColour, 0xC0C0C0u);  // no hiding colour chosen
    EXPECT_EQ(q.counter, "3/3");
}

TEST_F(TestSessionTest, ATestWithoutRecordsHasNoQuestion) {
    addRated(1, "a", 0);
    drill::TestConditions c = allOf(2);
    EXPECT_FALSE(session.start(*db, c));
    EXPECT_FALSE(session.hasQuestions());
    EXPECT_FALSE(session.hasQuestion());
    ASSERT_TRUE(startFixed());
    EXPECT_TRUE(session.hasQuestion());
    session.close();
    EXPECT_FALSE(session.hasQuestions());
    EXPECT_EQ(session.recordset(), nullptr);
}

TEST_F(TestSessionTest, ARecordDeletedUnderneathIsReportedAndSkipped) {
    addRated(1, "a", 0);
    addRated(2, "b", 0);
    addRated(3, "c", 0);
    ASSERT_TRUE(startFixed());
    session.firstQuestion(show);
    db->Execute("DELETE FROM データ WHERE ID = 2");
    session.move(QuestionMove::Next);
    EXPECT_DAO_ERROR(session.questionAfterMove(show), dao::err::RecordDeleted);
    EXPECT_DAO_ERROR(session.answer(true, QuestionOrder::Fixed), dao::err::RecordDeleted);
    EXPECT_EQ(position(), 1);  // nothing counted, nothing moved
    show.shown[1] = false;
    EXPECT_DAO_ERROR(session.revealed(show), dao::err::RecordDeleted);
    session.move(QuestionMove::Next);
    EXPECT_EQ(nextShown(), "c");  // the test goes on past it
    session.answer(true, QuestionOrder::Fixed);
    EXPECT_EQ(counts(3), "1/1/100");
    session.move(QuestionMove::First);
    EXPECT_EQ(nextShown(), "a");
    EXPECT_EQ(session.questionAfterMove(show).has_value(), false);
}

}  // namespace
