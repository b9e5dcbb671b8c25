// Splitting at delimiters and deleting at the caret, with formatting kept.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "platform/richtext/RichTextBox.h"
#include "records/RecordWindowFixture.h"
#include "records/RecordWindows.h"
#include "records/frmMDIChild.h"

namespace {

TEST_F(RecordWindowTest, SplitsAtTheFirstDelimiterIntoTheNextBox) {
    addSet(1, "a", "：", "、");
    frmMDIChild* w = openSet(1);
    w->txtData[0]->setText("apple：りんご：林檎");
    w->cmdSplit_Click(0);
    EXPECT_EQ(w->txtData[0]->Text(), "apple");
    EXPECT_EQ(w->txtData[1]->Text(), "りんご：林檎");

    w->txtData[0]->setText("pear：なし");
    w->txtData[1]->setText("x");
    auto* split = w->findChild<QPushButton*>("cmdSplit(0)");
    ASSERT_NE(split, nullptr);
    QTest::mouseClick(split, Qt::LeftButton);  // the button the user presses
    EXPECT_EQ(w->txtData[0]->Text(), "pear");
    EXPECT_EQ(w->txtData[1]->Text(), "なしx");

    w->txtData[0]->setText("：at start");
    w->txtData[1]->setText("");
    w->cmdSplit_Click(0);
    EXPECT_EQ(w->txtData[0]->Text(), "");
    EXPECT_EQ(w->txtData[1]->Text(), "at start");

    w->txtData[0]->setText("no delimiter");
    w->cmdSplit_Click(0);
    EXPECT_EQ(boxes->shown().back().title, "区切り文字サーチ");
    EXPECT_EQ(boxes->shown().back().text, "区切り文字が見つかりません。");
    EXPECT_EQ(w->txtData[0]->Text(), "no delimiter");
}

TEST_F(RecordWindowTest, SplitKeepsTheFormattingOfHeadTailAndTarget) {
    addSet(1, "a", "--", "、");
    frmMDIChild* w = openSet(1);
    auto* s = w->txtData[0];
    auto* t = w->txtData[1];
    s->setText("boldhead--italictail");
    s->setSelStart(0);
    s->setSelLength(8);
    s->setSelBold(true);
    s->setSelStart(10);
    s->setSelLength(10);
    s->setSelItalic(true);
    t->setText("old");
    t->setSelStart(0);
    t->setSelLength(3);
    t->setSelUnderline(true);
    w->cmdSplit_Click(0);
    EXPECT_EQ(s->Text(), "boldhead");
    EXPECT_EQ(t->Text(), "italictailold");
    s->setSelStart(0);
    s->setSelLength(8);
    EXPECT_EQ(s->SelBold(), std::optional<bool>(true));
    t->setSelStart(0);
    t->setSelLength(10);
    EXPECT_EQ(t->SelItalic(), std::optional<bool>(true));
    EXPECT_EQ(t->SelUnderline(), std::optional<bool>(false));
    t->setSelStart(10);
    t->setSelLength(3);
    EXPECT_EQ(t->SelUnderline(), std::optional<bool>(true));
}

TEST_F(RecordWindowTest, TheNoSplitMarkerAndTheCommaEntry) {
    addSet(1, "a", "^@,：", ",、");
    frmMDIChild* w = openSet(1);
    EXPECT_EQ(w->cmbSplit[0]->itemText(0), "（^@:区切り処理しない）");
    EXPECT_EQ(w->cmbSplit[0]->property("Tag").toString(), "0");
    w->txtData[0]->setText("a：b");
    w->cmdSplit_Click(0);
    EXPECT_EQ(w->txtData[0]->Text(), "a：b");  // the marker is current: nothing happens
    EXPECT_EQ(w->cmbSplit[1]->itemText(0), ",");
    w->txtData[1]->setText("x,y");
    w->cmdSplit_Click(1);
    EXPECT_EQ(w->txtData[1]->Text(), "x");
    EXPECT_EQ(w->txtData[2]->Text(), "y");
}

TEST_F(RecordWindowTest, DeleteAtTheCaret) {
    addSet(1, "a");
    frmMDIChild* w = openSet(1);
    auto* box = w->txtData[0];
    box->setText("abc");
    box->setSelStart(3);
    records::DeleteAtCursor(box);
    EXPECT_EQ(box->Text(), "abc");  // at the end: nothing after the caret
    box->setSelStart(1);
    records::DeleteAtCursor(box);
    EXPECT_EQ(box->Text(), "ac");
    box->setSelStart(0);
    box->setSelLength(2);
    records::DeleteAtCursor(box);
    EXPECT_EQ(box->Text(), "");
    box->setText("x\ny");
    box->setSelStart(1);
    records::DeleteAtCursor(box);  // the line break
    EXPECT_EQ(box->Text(), "xy");
    // The menu acts only in the five rich boxes.
    w->txtItem[0]->setFocus();
    w->mnuDelete_Click();
    EXPECT_EQ(box->Text(), "xy");
}

}  // namespace
