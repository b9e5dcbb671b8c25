// Every window as a screen reader's user meets it: each control they can reach has a name,
// check boxes answer the accessible toggle as they answer a click, and the focus never rests
// on the out-of-sight box that buttons park it on.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "ShellFixture.h"
#include "about/frmAbout.h"
#include "common/Accessibility.h"
#include "drill/frmJustAnswerRate.h"
#include "drill/frmTest.h"
#include "maintenance/frmdbErr.h"
#include "options/BackUpPage.h"
#include "options/DisplayPage.h"
#include "options/FolderLists.h"
#include "options/frmOption.h"
#include "platform/dao/Database.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/ui/TabStrip.h"
#include "records/RecordWindows.h"
#include "records/frmDrop.h"
#include "records/frmMDIChild.h"
#include "search/frmSearch.h"
#include "sets/frmNewDataBase.h"
#include "shell/MainModule.h"

namespace {

using testing_support::spokenName;
using testing_support::unnamedControls;

class WindowAccessibilityTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        addSet(1, QStringLiteral("英単語"));
        addSet(2, QStringLiteral("歴史"));
        // The display settings a set made by the program has.
        auto db = openFile();
        db->Execute(QStringLiteral(
            "UPDATE データベース設定 SET 正解率閾値 = 0, 項目1背景色 = 16777215, 項目2背景色 = "
            "16777215, 項目3背景色 = 16777215, コメント背景色 = 16777215, 出展背景色 = 16777215, "
            "正解率以上背景色 = 16777215, 正解率未満背景色 = 16777215, 項目1使用 = True, "
            "項目2使用 = True, 項目3使用 = True, コメント使用 = True, 出展使用 = True, 区切り12 = "
            "'：,＝', 区切り23 = '、'"));
        db->Close();
        ASSERT_EQ(start(), shell::StartUpOutcome::Running);
        records::setRecordWindowArea(mdi()->MDIClient);
    }
    void TearDown() override {
        records::setRecordWindowArea(nullptr);
        ShellFixture::TearDown();
    }
    frmMDIChild* openRecordWindow() {
        records::OpenDataBaseFromMenu(1, QStringLiteral("英単語"));
        QApplication::processEvents();
        for (int slot = 0; slot < static_cast<int>(shell::mainModule().childSettings.size());
             ++slot)
            if (shell::mainModule().childSettings[slot].dbID == 1)
                return records::windowOfSlot(slot);
        return nullptr;
    }
    void expectAllNamed(QWidget* window, const char* what) {
        window->show();
        QApplication::processEvents();
        EXPECT_EQ(unnamedControls(window), QStringList()) << what;
        EXPECT_FALSE(testing_support::interactiveControls(window).isEmpty()) << what;
    }
};

TEST_F(WindowAccessibilityTest, EveryReachableControlOfEveryWindowHasAName) {
    frmMDIChild* record = openRecordWindow();
    ASSERT_NE(record, nullptr);
    expectAllNamed(record, "record window");
    expectAllNamed(mdi(), "main window with a record window");

    frmDrop drop;
    drop.prepare();
    expectAllNamed(&drop, "drop window");

    frmSearch search(mdi());
    expectAllNamed(&search, "search window, detail view");
    search.SetSearchViewMode(true);
    expectAllNamed(&search, "search window, list view");

    frmTest test(mdi());
    expectAllNamed(&test, "test window");
    frmJustAnswerRate statistics(mdi());
    expectAllNamed(&statistics, "statistics window");

    frmOption options(mdi());
    options.Form_Load();
    for (int tab = 1; tab <= 4; ++tab) {
        options.TabStrip1->setSelectedIndex(tab);
        expectAllNamed(&options, qPrintable(QStringLiteral("options page %1").arg(tab)));
    }

    frmNewDataBase newSet(mdi());
    expectAllNamed(&newSet, "new set window");
    frmAbout about(mdi());
    expectAllNamed(&about, "about box");
    frmdbErr recovery(mdi());
    expectAllNamed(&recovery, "recovery dialog");
}

TEST_F(WindowAccessibilityTest, ValueCombosAreNamedByTheirCaptions) {
    frmTest test(mdi());
    test.show();
    EXPECT_EQ(spokenName(test.cmbRecordDay[0]), QStringLiteral("登録日 開始年"));
    EXPECT_EQ(spokenName(test.cmbRecordDay[5]), QStringLiteral("登録日 終了日"));
    EXPECT_EQ(spokenName(test.cmbPoints), QStringLiteral("正解率"));
    EXPECT_EQ(spokenName(test.txtItem[0]), QStringLiteral("データベース名"));
    EXPECT_EQ(spokenName(test.txtItem[2]), QStringLiteral("項目２の名称"));
    EXPECT_EQ(spokenName(test.txtItem[4]), QStringLiteral("正解率（%）"));
    EXPECT_EQ(spokenName(test.txtItem[6]), QStringLiteral("問題数"));
    frmMDIChild* record = openRecordWindow();
    ASSERT_FALSE(record->cmbSplit[1]->currentText().isEmpty());
    EXPECT_EQ(spokenName(record->cmbSplit[1]), QStringLiteral("区切り文字2"));
    frmOption options(mdi());
    options.Form_Load();
    EXPECT_EQ(spokenName(options.fraMente->cmbSchedule[1]), QStringLiteral("時"));
    EXPECT_EQ(spokenName(options.fraMente->drvBackUp), QStringLiteral("ドライブ"));
    EXPECT_EQ(spokenName(options.fraDisplay->cmbDataBaseName),
              QStringLiteral("設定するデータベース名"));
}

// The enabled and checked state of every button of a window.
QStringList buttonStates(QWidget* window) {
    QStringList states;
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        states << QStringLiteral("%1 %2 %3")
                      .arg(b->objectName())
                      .arg(b->isEnabled() ? "enabled" : "disabled")
                      .arg(b->isChecked() ? "checked" : "-");
    return states;
}

enum class Toggle { Click, AccessibleAction, SetChecked };

void toggle(QCheckBox* box, Toggle how) {
    switch (how) {
        case Toggle::Click:
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
            break;
        case Toggle::AccessibleAction: {
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(box);
            ASSERT_TRUE(iface->actionInterface());
            iface->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            break;
        }
        case Toggle::SetChecked:
            box->setChecked(!box->isChecked());
            break;
    }
}

// Opens a fresh window with `make` for each way of toggling the box that `pick` finds, and
// expects the same buttons' states and message boxes after each.
template <typename Make, typename Pick>
void expectToggleLikeClick(const Make& make, const Pick& pick, const ui::ScriptedDialogs& boxes,
                           const QString& what) {
    QStringList results[3];
    for (Toggle how : {Toggle::Click, Toggle::AccessibleAction, Toggle::SetChecked}) {
        auto window = make();
        window->show();
        QCheckBox* box = pick(*window);
        const int shownBefore = static_cast<int>(boxes.shown().size());
        const bool before = box->isChecked();
        toggle(box, how);
        QStringList r = buttonStates(window.get());
        r << QStringLiteral("changed %1").arg(box->isChecked() != before);
        r << QStringLiteral("new boxes %1").arg(boxes.shown().size() - shownBefore);
        results[static_cast<int>(how)] = r;
    }
    EXPECT_EQ(results[1], results[0]) << qPrintable(what) << ": accessible toggle";
    EXPECT_EQ(results[2], results[0]) << qPrintable(what) << ": setChecked";
}

TEST_F(WindowAccessibilityTest, TestWindowCheckBoxesAnswerToggleAsClick) {
    const auto make = [this] {
        auto w = std::make_unique<frmTest>(mdi());
        w->lstDatabase->item(0)->setSelected(true);
        return w;
    };
    for (int i : {0, 1, 2, 5, 6, 8})
        expectToggleLikeClick(
            make, [i](frmTest& w) { return w.chkTest[i]; }, *boxes,
            QStringLiteral("chkTest(%1)").arg(i));

    // A set chosen and the rate condition toggled by a screen reader enables 出　題.
    auto w = make();
    w->show();
    ASSERT_FALSE(w->cmdTest[0]->isEnabled());
    toggle(w->chkTest[0], Toggle::AccessibleAction);
    EXPECT_TRUE(w->cmdTest[0]->isEnabled());
    toggle(w->chkTest[6], Toggle::AccessibleAction);
    EXPECT_TRUE(w->chkTest[7]->isEnabled());
    EXPECT_FALSE(w->optPoint[2]->isEnabled());
}

TEST_F(WindowAccessibilityTest, OptionCheckBoxesAnswerToggleAsClick) {
    const auto display = [this] {
        auto d = std::make_unique<frmOption>(mdi());
        d->Form_Load();
        d->TabStrip1->setSelectedIndex(2);
        d->fraDisplay->cmbDataBaseName->setEditText(QStringLiteral("英単語"));
        d->fraDisplay->cmbDataBaseName_Click();
        return d;
    };
    const auto backUp = [this] {
        auto d = std::make_unique<frmOption>(mdi());
        d->Form_Load();
        d->TabStrip1->setSelectedIndex(3);
        return d;
    };
    expectToggleLikeClick(
        backUp, [](frmOption& d) { return d.fraMente->chkNoAction; }, *boxes, "chkNoAction");
    expectToggleLikeClick(
        backUp, [](frmOption& d) { return d.fraMente->chkBackUpDel; }, *boxes, "chkBackUpDel");
    for (int i = 0; i < 5; ++i)
        expectToggleLikeClick(
            display, [i](frmOption& d) { return d.fraDisplay->chkDisp[i]; }, *boxes,
            QStringLiteral("chkDisp(%1)").arg(i));
    // A use box or the schedule box toggled by a screen reader enables its page's 適用.
    auto shown = display();
    shown->show();
    ASSERT_FALSE(shown->cmdApplication[1]->isEnabled());
    toggle(shown->fraDisplay->chkDisp[2], Toggle::AccessibleAction);
    EXPECT_TRUE(shown->cmdApplication[1]->isEnabled());
    auto page = backUp();
    page->show();
    ASSERT_FALSE(page->cmdApplication[2]->isEnabled());
    toggle(page->fraMente->chkNoAction, Toggle::AccessibleAction);
    EXPECT_TRUE(page->cmdApplication[2]->isEnabled());

    // With no set chosen a toggle is undone with the same message as a click, and filling
    // the page for a set shows none.
    const int shownBefore = static_cast<int>(boxes->shown().size());
    auto d = std::make_unique<frmOption>(mdi());
    d->Form_Load();
    d->TabStrip1->setSelectedIndex(2);
    d->show();
    toggle(d->fraDisplay->chkDisp[0], Toggle::AccessibleAction);
    EXPECT_FALSE(d->fraDisplay->chkDisp[0]->isChecked());
    ASSERT_EQ(static_cast<int>(boxes->shown().size()), shownBefore + 1);
    EXPECT_EQ(boxes->shown().back().text, QStringLiteral("データベースを選択してください。"));
    d->fraDisplay->cmbDataBaseName->setEditText(QStringLiteral("英単語"));
    d->fraDisplay->cmbDataBaseName_Click();
    d->fraDisplay->cmbDataBaseName->setEditText(QStringLiteral("歴史"));
    d->fraDisplay->cmbDataBaseName_Click();
    EXPECT_EQ(static_cast<int>(boxes->shown().size()), shownBefore + 1);
    EXPECT_FALSE(d->cmdApplication[1]->isEnabled());
}

// The focus after each navigation button pressed from the keyboard, and where Tab goes.
TEST_F(WindowAccessibilityTest, FocusStaysOnPressedButtonsAndTabSkipsTheSinks) {
    frmMDIChild* record = openRecordWindow();
    ASSERT_NE(record, nullptr);
    mdi()->show();
    QApplication::setActiveWindow(mdi());
    for (QPushButton* b : {record->cmdStartRecord, record->cmdBack, record->cmdNext,
                           record->cmdEndRecord, record->cmdSplit[0]}) {
        b->setFocus();
        QTest::keyClick(b, Qt::Key_Space);
        EXPECT_TRUE(b->hasFocus()) << qPrintable(b->objectName());
        EXPECT_FALSE(record->txtTruAns->hasFocus());
    }
    // A full round of Tab from item 1 never lands on the sink or a display box.
    record->txtData[0]->setFocus();
    for (int i = 0; i < 30; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* at = QApplication::focusWidget();
        ASSERT_NE(at, nullptr);
        EXPECT_NE(at, record->txtTruAns);
        EXPECT_NE(at, record->txtPonit);
        EXPECT_NE(at, record->txtItem[0]);
    }

    frmTest test(mdi());
    test.show();
    QApplication::setActiveWindow(&test);
    test.lstDatabase->item(0)->setSelected(true);
    test.cmdTest[1]->setFocus();
    QTest::keyClick(test.cmdTest[1], Qt::Key_Space);
    EXPECT_TRUE(test.cmdTest[1]->hasFocus());
    // A click parks the focus out of sight as before.
    test.lstDatabase->setFocus();
    QTest::mouseClick(test.cmdTest[2], Qt::LeftButton);
    EXPECT_TRUE(test.Text1->hasFocus());
    for (int i = 0; i < 40; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), test.Text1);
        EXPECT_NE(QApplication::focusWidget(), test.txtItem[4]);
    }

    // 一覧 disables itself: the focus goes to 詳細, which takes over, not out of sight.
    frmSearch search(mdi());
    search.show();
    QApplication::setActiveWindow(&search);
    search.SetSearchViewMode(false);
    search.cmdSearch[3]->setFocus();
    QTest::keyClick(search.cmdSearch[3], Qt::Key_Space);
    EXPECT_FALSE(search.cmdSearch[3]->isEnabled());
    EXPECT_TRUE(search.cmdSearch[4]->hasFocus());
}

}  // namespace
