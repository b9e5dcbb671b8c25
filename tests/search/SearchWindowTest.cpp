// The search window driven through its controls and handlers, reading the database and the
// record windows afterwards.
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "common/Pixels.h"
#include "platform/dao/Database.h"
#include "platform/dao/Recordset.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/ui/Color.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/Twips.h"
#include "records/RecordWindowFixture.h"
#include "records/frmMDIChild.h"
#include "search/frmSearch.h"
#include "shell/MainModule.h"

namespace {

class SearchWindowTest : public RecordWindowTest {
protected:
    void TearDown() override {
        w.reset();
        RecordWindowTest::TearDown();
    }

    frmSearch& open() {
        w = std::make_unique<frmSearch>();
        w->show();
        return *w;
    }
    void choose(std::initializer_list<int> rows) {
        for (int r : rows) w->lstDatabase->item(r)->setSelected(true);
    }
    void words(const QString& text) {
        w->chkWord->setChecked(true);
        w->txtSearch[0]->setText(text);
    }
    void search() { w->cmdSearch_Click(0); }
    void execute(const QString& sql) { shell::mainModule().database->Execute(sql); }
    void setRate(int id, double rate) {
        execute(QStringLiteral("UPDATE データ SET 正解率 = %2 WHERE ID = %1").arg(id).arg(rate));
    }
    QStringList gridColumn(int col) const {
        QStringList texts;
        for (int r = 1; r < w->MSHFlexGrid1->rows(); ++r)
            texts << w->MSHFlexGrid1->textMatrix(r, col);
        return texts;
    }
    QColor base(QLineEdit* box) const { return box->palette().color(QPalette::Base); }
    void doubleClickRow(int row) {
        ui::FlexGrid* g = w->MSHFlexGrid1;
        const QRect cell = g->visualRect(g->model()->index(row - 1, 1));
        ASSERT_TRUE(cell.isValid());
        QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, cell.center());
    }

    std::unique_ptr<frmSearch> w;
};

TEST_F(SearchWindowTest, StartsWithTheSetsTodayAndNothingToSearch) {
    addSet(3, "英単語");
    addSet(1, "歴史");
    shell::mainModule().dataBaseList[2].changed = true;
    open();
    ASSERT_EQ(w->lstDatabase->count(), 2);
    EXPECT_EQ(w->lstDatabase->item(0)->text(), "英単語");
    EXPECT_EQ(w->listDbIDs(), (std::vector<std::int16_t>{3, 1}));
    EXPECT_FALSE(shell::mainModule().dataBaseList[2].changed);
    EXPECT_EQ(w->windowTitle(), "検索");
    EXPECT_EQ(w->size(), QSize(ui::px(9450), ui::px(8415)));

    EXPECT_EQ(w->cmbPoints->count(), 21);
    EXPECT_EQ(w->cmbPoints->itemText(1), "95");
    EXPECT_EQ(w->cmbPoints->itemText(20), "0");
    EXPECT_EQ(w->cmbPoints->currentText(), "100");
    EXPECT_TRUE(w->optPoint[0]->isChecked());
    const QDate today = QDate::currentDate();
    for (int g : {0, 3}) {
        QComboBox* year = w->cmbRecordDay[g];
        EXPECT_EQ(year->itemText(0), "2000");
        EXPECT_EQ(year->itemText(year->count() - 1),
                  QString::number(today.year()));  // not stopping at 2019
        EXPECT_EQ(year->currentText(), QString::number(today.year()));
        EXPECT_EQ(w->cmbRecordDay[g + 1]->count(), 12);
        EXPECT_EQ(w->cmbRecordDay[g + 1]->itemText(0), "1");
        EXPECT_EQ(w->cmbRecordDay[g + 1]->currentText(), today.toString("MM"));  // two digits
        EXPECT_EQ(w->cmbRecordDay[g + 2]->count(), 31);
        EXPECT_EQ(w->cmbRecordDay[g + 2]->currentText(), today.toString("dd"));
    }

    EXPECT_FALSE(w->cmdSearch[0]->isEnabled());
    EXPECT_FALSE(w->cmdSearch[4]->isEnabled());
    EXPECT_FALSE(w->cmdSearch[3]->isEnabled());
    EXPECT_TRUE(w->MSHFlexGrid1->isVisible());
    EXPECT_FALSE(w->txtData[0]->isVisible());
    EXPECT_FALSE(w->cmdSearch[7]->isVisible());
    EXPECT_EQ(w->MSHFlexGrid1->textMatrix(0, 0), "データベース名");
    EXPECT_EQ(w->MSHFlexGrid1->textMatrix(0, 5), "登録日");
    EXPECT_EQ(w->MSHFlexGrid1->rowHeight(1), 0);
    EXPECT_EQ(w->MSHFlexGrid1->rowHeight(0), 450);
    EXPECT_TRUE(w->MSHFlexGrid1->mergeCol(0));
    EXPECT_EQ(w->optPoint[1]->toolTip(), "検索条件の正解率を何点\"以下から\"という条件にします。");
    EXPECT_EQ(w->cmbRecordDay[4]->toolTip(), "検索条件　登録範囲の最後の日を設定します。");
    EXPECT_EQ(w->findChild<QPushButton*>("cmdSearch(0)")->text(), "検　索");
}

TEST_F(SearchWindowTest, SearchButtonFollowsTheSetsTheConditionsAndTheWordBox) {
    addSet(1, "a");
    addSet(2, "b");
    open();
    QPushButton* button = w->cmdSearch[0];
    QTest::mouseClick(w->chkWord, Qt::LeftButton);
    EXPECT_FALSE(button->isEnabled());  // no set chosen
    w->cmdSearch_Click(1);              // select all
    EXPECT_EQ(w->lstDatabase->selectedItems().size(), 2);
    EXPECT_FALSE(button->isEnabled());  // the word box is empty
    QTest::keyClicks(w->txtSearch[0], "x");
    EXPECT_TRUE(button->isEnabled());
    w->txtSearch[0]->clear();
    EXPECT_FALSE(button->isEnabled());
    QTest::mouseClick(w->chkRecordDay, Qt::LeftButton);
    EXPECT_FALSE(button->isEnabled());  // still the empty word box
    QTest::mouseClick(w->chkWord, Qt::LeftButton);
    EXPECT_TRUE(button->isEnabled());
    w->cmdSearch_Click(2);  // invert: nothing chosen
    EXPECT_TRUE(w->lstDatabase->selectedItems().isEmpty());
    EXPECT_FALSE(button->isEnabled());
    w->lstDatabase->item(0)->setSelected(true);
    w->cmdSearch_Click(2);
    EXPECT_FALSE(w->lstDatabase->item(0)->isSelected());
    EXPECT_TRUE(w->lstDatabase->item(1)->isSelected());
    EXPECT_TRUE(button->isEnabled());
}

TEST_F(SearchWindowTest, OneHitShowsOneRowAndOneOfOne) {
    addSet(1, "英単語");
    addRecord(1, 1, "apple", "2024/01/05");
    addRecord(2, 1, "pear", "2024/01/06");
    setRate(1, 66.65f);
    open();
    choose({0});
    words("app");
    search();
    EXPECT_EQ(w->txtSearch[7]->text(), "1/1");
    ASSERT_EQ(w->MSHFlexGrid1->rows(), 2);
    EXPECT_EQ(w->MSHFlexGrid1->textMatrix(1, 0), "英単語");
    EXPECT_EQ(w->MSHFlexGrid1->textMatrix(1, 1), "apple");
    EXPECT_EQ(w->MSHFlexGrid1->textMatrix(1, 4), "66.7");
    EXPECT_EQ(w->MSHFlexGrid1->textMatrix(1, 5), "2024/01/05");
    EXPECT_EQ(w->MSHFlexGrid1->textMatrix(1, 17), "1");
    EXPECT_EQ(w->MSHFlexGrid1->rowHeight(1), 390);
    EXPECT_EQ(w->MSHFlexGrid1->row(), 1);
    EXPECT_TRUE(w->MSHFlexGrid1->isColumnHidden(17));
    EXPECT_FALSE(w->MSHFlexGrid1->isColumnHidden(5));
    EXPECT_TRUE(w->cmdSearch[4]->isEnabled());
    EXPECT_EQ(w->txtSearch[6]->text(), "英単語");
    EXPECT_EQ(w->txtSearch[1]->text(), "単語");
    EXPECT_EQ(w->txtSearch[4]->text(), "66.7");
    EXPECT_EQ(w->txtSearch[5]->text(), "2024/01/05");
}

TEST_F(SearchWindowTest, ResultsComeGroupedBySetWhateverTheListOrder) {
    addSet(2, "後");
    addSet(1, "先");
    addRecord(1, 2, "x1", "2024/01/01");
    addRecord(2, 1, "x2", "2024/03/01");
    addRecord(3, 2, "x3", "2023/01/01");
    addRecord(4, 1, "x4", "2024/02/01");
    addRecord(5, 1, "x5", "2024/02/01");
    open();
    choose({0, 1});
    words("x");
    search();
    EXPECT_EQ(gridColumn(0), (QStringList{"先", "先", "先", "後", "後"}));
    EXPECT_EQ(gridColumn(1),
              (QStringList{"x4", "x5", "x2", "x3", "x1"}));  // oldest first, ties by ID
    // The set name shows once per run.
    EXPECT_FALSE(w->MSHFlexGrid1->mergesWithAbove(1, 0));
    EXPECT_TRUE(w->MSHFlexGrid1->mergesWithAbove(2, 0));
    EXPECT_FALSE(w->MSHFlexGrid1->mergesWithAbove(4, 0));
    EXPECT_EQ(w->txtSearch[7]->text(), "1/5");
}

TEST_F(SearchWindowTest, RateBoundsAreInclusiveAtBothEnds) {
    addSet(1, "a");
    for (int id = 1; id <= 4; ++id) addRecord(id, 1, QString::number(id));
    setRate(1, 100);
    setRate(2, 99.5);
    setRate(3, 0.5);
    setRate(4, 0);
    open();
    choose({0});
    w->chkJustAnswerRate->setChecked(true);
    w->cmbPoints->setEditText("100");
    search();
    EXPECT_EQ(gridColumn(1), QStringList{"1"});
    w->optPoint[1]->setChecked(true);
    w->cmbPoints->setEditText("0");
    search();
    EXPECT_EQ(gridColumn(1), QStringList{"4"});
    w->cmbPoints->setEditText("50");
    search();
    EXPECT_EQ(gridColumn(1), (QStringList{"3", "4"}));
    EXPECT_TRUE(boxes->shown().empty());
}

TEST_F(SearchWindowTest, ABadRateBoundOrDateKeepsThePreviousResult) {
    addSet(1, "a");
    addRecord(1, 1, "x1");
    addRecord(2, 1, "x2");
    open();
    choose({0});
    words("x");
    search();
    w->cmdSearch_Click(4);  // detail
    w->cmdSearch_Click(7);  // next
    ASSERT_EQ(w->txtSearch[7]->text(), "2/2");
    w->chkJustAnswerRate->setChecked(true);
    for (const QString bad : {"abc", "", "80)", "1e2"}) {
        w->cmbPoints->setEditText(bad);
        search();
        ASSERT_EQ(boxes->shown().size(), 1u) << bad.toStdString();
        EXPECT_EQ(boxes->shown()[0].text, "正解率の設定が不正です。");
        EXPECT_EQ(boxes->shown()[0].title, "KENVORA");
        boxes->clearShown();
        ASSERT_NE(w->resultSet(), nullptr);
        EXPECT_EQ(w->txtSearch[7]->text(), "2/2");
        EXPECT_EQ(w->MSHFlexGrid1->rows(), 3);
        EXPECT_TRUE(w->txtData[0]->isVisible());  // still the detail view
    }
    w->cmbPoints->setEditText("0");
    w->cmbRecordDay[4]->setEditText("13");
    search();
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].text, "終了日の設定が不正です。");
    EXPECT_EQ(w->txtSearch[7]->text(), "2/2");
}

TEST_F(SearchWindowTest, AStartAfterTheEndFindsNothingAndEmptiesTheList) {
    addSet(1, "a");
    addRecord(1, 1, "x", "2024/05/05");
    open();
    choose({0});
    words("x");
    search();
    ASSERT_EQ(w->MSHFlexGrid1->rows(), 2);
    w->chkRecordDay->setChecked(true);
    const QStringList start = {"2024", "6", "1"}, end = {"2024", "4", "1"};
    for (int i = 0; i < 3; ++i) {
        w->cmbRecordDay[i]->setEditText(start[i]);
        w->cmbRecordDay[i + 3]->setEditText(end[i]);
    }
    search();
    EXPECT_TRUE(boxes->shown().empty());
    EXPECT_EQ(w->txtSearch[7]->text(), "");
    EXPECT_FALSE(w->cmdSearch[4]->isEnabled());
    EXPECT_EQ(w->MSHFlexGrid1->rows(), 2);
    EXPECT_EQ(w->MSHFlexGrid1->rowHeight(1), 0);
    EXPECT_EQ(w->MSHFlexGrid1->textMatrix(1, 1), "");
    // Both ends are inclusive.
    w->cmbRecordDay[1]->setEditText("05");
    w->cmbRecordDay[2]->setEditText("05");
    w->cmbRecordDay[4]->setEditText("5");
    w->cmbRecordDay[5]->setEditText("5");
    search();
    EXPECT_EQ(w->txtSearch[7]->text(), "1/1");
}

TEST_F(SearchWindowTest, PickingAnImpossibleDateWarnsAndKeepsThePick) {
    addSet(1, "a");
    open();
    w->cmbRecordDay[0]->setEditText("2023");
    w->cmbRecordDay[1]->setEditText("2");
    w->cmbRecordDay[2]->setCurrentIndex(29);  // 30
    w->cmbRecordDay_Click(2);
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].text, "開始日の設定が不正です。");
    EXPECT_EQ(boxes->shown()[0].title, "KENVORA");
    EXPECT_EQ(w->cmbRecordDay[2]->currentText(), "30");
    w->cmbRecordDay_Click(4);  // the end group is today: fine
    EXPECT_EQ(boxes->shown().size(), 1u);
}

TEST_F(SearchWindowTest, WordsWithQuotesAndWildcardsSearchWithoutError) {
    addSet(1, "a");
    addRecord(1, 1, "don't panic");
    addRecord(2, 1, "dont");
    addRecord(3, 1, "a*b");
    addRecord(4, 1, "axb");
    open();
    choose({0});
    words("don't");
    search();
    EXPECT_EQ(gridColumn(1), QStringList{"don't panic"});
    words("a*b");
    search();
    EXPECT_EQ(gridColumn(1), QStringList{"a*b"});
    EXPECT_TRUE(boxes->shown().empty());
}

TEST_F(SearchWindowTest, SearchingAgainFromTheDetailViewReturnsToTheList) {
    addSet(1, "a");
    addRecord(1, 1, "x");
    open();
    choose({0});
    words("x");
    search();
    w->cmdSearch_Click(4);
    EXPECT_FALSE(w->MSHFlexGrid1->isVisible());
    EXPECT_TRUE(w->txtData[0]->isVisible());
    EXPECT_TRUE(w->cmdSearch[3]->isEnabled());
    EXPECT_FALSE(w->cmdSearch[4]->isEnabled());
    EXPECT_EQ(w->txtData[0]->Text(), "x");
    search();
    EXPECT_TRUE(w->MSHFlexGrid1->isVisible());
    EXPECT_FALSE(w->txtData[0]->isVisible());
    EXPECT_FALSE(w->cmdSearch[5]->isVisible());
    EXPECT_TRUE(w->cmdSearch[4]->isEnabled());
    EXPECT_FALSE(w->cmdSearch[3]->isEnabled());
}

TEST_F(SearchWindowTest, NavigationStopsAtBothEndsWithoutRedisplay) {
    addSet(1, "a");
    for (int id = 1; id <= 3; ++id)
        addRecord(id, 1, QStringLiteral("r%1").arg(id), QStringLiteral("2024/01/0%1").arg(id));
    open();
    choose({0});
    words("r");
    search();
    w->cmdSearch_Click(4);
    QSignalSpy writes(w->txtData[0], &richtext::RichTextBox::Change);
    w->cmdSearch_Click(5);  // first, on the first
    w->cmdSearch_Click(6);  // previous, on the first
    EXPECT_EQ(writes.count(), 0);
    EXPECT_EQ(w->txtSearch[7]->text(), "1/3");
    w->cmdSearch_Click(7);
    EXPECT_EQ(w->txtData[0]->Text(), "r2");
    EXPECT_EQ(w->txtSearch[7]->text(), "2/3");
    w->cmdSearch_Click(8);
    EXPECT_EQ(w->txtData[0]->Text(), "r3");
    writes.clear();
    w->cmdSearch_Click(7);  // next, on the last
    w->cmdSearch_Click(8);
    EXPECT_EQ(writes.count(), 0);
    EXPECT_EQ(w->txtSearch[7]->text(), "3/3");
    w->cmdSearch_Click(6);
    EXPECT_EQ(w->txtData[0]->Text(), "r2");
    w->cmdSearch_Click(5);
    EXPECT_EQ(w->txtSearch[7]->text(), "1/3");
    EXPECT_FALSE(w->edited());
    EXPECT_TRUE(boxes->shown().empty());
}

// The same buttons as above, clicked as a user does, so a lost connection fails here.
TEST_F(SearchWindowTest, EveryButtonFoundByNameAnswersAMouseClick) {
    addSet(1, "a");
    addSet(2, "b");
    for (int id = 1; id <= 3; ++id)
        addRecord(id, 1, QStringLiteral("r%1").arg(id), QStringLiteral("2024/01/0%1").arg(id));
    open();
    const auto click = [this](int index) {
        auto* button = w->findChild<QPushButton*>(QStringLiteral("cmdSearch(%1)").arg(index));
        ASSERT_NE(button, nullptr) << index;
        ASSERT_TRUE(button->isEnabled()) << index;
        QTest::mouseClick(button, Qt::LeftButton);
    };
    click(1);  // select all
    EXPECT_EQ(w->lstDatabase->selectedItems().size(), 2);
    click(2);  // invert
    EXPECT_TRUE(w->lstDatabase->selectedItems().isEmpty());
    choose({0});
    words("r");
    click(0);  // search
    EXPECT_EQ(gridColumn(1).size(), 3);
    click(4);  // detail
    EXPECT_TRUE(w->txtData[0]->isVisible());
    EXPECT_EQ(w->txtSearch[7]->text(), "1/3");
    click(8);  // last
    EXPECT_EQ(w->txtSearch[7]->text(), "3/3");
    click(6);  // previous
    EXPECT_EQ(w->txtSearch[7]->text(), "2/3");
    click(5);  // first
    EXPECT_EQ(w->txtSearch[7]->text(), "1/3");
    click(7);  // next
    EXPECT_EQ(w->txtData[0]->Text(), "r2");
    click(3);  // list
    EXPECT_TRUE(w->MSHFlexGrid1->isVisible());
    EXPECT_FALSE(w->txtData[0]->isVisible());
}

TEST_F(SearchWindowTest, AfterOneEditEveryLaterMoveWritesTheShownRecordBack) {
    addSet(1, "a");
    addSet(2, "b");
    addRecord(1, 1, "r1", "2024/01/01");
    addRecord(2, 1, "r2", "2024/01/02");
    addRecord(3, 2, "r3", "2024/01/03");
    open();
    choose({0, 1});
    words("r");
    search();
    w->cmdSearch_Click(4);
    w->txtData[0]->setFocus();
    QTest::keyClicks(w->txtData[0], "Z");
    EXPECT_TRUE(w->edited());
    EXPECT_TRUE(shell::mainModule().dataBaseList[2].changed);
    EXPECT_FALSE(shell::mainModule().dataBaseList[3].changed);
    w->cmdSearch_Click(7);
    EXPECT_EQ(field(1, "項目1"), "Zr1");
    EXPECT_TRUE(field(1, "項目1RTF").startsWith("{\\rtf1"));
    EXPECT_EQ(field(1, "登録日"), "2024/01/01");  // counters and dates stay

    // Record 2 is not edited, yet leaving it writes the boxes back over a change made meanwhile.
    execute("UPDATE データ SET 項目１ = 'elsewhere' WHERE ID = 2");
    w->cmdSearch_Click(7);
    EXPECT_EQ(field(2, "項目1"), "r2");
    EXPECT_FALSE(field(2, "項目1RTF").isEmpty());

    // On the last record: written back, the view stays there.
    w->txtData[1]->setText("三");
    EXPECT_TRUE(shell::mainModule().dataBaseList[3].changed);
    w->cmdSearch_Click(7);
    EXPECT_EQ(field(3, "項目2"), "三");
    EXPECT_EQ(w->txtSearch[7]->text(), "3/3");
    EXPECT_EQ(w->txtData[1]->Text(), "三");
    // The list shows what was written.
    w->cmdSearch_Click(3);
    EXPECT_EQ(w->MSHFlexGrid1->textMatrix(1, 1), "Zr1");
}

TEST_F(SearchWindowTest, DoubleClickShowsTheRowsRecordWithItsSetsNamesAndColours) {
    addSet(1, "a");
    addSet(2, "b");
    execute(
        "UPDATE データベース設定 SET 項目１名称 = '国名', 項目２名称 = '首都', 項目３名称 = "
        "'人口', "
        "項目１背景色 = 255, 項目２背景色 = 65280, 項目３背景色 = 16711680, コメント背景色 = "
        "8421504, "
        "出展背景色 = 12632256, 正解率閾値 = 80, 正解率以上背景色 = 65535, 正解率未満背景色 = "
        "16776960 "
        "WHERE dbID = 2");
    addRecord(1, 1, "x1", "2024/01/01");
    addRecord(2, 1, "x2", "2024/01/02");
    addRecord(7, 2, "x7", "2024/01/03");
    addRecord(8, 2, "x8", "2024/01/04");
    setRate(7, 80);
    setRate(8, 79.9f);
    open();
    choose({1, 0});
    words("x");
    search();
    doubleClickRow(3);
    EXPECT_TRUE(w->txtData[0]->isVisible());
    EXPECT_EQ(w->txtSearch[7]->text(), "3/4");
    EXPECT_EQ(w->txtData[0]->Text(), "x7");
    EXPECT_EQ(w->txtSearch[6]->text(), "b");
    EXPECT_EQ(w->txtSearch[1]->text(), "国名");
    EXPECT_EQ(w->txtSearch[2]->text(), "首都");
    EXPECT_EQ(w->txtSearch[3]->text(), "人口");
    EXPECT_EQ(w->txtData[0]->BackColor(), ui::qColorFromBgr(255));
    EXPECT_EQ(w->txtData[1]->BackColor(), ui::qColorFromBgr(65280));
    EXPECT_EQ(w->txtData[2]->BackColor(), ui::qColorFromBgr(16711680));
    EXPECT_EQ(w->txtData[3]->BackColor(), ui::qColorFromBgr(8421504));
    EXPECT_EQ(w->txtData[4]->BackColor(), ui::qColorFromBgr(12632256));
    // The rate equals the threshold: the at-or-above colour.
    EXPECT_EQ(w->txtSearch[4]->text(), "80.0");
    EXPECT_EQ(base(w->txtSearch[4]), ui::qColorFromBgr(65535));
    EXPECT_EQ(testing_support::backgroundOf(w->txtSearch[4]), ui::qColorFromBgr(65535));
    w->cmdSearch_Click(7);
    EXPECT_EQ(w->txtSearch[4]->text(), "79.9");
    EXPECT_EQ(base(w->txtSearch[4]), ui::qColorFromBgr(16776960));
    EXPECT_EQ(testing_support::backgroundOf(w->txtSearch[4]), ui::qColorFromBgr(16776960));
    // Back to the list and to a row of the other set: its own names and colours.
    w->cmdSearch_Click(3);
    doubleClickRow(1);
    EXPECT_EQ(w->txtSearch[7]->text(), "1/4");
    EXPECT_EQ(w->txtSearch[1]->text(), "単語");
    EXPECT_EQ(w->txtData[0]->BackColor(), ui::qColorFromBgr(0xFFFFFF));
    EXPECT_FALSE(w->edited());  // showing is no edit
}

TEST_F(SearchWindowTest, ClosingAfterEditsRefreshesTheOpenRecordWindows) {
    addSet(1, "a");
    addSet(2, "b");
    addRecord(1, 1, "x1");
    addRecord(2, 2, "x2");
    frmMDIChild* child = openSet(1);
    ASSERT_EQ(child->txtData[0]->Text(), "x1");
    open();
    choose({0, 1});
    words("x");
    search();
    w->cmdSearch_Click(4);
    w->txtData[0]->setText("書き換え");
    QTest::keyClick(w.get(), Qt::Key_Escape);  // no cancel button: Esc keeps the window
    EXPECT_TRUE(w->isVisible());
    w->close();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(field(1, "項目1"), "書き換え");
    EXPECT_EQ(child->txtData[0]->Text(), "書き換え");
    EXPECT_EQ(w->resultSet(), nullptr);
}

TEST_F(SearchWindowTest, EditsSurviveTheListViewANewSearchAndADoubleClick) {
    addSet(1, "a");
    addRecord(1, 1, "x1", "2024/01/01");
    addRecord(2, 1, "x2", "2024/01/02");
    addRecord(3, 1, "y3", "2024/01/03");
    open();
    choose({0});
    words("x");
    search();
    w->cmdSearch_Click(4);
    w->txtData[0]->setText("one");
    w->cmdSearch_Click(3);
    w->cmdSearch_Click(4);  // the list and back: the edit is not thrown away
    EXPECT_EQ(w->txtData[0]->Text(), "one");
    EXPECT_EQ(field(1, "項目1"), "one");

    w->txtData[0]->setText("two");
    w->cmdSearch_Click(3);
    doubleClickRow(2);  // another row: the shown record is written first
    EXPECT_EQ(field(1, "項目1"), "two");
    EXPECT_EQ(w->txtData[0]->Text(), "x2");
    EXPECT_EQ(field(2, "項目1"), "x2");

    w->txtData[0]->setText("three");
    words("y");
    search();  // a new search keeps the edit...
    EXPECT_EQ(field(2, "項目1"), "three");
    w->close();  // ...and closing never puts the old boxes into the new result's record
    EXPECT_EQ(field(3, "項目1"), "y3");
    EXPECT_EQ(field(3, "項目1RTF"), "");
}

TEST_F(SearchWindowTest, AStatementTheEngineRefusesLeavesNoResult) {
    addSet(1, "a");
    addRecord(1, 1, "x");
    open();
    choose({0});
    words("x");
    search();
    words(" ,　");  // no words at all
    search();
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].title, "KENVORA");
    EXPECT_FALSE(boxes->shown()[0].text.isEmpty());
    EXPECT_EQ(w->resultSet(), nullptr);
    EXPECT_EQ(w->txtSearch[7]->text(), "");
    EXPECT_FALSE(w->cmdSearch[4]->isEnabled());
    w->MSHFlexGrid1_DblClick();  // nothing to show
    w->close();
    EXPECT_EQ(boxes->shown().size(), 1u);
}

TEST_F(SearchWindowTest, ShrinkingBelowTheSmallestSizeSnapsBack) {
    open();
    w->resize(300, 200);
    QApplication::processEvents();
    EXPECT_EQ(w->size(), QSize(ui::px(9450), ui::px(8415)));
    w->resize(ui::px(9450 + 300), ui::px(8415 + 900));
    QApplication::processEvents();
    EXPECT_EQ(w->MSHFlexGrid1->colWidth(1), 2262 + 100);
    EXPECT_EQ(w->MSHFlexGrid1->geometry(),
              ui::toPixels({120, 1680, 9570 + 300 - 315, 8820 + 900 + 6375 - 8500}));
    EXPECT_EQ(w->txtData[3]->geometry().top(), ui::px(8415 + 900 - 1410));
}

}  // namespace

namespace {

// Typed bounds are used as typed: the rate list holds 55 and 100, which inline completion
// turned "5" and "10" into.
TEST_F(SearchWindowTest, TypedRateBoundsAreNotCompleted) {
    addSet(1, "a");
    addRecord(1, 1, "1", "2024/01/01");
    addRecord(2, 1, "2", "2024/01/02");
    setRate(1, 7.5);
    setRate(2, 75);
    open();
    choose({0});
    QTest::mouseClick(w->chkJustAnswerRate, Qt::LeftButton);
    QApplication::setActiveWindow(w.get());
    QLineEdit* edit = w->cmbPoints->lineEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "5");
    EXPECT_EQ(w->cmbPoints->currentText(), "5");
    search();
    EXPECT_EQ(gridColumn(1), (QStringList{"1", "2"}));
    edit->selectAll();
    QTest::keyClicks(edit, "10");
    EXPECT_EQ(w->cmbPoints->currentText(), "10");
    QLineEdit* year = w->cmbRecordDay[0]->lineEdit();
    year->setFocus();
    year->selectAll();
    QTest::keyClicks(year, "2");
    EXPECT_EQ(w->cmbRecordDay[0]->currentText(), "2");
}

}  // namespace

namespace {

TEST_F(SearchWindowTest, GridHeadersAreNotCutOff) {
    const QFont before = QApplication::font();
    QApplication::setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));  // as the program runs
    addSet(1, "a");
    open();
    w->show();
    EXPECT_EQ(testing_support::clippedHeaderCaptions(w->MSHFlexGrid1), QStringList());
    w.reset();
    QApplication::setFont(before);
}

}  // namespace

namespace {

// Picks the next entry of a combo found by name with the arrow key, as a user does.
QComboBox* pickNext(QWidget* window, const QString& name, int fromIndex) {
    auto* combo = window->findChild<QComboBox*>(name);
    if (!combo) return nullptr;
    combo->setCurrentIndex(fromIndex);
    QTest::keyClick(combo, Qt::Key_Down);
    return combo;
}

// Each date combo checks its group when the user picks from it; a lost connection fails.
TEST_F(SearchWindowTest, PickingFromEachDateComboChecksItsGroup) {
    addSet(1, "a");
    open();
    struct Pick {
        int combo;
        int from;        // the entry before the picked one
        QString picked;  // the group then reads picked into a date that does not exist
        QString message;
    };
    const Pick picks[6] = {{0, 0, "2001", "開始日の設定が不正です。"},  // 2001/2/29
                           {1, 0, "2", "開始日の設定が不正です。"},     // 2000/2/30
                           {2, 28, "30", "開始日の設定が不正です。"},   // 2000/2/30
                           {3, 0, "2001", "終了日の設定が不正です。"},
                           {4, 0, "2", "終了日の設定が不正です。"},
                           {5, 28, "30", "終了日の設定が不正です。"}};
    for (const Pick& p : picks) {
        const int first = p.combo < 3 ? 0 : 3;
        w->cmbRecordDay[first]->setEditText("2000");
        w->cmbRecordDay[first + 1]->setEditText("2");
        w->cmbRecordDay[first + 2]->setEditText(p.combo == first ? "29" : "30");
        boxes->clearShown();
        QComboBox* combo =
            pickNext(w.get(), QStringLiteral("cmbRecordDay(%1)").arg(p.combo), p.from);
        ASSERT_NE(combo, nullptr) << p.combo;
        EXPECT_EQ(combo->currentText(), p.picked) << p.combo;
        ASSERT_EQ(boxes->shown().size(), 1u) << p.combo;
        EXPECT_EQ(boxes->shown()[0].text, p.message) << p.combo;
        EXPECT_EQ(combo->currentText(), p.picked);  // the pick stays
        // A pick that makes a real date says nothing.
        w->cmbRecordDay[first + 2]->setEditText("1");
        pickNext(w.get(), QStringLiteral("cmbRecordDay(%1)").arg(first + 1), 2);  // 4/1
        EXPECT_EQ(boxes->shown().size(), 1u) << p.combo;
    }
}

// The conditions set as a user sets them, every control found by its name, then searched.
TEST_F(SearchWindowTest, TheConditionControlsFoundByNameAnswerTheUser) {
    addSet(1, "a");
    addSet(2, "b");
    addRecord(1, 1, "x low", "2024/01/01");
    addRecord(2, 1, "x high", "2024/01/02");
    addRecord(3, 1, "y low", "2024/01/03");
    addRecord(4, 2, "x other set", "2024/01/04");
    setRate(1, 10);
    setRate(2, 90);
    setRate(3, 10);
    setRate(4, 10);
    open();
    QApplication::setActiveWindow(w.get());
    const auto find = [this](const char* name) {
        auto* widget = w->findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    };
    QTest::mouseClick(find("chkWord"), Qt::LeftButton);
    QTest::keyClicks(find("txtSearch(0)"), "x");
    EXPECT_FALSE(w->cmdSearch[0]->isEnabled());  // no set chosen yet
    auto* list = static_cast<QListWidget*>(find("lstDatabase"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(w->lstDatabase->selectedItems().size(), 1);
    EXPECT_TRUE(w->cmdSearch[0]->isEnabled());
    QTest::mouseClick(find("chkJustAnswerRate"), Qt::LeftButton);
    QTest::mouseClick(find("optPoint(1)"), Qt::LeftButton);
    pickNext(w.get(), "cmbPoints", 16);  // 20, then 15
    EXPECT_EQ(w->cmbPoints->currentText(), "15");
    QTest::mouseClick(find("chkRecordDay"), Qt::LeftButton);
    w->cmbRecordDay[1]->setEditText("12");
    w->cmbRecordDay[2]->setEditText("31");
    pickNext(w.get(), "cmbRecordDay(0)", 23);  // 2024
    QTest::mouseClick(find("cmdSearch(0)"), Qt::LeftButton);
    EXPECT_TRUE(boxes->shown().empty());
    // Set a, "x", rate at or below 15, registered from 2024/12/31 to today: nothing.
    EXPECT_EQ(w->txtSearch[7]->text(), "");
    w->cmbRecordDay[1]->setEditText("1");
    w->cmbRecordDay[2]->setEditText("1");
    QTest::mouseClick(find("cmdSearch(0)"), Qt::LeftButton);
    EXPECT_EQ(gridColumn(1), QStringList{"x low"});
    QTest::mouseClick(find("optPoint(0)"), Qt::LeftButton);
    QTest::mouseClick(find("cmdSearch(0)"), Qt::LeftButton);
    EXPECT_EQ(gridColumn(1), QStringList{"x high"});
}

}  // namespace
