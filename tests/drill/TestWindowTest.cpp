// The test window and the statistics window on a real file, driven through their buttons.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "common/Pixels.h"
#include "drill/frmJustAnswerRate.h"
#include "drill/frmTest.h"
#include "platform/dao/Recordset.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/ui/Color.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/Twips.h"
#include "records/RecordWindowFixture.h"
#include "records/frmMDIChild.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"

namespace {

class Fixed : public drill::RandomSingle {
public:
    explicit Fixed(double u) : RandomSingle(1), m_(static_cast<std::uint32_t>(u * 16777216.0)) {}
    std::uint32_t nextMantissa() override { return m_; }

private:
    std::uint32_t m_;
};

class TestWindowTest : public RecordWindowTest {
protected:
    void SetUp() override {
        RecordWindowTest::SetUp();
        addSet(1, "英単語");
        addSet(2, "漢字");
    }
    std::unique_ptr<frmTest> window() {
        shell::openSettingsRecordset();
        shell::rebuildDataBaseList();
        auto w = std::make_unique<frmTest>();
        w->show();
        return w;
    }
    void click(frmTest& w, int button) { QTest::mouseClick(w.cmdTest[button], Qt::LeftButton); }
    // Set 1 selected, rate at or above 0, fixed ascending order.
    void startAll(frmTest& w) {
        w.lstDatabase->item(0)->setSelected(true);
        QTest::mouseClick(w.chkTest[0], Qt::LeftButton);
        w.cmbPoints->setEditText("0");
        click(w, 0);
    }
    QString counts(int id) {
        return field(id, "正解回数") + "/" + field(id, "出題回数") + "/" + field(id, "正解率");
    }
};

TEST_F(TestWindowTest, EnablingAndRandomModeRules) {
    auto w = window();
    EXPECT_FALSE(w->cmdTest[0]->isEnabled());
    EXPECT_FALSE(w->chkTest[7]->isEnabled());
    EXPECT_TRUE(w->optPoint[2]->isEnabled());
    EXPECT_EQ(w->cmbPoints->currentText(), "100");
    EXPECT_EQ(w->cmbPoints->count(), 21);
    EXPECT_EQ(w->cmbRecordDay[0]->itemText(w->cmbRecordDay[0]->count() - 1),
              QString::number(QDate::currentDate().year()));
    EXPECT_EQ(w->cmbRecordDay[1]->currentText().size(), 2);  // today's month with its leading zero
    w->lstDatabase->item(0)->setSelected(true);
    EXPECT_FALSE(w->cmdTest[0]->isEnabled());
    EXPECT_EQ(w->cmdTest[0]->toolTip(), "出題条件を揃えて下さい。");
    QTest::mouseClick(w->chkTest[6], Qt::LeftButton);
    EXPECT_TRUE(w->cmdTest[0]->isEnabled());
    EXPECT_TRUE(w->chkTest[7]->isEnabled());
    EXPECT_FALSE(w->optPoint[2]->isEnabled());
    EXPECT_EQ(w->optPoint[2]->toolTip(), "ランダム出題時は選択できません。");
    click(*w, 1);
    click(*w, 2);
    EXPECT_TRUE(w->lstDatabase->selectedItems().isEmpty());
    EXPECT_FALSE(w->cmdTest[0]->isEnabled());
}

TEST_F(TestWindowTest, DateAndRateChecksKeepThePreviousTest) {
    addRecord(1, 1, "a", "2020/01/01");
    auto w = window();
    startAll(*w);
    ASSERT_TRUE(w->isOpen());
    dao::Recordset* before = w->testRecordset();
    w->cmbRecordDay[1]->setEditText("2");
    w->cmbRecordDay[2]->setEditText("30");
    w->cmbRecordDay[0]->setEditText("2019");
    click(*w, 0);  // the date condition is unchecked, and still checked
    EXPECT_EQ(boxes->shown().back().text, "開始日の設定が不正です。");
    EXPECT_EQ(w->testRecordset(), before);
    w->cmbRecordDay[2]->setEditText("1");
    w->cmbPoints->setEditText("abc");
    click(*w, 0);
    EXPECT_EQ(boxes->shown().back().text, "正解率の設定が不正です。");
    EXPECT_EQ(boxes->shown().back().title, "KENVORA");
    EXPECT_EQ(w->testRecordset(), before);
    EXPECT_EQ(w->txtData[0]->Text(), "a");
}

TEST_F(TestWindowTest, FixedOrderVisitsEachQuestionThenAsksBeforeRecounting) {
    addRecord(1, 1, "one", "2020/01/01", "01:00:00");
    addRecord(2, 1, "two", "2020/01/02", "02:00:00", 2, 3);
    addRecord(3, 1, "three", "2020/01/03", "03:00:00");
    shell::mainModule().database->Execute("UPDATE データ SET 正解率 = 66.666664 WHERE ID = 2");
    auto w = window();
    startAll(*w);  // rate ascending: one (0), three (0), two (66.7)
    EXPECT_EQ(w->txtItem[6]->text(), "1/3");
    EXPECT_EQ(w->txtData[0]->Text(), "one");
    click(*w, 3);
    EXPECT_EQ(counts(1), "1/1/100");  // a new record answered right
    EXPECT_EQ(w->txtData[0]->Text(), "three");
    click(*w, 4);
    EXPECT_EQ(counts(3), "0/1/0");  // and wrong
    EXPECT_EQ(w->txtItem[6]->text(), "3/3");
    EXPECT_EQ(w->txtItem[4]->text(), "66.7");
    click(*w, 3);
    EXPECT_EQ(counts(2), "3/4/75");  // 2 of 3, right
    EXPECT_TRUE(w->endCounted());
    EXPECT_EQ(w->txtItem[4]->text(), "66.7");  // the last question stays as it was shown
    boxes->queue("キャンセル");
    click(*w, 4);
    EXPECT_EQ(boxes->shown().back().title, "正解率チェック");
    EXPECT_EQ(boxes->shown().back().text,
              "最終データです。\n一度カウントしています。再カウントしますか。");
    EXPECT_EQ(counts(2), "3/4/75");
    boxes->queue("OK");
    click(*w, 4);
    EXPECT_EQ(counts(2), "3/5/60");
    click(*w, 6);  // "＜" clears the flag
    EXPECT_FALSE(w->endCounted());
}

TEST_F(TestWindowTest, WrongAnswerOnTwoOfThree) {
    addRecord(1, 1, "x", "2020/01/01", "01:00:00", 2, 3);
    shell::mainModule().database->Execute("UPDATE データ SET 正解率 = 66.666664 WHERE ID = 1");
    auto w = window();
    startAll(*w);
    click(*w, 4);
    EXPECT_EQ(counts(1), "2/4/50");
}

TEST_F(TestWindowTest, RateBoxColourUsesTheShownValue) {
    shell::mainModule().database->Execute(
        "UPDATE データベース設定 SET 正解率閾値 = 80, 正解率以上背景色 = 255, 正解率未満背景色 = "
        "65280");
    addRecord(1, 1, "a", "2020/01/01", "01:00:00");
    addRecord(2, 1, "b", "2020/01/02", "02:00:00");
    shell::mainModule().database->Execute("UPDATE データ SET 正解率 = 79.96 WHERE ID = 1");
    shell::mainModule().database->Execute("UPDATE データ SET 正解率 = 79.94 WHERE ID = 2");
    auto w = window();
    startAll(*w);  // ascending: b (79.94) first
    using testing_support::backgroundOf;
    EXPECT_EQ(w->txtItem[4]->text(), "79.9");
    EXPECT_EQ(backgroundOf(w->txtItem[4]), ui::qColorFromBgr(65280));  // what the user sees
    click(*w, 7);
    EXPECT_EQ(w->txtItem[4]->text(), "80.0");
    EXPECT_EQ(backgroundOf(w->txtItem[4]), ui::qColorFromBgr(255));
}

TEST_F(TestWindowTest, HiddenItemsRevealAndHideAgain) {
    shell::mainModule().database->Execute("UPDATE データベース設定 SET 文字隠用背景色 = 255");
    shell::mainModule().database->Execute(
        "INSERT INTO データ (ID, dbID, 項目１, 項目２, 登録日, 登録時刻) VALUES "
        "(1, 1, 'q1', 'a1', #2020/1/1#, #1:00:00#)");
    shell::mainModule().database->Execute(
        "INSERT INTO データ (ID, dbID, 項目１, 項目２, 登録日, 登録時刻) VALUES "
        "(2, 1, 'q2', 'a2', #2020/1/2#, #2:00:00#)");
    auto w = window();
    QTest::mouseClick(w->chkTest[3], Qt::LeftButton);  // do not show item 2
    QTest::mouseClick(w->chkTest[8], Qt::LeftButton);  // hide by colour
    startAll(*w);
    EXPECT_EQ(w->txtData[1]->Text(), "");
    EXPECT_TRUE(w->txtData[1]->Locked());
    EXPECT_EQ(ui::bgrFromQColor(w->txtData[1]->BackColor()), 255u);
    EXPECT_EQ(testing_support::backgroundOf(w->txtData[1]->viewport()), ui::qColorFromBgr(255));
    click(*w, 9);
    EXPECT_EQ(w->txtData[1]->Text(), "a1");
    EXPECT_FALSE(w->txtData[1]->Locked());
    EXPECT_EQ(ui::bgrFromQColor(w->txtData[1]->BackColor()), 0xFFFFFFu);
    click(*w, 7);
    EXPECT_EQ(w->txtData[1]->Text(), "");
    EXPECT_TRUE(w->txtData[1]->Locked());
}

TEST_F(TestWindowTest, MissingRateAndHidingColourShowDefaults) {
    shell::mainModule().database->Execute("UPDATE データベース設定 SET 文字隠用背景色 = Null");
    addRecord(1, 1, "q", "2020/01/01", "01:00:00");
    shell::mainModule().database->Execute("UPDATE データ SET 正解率 = Null");
    auto w = window();
    QTest::mouseClick(w->chkTest[3], Qt::LeftButton);
    QTest::mouseClick(w->chkTest[8], Qt::LeftButton);
    w->lstDatabase->item(0)->setSelected(true);
    QTest::mouseClick(w->chkTest[6],
                      Qt::LeftButton);  // random: the Null rate does not filter it out
    click(*w, 0);
    ASSERT_TRUE(w->isOpen());
    EXPECT_EQ(w->txtItem[4]->text(), "0.0");
    EXPECT_EQ(ui::bgrFromQColor(w->txtData[1]->BackColor()), 0xC0C0C0u);
    click(*w, 3);  // and the answer counts from nothing
    EXPECT_EQ(counts(1), "1/1/100");
}

TEST_F(TestWindowTest, EditsAreWrittenBackOnMovesAndClosingAndRecordWindowsRefresh) {
    addRecord(1, 1, "first", "2020/01/01", "01:00:00");
    addRecord(2, 1, "second", "2020/01/02", "02:00:00");
    frmMDIChild* recordWindow = openSet(1);
    EXPECT_EQ(recordWindow->txtPonit->text(), "0.0");
    auto w = window();
    startAll(*w);
    w->txtData[0]->setFocus();
    w->txtData[0]->moveCursor(QTextCursor::End);
    QTest::keyClicks(w->txtData[0], "!");
    click(*w, 7);
    EXPECT_EQ(field(1, "項目1"), "first!");
    click(*w, 3);  // count "second" right
    w->txtData[0]->setFocus();
    w->txtData[0]->moveCursor(QTextCursor::End);
    QTest::keyClicks(w->txtData[0], "?");
    w->close();
    EXPECT_EQ(field(2, "項目1"), "second?");
    EXPECT_TRUE(shell::mainModule().dataBaseList[2].changed);
    // The record window shows the first record with its new text.
    EXPECT_EQ(recordWindow->txtData[0]->Text(), "first!");
}

TEST_F(TestWindowTest, RandomModeDrawsPositions) {
    for (int i = 1; i <= 4; ++i)
        addRecord(i, 1, QString("r%1").arg(i), "2020/01/01", QString("0%1:00:00").arg(i));
    auto w = window();
    w->setRandom(std::make_unique<Fixed>(0.55));
    w->lstDatabase->item(0)->setSelected(true);
    QTest::mouseClick(w->chkTest[6], Qt::LeftButton);
    QTest::mouseClick(w->chkTest[7], Qt::LeftButton);  // weighted
    click(*w, 0);
    EXPECT_EQ(w->testRecordset()->AbsolutePosition(), 2);  // the worked example's band
    click(*w, 3);
    EXPECT_EQ(w->testRecordset()->AbsolutePosition(), 2);
    EXPECT_FALSE(w->endCounted());
}

TEST_F(TestWindowTest, StatisticsWindowShowsEverySetInListOrder) {
    addRecord(1, 1, "a", "2020/01/01", "01:00:00", 3, 4);
    addRecord(2, 1, "b", "2020/01/01", "01:00:00", 1, 2);
    addRecord(3, 1, "c");
    shell::mainModule().database->Execute(
        "UPDATE データ SET 正解率 = 出題回数 * 0 + IIF(出題回数 = 0, 0, 正解回数 / 出題回数 * "
        "100)");
    shell::openSettingsRecordset();
    shell::rebuildDataBaseList();
    frmJustAnswerRate w;
    const ui::FlexGrid& g = *w.MSHFlexGrid1;
    ASSERT_EQ(g.rows(), 3);
    EXPECT_EQ(g.textMatrix(0, 3), "平均正解率");
    QStringList first, second;
    for (int c = 0; c < 7; ++c) {
        first << g.textMatrix(1, c);
        second << g.textMatrix(2, c);
    }
    EXPECT_EQ(first, (QStringList{"英単語", "0.0", "75.0", "66.7", "3", "6", "1"}));
    EXPECT_EQ(second, (QStringList{"漢字", "", "", "", "0", "", "0"}));
    EXPECT_EQ(g.colWidth(0), 3160);
}

}  // namespace

namespace {

TEST_F(TestWindowTest, TypedRateBoundIsNotCompleted) {
    auto w = window();
    QApplication::setActiveWindow(w.get());
    for (const char* typed : {"5", "10"}) {
        QLineEdit* edit = w->cmbPoints->lineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        EXPECT_EQ(w->cmbPoints->currentText(), typed);
    }
}

}  // namespace

namespace {

TEST_F(TestWindowTest, EnterAndEscapeNeitherSelectNorClose) {
    auto w = window();
    QApplication::setActiveWindow(w.get());
    w->lstDatabase->setFocus();
    QTest::keyClick(w->lstDatabase, Qt::Key_Return);
    EXPECT_TRUE(w->lstDatabase->selectedItems().isEmpty());
    QTest::keyClick(w->lstDatabase, Qt::Key_Escape);
    EXPECT_TRUE(w->isVisible());
    QTest::keyClick(w->cmbPoints->lineEdit(), Qt::Key_Enter);
    EXPECT_TRUE(w->lstDatabase->selectedItems().isEmpty());
    EXPECT_TRUE(w->isVisible());
}

}  // namespace

namespace {

TEST_F(TestWindowTest, StartingAgainKeepsATypedEdit) {
    addRecord(1, 1, "first", "2020/01/01", "01:00:00");
    auto w = window();
    startAll(*w);
    w->txtData[0]->setFocus();
    w->txtData[0]->moveCursor(QTextCursor::End);
    QTest::keyClicks(w->txtData[0], "!");
    click(*w, 0);  // 出　題 again
    EXPECT_EQ(field(1, "項目1"), "first!");
    EXPECT_EQ(w->txtData[0]->Text(), "first!");
}

}  // namespace

namespace {

// 9570 x 8535 twips is the outer size: the comment box ends 60 twips above the client
// area's bottom, with no empty band below it.
TEST_F(TestWindowTest, TheTestWindowsSizeIsItsOuterSize) {
    auto w = window();
    EXPECT_EQ(w->size(), QSize(ui::px(9570 - 120), ui::px(8535 - 405)));
    const int below = w->height() - (w->txtData[3]->geometry().bottom() + 1);
    EXPECT_EQ(below, ui::px(60));
}

TEST_F(TestWindowTest, TheStatisticsWindowsSizeIsItsOuterSize) {
    frmJustAnswerRate statistics;
    EXPECT_EQ(statistics.size(), QSize(ui::px(9570 - 120), ui::px(8535 - 405)));
}

}  // namespace

namespace {

TEST_F(TestWindowTest, StatisticsHeadersAreNotCutOff) {
    const QFont before = QApplication::font();
    QApplication::setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));  // as the program runs
    {
        frmJustAnswerRate w;
        w.show();
        EXPECT_EQ(testing_support::clippedHeaderCaptions(w.MSHFlexGrid1), QStringList());
        EXPECT_EQ(w.MSHFlexGrid1->model()->headerData(6, Qt::Horizontal).toString(),
                  "出題未\n項目数");
    }
    QApplication::setFont(before);
}

}  // namespace

namespace {

// Every control of the test window found by its name and driven as a user drives it, so a
// lost connection or a renamed control fails here.
template <typename T = QWidget>
T* named(frmTest& w, const char* name) {
    auto* control = w.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

void clickNamed(frmTest& w, const char* name) {
    QTest::mouseClick(named(w, name), Qt::LeftButton);
}

void clickFirstSet(frmTest& w) {
    auto* list = named<QListWidget>(w, "lstDatabase");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
}

// The entry after `from` of a combo, picked with the arrow key.
void pickNext(frmTest& w, const char* name, int from) {
    auto* combo = named<QComboBox>(w, name);
    combo->setCurrentIndex(from);
    QTest::keyClick(combo, Qt::Key_Down);
}

TEST_F(TestWindowTest, TheConditionControlsFoundByNameAnswerTheUser) {
    for (int i = 1; i <= 4; ++i)
        addRecord(i, 1, QString("r%1").arg(i), "2020/01/01", QString("0%1:00:00").arg(i));
    shell::mainModule().database->Execute("UPDATE データ SET 正解率 = ID * 20");
    auto w = window();
    QApplication::setActiveWindow(w.get());
    const QPushButton* start = w->cmdTest[0];
    clickNamed(*w, "chkTest(0)");      // the rate condition
    EXPECT_FALSE(start->isEnabled());  // no set chosen
    clickFirstSet(*w);
    EXPECT_TRUE(start->isEnabled());
    clickNamed(*w, "chkTest(0)");
    EXPECT_FALSE(start->isEnabled());
    clickNamed(*w, "chkTest(1)");  // the date condition
    EXPECT_TRUE(start->isEnabled());
    clickNamed(*w, "chkTest(1)");
    EXPECT_FALSE(start->isEnabled());

    clickNamed(*w, "chkTest(6)");  // random
    EXPECT_TRUE(start->isEnabled());
    EXPECT_TRUE(w->chkTest[7]->isEnabled());
    EXPECT_FALSE(w->optPoint[2]->isEnabled());
    EXPECT_FALSE(w->optPoint[3]->isEnabled());
    clickNamed(*w, "chkTest(7)");  // weighted
    w->setRandom(std::make_unique<Fixed>(0.55));
    clickNamed(*w, "cmdTest(0)");
    EXPECT_EQ(w->txtData[0]->Text(), "r2");  // position 2 of r4, r3, r2, r1
    clickNamed(*w, "chkTest(6)");
    EXPECT_FALSE(w->chkTest[7]->isEnabled());
    EXPECT_TRUE(w->optPoint[3]->isEnabled());

    // Fixed order: at or below 40, descending, registered from 2020/1/1 to today.
    clickNamed(*w, "chkTest(0)");
    clickNamed(*w, "optPoint(1)");
    clickNamed(*w, "optPoint(3)");
    pickNext(*w, "cmbPoints", 11);  // 45, then 40
    EXPECT_EQ(w->cmbPoints->currentText(), "40");
    clickNamed(*w, "chkTest(1)");
    w->cmbRecordDay[1]->setEditText("1");
    w->cmbRecordDay[2]->setEditText("1");
    pickNext(*w, "cmbRecordDay(0)", 19);  // 2020
    clickNamed(*w, "cmdTest(0)");
    EXPECT_EQ(w->txtItem[6]->text(), "1/2");
    EXPECT_EQ(w->txtData[0]->Text(), "r2");
    clickNamed(*w, "optPoint(0)");  // at or above 40, still descending
    clickNamed(*w, "cmdTest(0)");
    EXPECT_EQ(w->txtItem[6]->text(), "1/3");
    EXPECT_EQ(w->txtData[0]->Text(), "r4");
    clickNamed(*w, "optPoint(2)");  // ascending
    clickNamed(*w, "cmdTest(0)");
    EXPECT_EQ(w->txtData[0]->Text(), "r2");
    pickNext(*w, "cmbRecordDay(0)", 20);  // from 2021: nothing
    pickNext(*w, "cmbRecordDay(3)", 0);   // to 2001: a start after the end is valid
    pickNext(*w, "cmbRecordDay(4)", 0);
    pickNext(*w, "cmbRecordDay(5)", 0);
    clickNamed(*w, "cmdTest(0)");
    EXPECT_EQ(w->txtItem[6]->text(), "");
    EXPECT_TRUE(boxes->shown().empty());
}

TEST_F(TestWindowTest, TheQuestionControlsFoundByNameAnswerTheUser) {
    shell::mainModule().database->Execute("UPDATE データベース設定 SET 文字隠用背景色 = 255");
    for (int i = 1; i <= 3; ++i)
        shell::mainModule().database->Execute(
            QString("INSERT INTO データ (ID, dbID, 項目１, 項目２, 項目３, コメント, 登録日, "
                    "登録時刻) VALUES (%1, 1, 'q%1', 'a%1', 't%1', 'c%1', #2020/1/1#, #%1:00:00#)")
                .arg(i));
    auto w = window();
    clickNamed(*w, "cmdTest(1)");  // select all
    EXPECT_EQ(w->lstDatabase->selectedItems().size(), 2);
    clickNamed(*w, "cmdTest(2)");  // invert
    EXPECT_TRUE(w->lstDatabase->selectedItems().isEmpty());
    clickFirstSet(*w);
    clickNamed(*w, "chkTest(0)");
    w->cmbPoints->setEditText("0");
    for (const char* show : {"chkTest(2)", "chkTest(3)", "chkTest(4)", "chkTest(5)", "chkTest(8)"})
        clickNamed(*w, show);  // nothing shown, hidden by colour
    clickNamed(*w, "cmdTest(0)");
    EXPECT_EQ(w->txtItem[6]->text(), "1/3");
    EXPECT_EQ(w->txtData[0]->Text(), "q1");  // item 1 on the hiding colour at the start
    for (int box = 1; box < 4; ++box) {
        EXPECT_EQ(w->txtData[box]->Text(), "") << box;
        EXPECT_TRUE(w->txtData[box]->Locked()) << box;
    }

    clickNamed(*w, "cmdTest(7)");  // next
    EXPECT_EQ(w->txtItem[6]->text(), "2/3");
    for (int box = 0; box < 4; ++box) EXPECT_EQ(w->txtData[box]->Text(), "") << box;
    EXPECT_EQ(testing_support::backgroundOf(w->txtData[1]->viewport()), ui::qColorFromBgr(255));
    clickNamed(*w, "cmdTest(9)");  // reveal
    EXPECT_EQ(w->txtData[1]->Text(), "a2");
    EXPECT_EQ(w->txtData[3]->Text(), "c2");
    EXPECT_FALSE(w->txtData[1]->Locked());
    auto* box = named<richtext::RichTextBox>(*w, "txtData(1)");
    box->setFocus();
    box->moveCursor(QTextCursor::End);
    QTest::keyClicks(box, "!");
    clickNamed(*w, "cmdTest(8)");  // last: the revealed edit is written back
    EXPECT_EQ(w->txtItem[6]->text(), "3/3");
    EXPECT_EQ(field(2, "項目2"), "a2!");
    clickNamed(*w, "cmdTest(6)");  // previous
    EXPECT_EQ(w->txtItem[6]->text(), "2/3");
    clickNamed(*w, "cmdTest(5)");  // first
    EXPECT_EQ(w->txtItem[6]->text(), "1/3");
    clickNamed(*w, "cmdTest(3)");  // right
    EXPECT_EQ(counts(1), "1/1/100");
    EXPECT_EQ(w->txtItem[6]->text(), "2/3");
    clickNamed(*w, "cmdTest(4)");  // wrong
    EXPECT_EQ(counts(2), "0/1/0");
    EXPECT_EQ(w->txtItem[6]->text(), "3/3");

    for (const char* show : {"chkTest(2)", "chkTest(3)", "chkTest(4)", "chkTest(5)"})
        clickNamed(*w, show);  // everything shown from the next move on
    clickNamed(*w, "cmdTest(5)");
    EXPECT_EQ(w->txtData[0]->Text(), "q1");
    EXPECT_EQ(w->txtData[1]->Text(), "a1");
    EXPECT_EQ(w->txtData[2]->Text(), "t1");
    EXPECT_EQ(w->txtData[3]->Text(), "c1");
    EXPECT_FALSE(w->txtData[2]->Locked());
}

}  // namespace
