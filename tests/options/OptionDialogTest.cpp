#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "options/BackUpPage.h"
#include "options/DisplayPage.h"
#include "options/FilePage.h"
#include "options/FolderLists.h"
#include "options/FolderPicker.h"
#include "options/RenamePage.h"
#include "options/frmOption.h"
#include "platform/dao/Database.h"
#include "platform/dao/Recordset.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/ui/Color.h"
#include "platform/ui/TabStrip.h"
#include "records/RecordWindowFixture.h"
#include "records/frmMDIChild.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"
#include "shell/UserSettings.h"

namespace {

class OptionDialogTest : public RecordWindowTest {
protected:
    void SetUp() override {
        RecordWindowTest::SetUp();
        addSet(1, "英単語");
        addSet(2, "歴史");
    }
    // The dialog as the options command opens it, with one set chosen on a page.
    std::unique_ptr<frmOption> open() {
        auto dialog = std::make_unique<frmOption>(main.get());
        dialog->Form_Load();
        return dialog;
    }
    void choose(frmOption& d, int combo, const QString& name) {
        if (combo == 0) {
            d.fraPartition->cmbDataBaseName->setEditText(name);
            d.fraPartition->cmbDataBaseName_Click();
        } else {
            d.fraDisplay->cmbDataBaseName->setEditText(name);
            d.fraDisplay->cmbDataBaseName_Click();
        }
    }
    QString row(int dbID, const QString& column) {
        auto rs = shell::mainModule().database->OpenRecordset(
            QStringLiteral("select * from データベース設定 where dbID = %1").arg(dbID));
        return rs->value(column).displayText();
    }
    QString backUpRow(const QString& column) {
        auto rs = shell::mainModule().database->OpenRecordset(
            QStringLiteral("select * from バックアップ設定"));
        return rs->value(column).displayText();
    }
};

TEST_F(OptionDialogTest, StartsCleanOnTheFirstPageWithEveryComboOnThePrompt) {
    auto d = open();
    EXPECT_EQ(d->windowTitle(), "オプション設定");
    EXPECT_EQ(d->currentTab(), 1);
    EXPECT_FALSE(d->fraPartition->isHidden());
    EXPECT_TRUE(d->fraDisplay->isHidden());
    for (QComboBox* c : {d->fraPartition->cmbDataBaseName, d->fraDisplay->cmbDataBaseName}) {
        EXPECT_EQ(c->currentText(), options::choosePrompt());
        ASSERT_EQ(c->count(), 2);
        EXPECT_EQ(c->itemText(1), "歴史");
    }
    for (QPushButton* b : d->cmdApplication) EXPECT_FALSE(b->isEnabled());
    EXPECT_EQ(d->fraDisplay->cmbPointUpper->count(), 21);
    d->TabStrip1->setSelectedIndex(3);
    EXPECT_EQ(d->currentTab(), 3);
    EXPECT_FALSE(d->fraMente->isHidden());
    EXPECT_TRUE(d->fraPartition->isHidden());
    EXPECT_TRUE(boxes->shown().empty());
}

TEST_F(OptionDialogTest, RenameChecksDuplicatesAndLengthAndKeepsOwnName) {
    auto d = open();
    choose(*d, 0, "英単語");
    EXPECT_EQ(d->fraPartition->newDataBaseText(1), "単語");
    EXPECT_FALSE(d->renameDirty());

    d->fraPartition->setNewDataBaseText(0, "歴史");  // another set's name
    EXPECT_TRUE(d->renameDirty());
    EXPECT_TRUE(d->cmdApplication[0]->isEnabled());
    d->cmdApplication_Click(0);
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].title, "データベース");
    EXPECT_EQ(row(1, "データベース名"), "英単語");
    EXPECT_TRUE(d->cmdApplication[0]->isEnabled());

    d->fraPartition->setNewDataBaseText(0, QString(26, QChar(0x3042)));  // 52 bytes in cp932
    d->cmdApplication_Click(0);
    EXPECT_EQ(boxes->shown().size(), 2u);
    EXPECT_EQ(row(1, "データベース名"), "英単語");

    // Its own name is no duplicate; the other boxes are written.
    d->fraPartition->setNewDataBaseText(0, "英単語");
    d->fraPartition->setNewDataBaseText(1, "見出し語");
    d->cmdApplication_Click(0);
    EXPECT_EQ(boxes->shown().size(), 2u);
    EXPECT_EQ(row(1, "項目1名称"), "見出し語");
    EXPECT_FALSE(d->renameDirty());
}

TEST_F(OptionDialogTest, RenameReachesTheListTheCombosAndTheOpenWindow) {
    addRecord(1, 1, "apple");
    frmMDIChild* w = openSet(1);
    auto d = open();
    choose(*d, 1, "英単語");
    choose(*d, 0, "英単語");
    d->fraPartition->setNewDataBaseText(0, "英単語帳");
    d->fraPartition->setNewDataBaseText(3, "発音");
    d->fraPartition->setNewDataBaseText(2, "：,^@,－,^@");
    d->fraPartition->setNewDataBaseText(4, "");  // the second list may be empty
    d->cmdApplication_Click(0);
    EXPECT_TRUE(boxes->shown().empty());

    EXPECT_EQ(row(1, "データベース名"), "英単語帳");
    EXPECT_EQ(row(1, "項目2名称"), "発音");
    EXPECT_EQ(row(1, "区切り12"), "：,^@,－");  // later "^@" pieces dropped
    EXPECT_EQ(d->fraPartition->newDataBaseText(2), "：,^@,－");
    EXPECT_EQ(shell::mainModule().dataBaseList[2].name, "英単語帳");
    EXPECT_EQ(d->fraPartition->cmbDataBaseName->currentText(), "英単語帳");
    EXPECT_EQ(d->fraDisplay->cmbDataBaseName->currentText(),
              "英単語帳");  // it showed the renamed set
    EXPECT_EQ(d->fraDisplay->cmbDataBaseName->itemText(0), "英単語帳");

    EXPECT_EQ(w->windowTitle(), "英単語帳");
    EXPECT_EQ(w->txtItem[1]->text(), "発音");
    ASSERT_EQ(w->cmbSplit[0]->count(), 3);
    EXPECT_EQ(w->cmbSplit[0]->itemText(1), "（^@:区切り処理しない）");
    EXPECT_EQ(row(1, "区切り23"), "");
    EXPECT_EQ(shell::mainModule().childSettings[0].name, "英単語帳");
}

TEST_F(OptionDialogTest, RenamingAnotherSetLeavesTheDisplayChoice) {
    auto d = open();
    choose(*d, 1, "歴史");
    choose(*d, 0, "英単語");
    d->fraPartition->setNewDataBaseText(0, "英語");
    d->cmdApplication_Click(0);
    EXPECT_EQ(d->fraDisplay->cmbDataBaseName->currentText(), "歴史");
    EXPECT_EQ(d->fraDisplay->cmbDataBaseName->itemText(0), "英語");
}

TEST_F(OptionDialogTest, ColoursThresholdAndUseFlagsAreWrittenAndShownInTheOpenWindow) {
    addRecord(1, 1, "apple", "2024/01/01", "10:00:00", 1, 2);  // rate 50
    frmMDIChild* w = openSet(1);
    auto d = open();
    choose(*d, 1, "英単語");
    EXPECT_EQ(d->fraDisplay->itemColor(0), 0xFFFFFFu);
    EXPECT_EQ(d->fraDisplay->itemColor(7), 0xC0C0C0u);  // never written: the default grey
    EXPECT_EQ(d->fraDisplay->chkDisp[2]->checkState(), Qt::Checked);
    EXPECT_FALSE(d->displayDirty());

    boxes->queueColor(0xFFFFFF);  // the same colour again
    d->fraDisplay->cmdColer_Click(0);
    EXPECT_FALSE(d->displayDirty());
    boxes->queueColor(0x0000FF);
    d->findChild<QPushButton*>("cmdColer(0)")->click();  // through the button's connection
    EXPECT_EQ(d->fraDisplay->itemColor(0), 0x0000FFu);
    EXPECT_TRUE(d->displayDirty());
    EXPECT_TRUE(d->cmdApplication[1]->isEnabled());
    d->fraDisplay->cmdColer_Click(7);  // cancelled: nothing changes
    EXPECT_EQ(d->fraDisplay->itemColor(7), 0xC0C0C0u);
    boxes->queueColor(0x00FF00);
    d->fraDisplay->cmdColer_Click(5);  // at or above the threshold
    d->fraDisplay->chkDisp[2]->click();
    d->fraDisplay->cmbPointUpper->setEditText("40");
    d->fraDisplay->cmbPointUpper_Click();
    d->cmdApplication_Click(1);
    EXPECT_FALSE(d->displayDirty());
    EXPECT_FALSE(d->cmdApplication[1]->isEnabled());

    EXPECT_EQ(row(1, "項目1背景色"), "255");
    EXPECT_EQ(row(1, "正解率以上背景色"), QString::number(0x00FF00));
    EXPECT_EQ(row(1, "文字隠用背景色"), QString::number(0xC0C0C0));
    EXPECT_EQ(row(1, "正解率閾値"), "40");
    EXPECT_EQ(row(1, "項目3使用"), "False");
    EXPECT_EQ(row(2, "項目1背景色"), QString::number(0xFFFFFF));

    const shell::ChildSettings& s = shell::mainModule().childSettings[0];
    EXPECT_EQ(s.settings.threshold, 40);
    EXPECT_FALSE(s.settings.use[shell::kItem3Box]);
    EXPECT_EQ(ui::bgrFromQColor(w->txtData[0]->BackColor()), 0x0000FFu);
    EXPECT_EQ(ui::bgrFromQColor(w->txtPonit->palette().color(QPalette::Base)), 0x00FF00u);
    EXPECT_TRUE(w->txtData[2]->isHidden());
    EXPECT_FALSE(w->txtData[3]->isHidden());
}

TEST_F(OptionDialogTest, ThresholdTrackingAndGuardsBeforeASetIsChosen) {
    auto d = open();
    d->fraDisplay->chkDisp[1]->click();
    EXPECT_EQ(d->fraDisplay->chkDisp[1]->checkState(), Qt::Unchecked);  // snapped back
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].text, "データベースを選択してください。");
    EXPECT_EQ(boxes->shown()[0].title, "表示設定");
    d->fraDisplay->cmdColer_Click(0);
    EXPECT_EQ(boxes->shown().size(), 2u);
    EXPECT_FALSE(d->displayDirty());

    choose(*d, 1, "英単語");
    d->fraDisplay->cmbPointUpper->setEditText("0");  // as loaded
    d->fraDisplay->cmbPointUpper_Click();
    EXPECT_FALSE(d->displayDirty());
    d->fraDisplay->cmbPointUpper->setEditText("85");  // typing alone is no change
    EXPECT_FALSE(d->displayDirty());
    d->fraDisplay->cmbPointUpper_Click();
    EXPECT_TRUE(d->displayDirty());

    choose(*d, 1, "ない");
    EXPECT_EQ(boxes->shown().back().text, "このデータベースは存在しません。");
    EXPECT_EQ(boxes->shown().back().title, "データベース名チェック");
}

TEST_F(OptionDialogTest, OkWithOnlyTheFilePageDirtySavesFile0WithoutItsSlash) {
    QTemporaryDir folder;
    auto d = open();
    d->fraFile->txtBackUpDir->setText(folder.path() + "/");
    EXPECT_TRUE(d->fileDirty());
    EXPECT_FALSE(d->menteDirty());
    QTest::mouseClick(d->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    EXPECT_EQ(shell::readFile0(), folder.path());
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].text, "この設定は次回起動時より有効になります。");
    EXPECT_EQ(boxes->shown()[0].title, "データベースファイル保存ディレクトリ");
    EXPECT_FALSE(d->isVisible());
    // Choosing a folder in the list is what fills the path box.
    auto d2 = open();
    d2->fraFile->dirBackUp->setPath(QDir::tempPath());
    EXPECT_EQ(d2->fraFile->txtBackUpDir->text(), QDir::tempPath());
    EXPECT_TRUE(d2->fileDirty());
}

TEST_F(OptionDialogTest, BackUpSettingsGoToTheRowAndTheSharedState) {
    QTemporaryDir folder;
    auto d = open();
    EXPECT_FALSE(d->menteDirty());
    d->fraMente->cmbSchedule[0]->setEditText("　　　毎日");
    d->fraMente->cmbSchedule[1]->setEditText("24");
    d->fraMente->cmbSchedule_Click(1);
    EXPECT_TRUE(d->menteDirty());
    const QString before = backUpRow("開始時");
    d->cmdApplication_Click(2);
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].text, "スケジュールの時間設定が正しくありません。");
    EXPECT_EQ(backUpRow("開始時"), before);
    EXPECT_TRUE(d->menteDirty());

    d->fraMente->cmbSchedule[0]->setEditText("毎週火曜日");
    d->fraMente->cmbSchedule[1]->setEditText("23");
    d->fraMente->cmbSchedule[2]->setEditText("55");
    d->fraMente->optArc[1]->setChecked(true);
    d->fraMente->chkNoAction->setChecked(true);
    d->fraMente->chkBackUpDel->setChecked(true);
    d->fraMente->txtBackUpDir->setText(folder.path() + "/");
    d->cmdApplication_Click(2);
    EXPECT_EQ(boxes->shown().size(), 1u);
    EXPECT_FALSE(d->menteDirty());

    EXPECT_EQ(backUpRow("パターン"), "毎週火曜日");
    EXPECT_EQ(backUpRow("開始時"), "23");
    EXPECT_EQ(backUpRow("開始分"), "55");
    EXPECT_EQ(backUpRow("実施"), "True");
    EXPECT_EQ(backUpRow("フォルダ"), folder.path());
    EXPECT_EQ(backUpRow("削除後"), "True");
    EXPECT_EQ(backUpRow("Lha"), "True");
    EXPECT_EQ(backUpRow("Zip"), "False");
    const shell::BackUpSettings& b = shell::mainModule().backUp;
    EXPECT_EQ(b.pattern, "毎週火曜日");
    EXPECT_EQ(b.hour, 23);
    EXPECT_EQ(b.minute, 55);
    EXPECT_TRUE(b.enabled && b.deleteBefore && b.lha && !b.zip && !b.cab);
    EXPECT_EQ(b.folder, folder.path());

    // Opened again, the page shows what was applied and is clean.
    auto again = open();
    EXPECT_TRUE(again->fraMente->optArc[1]->isChecked());
    EXPECT_EQ(again->fraMente->cmbSchedule[0]->currentText(), "毎週火曜日");
    EXPECT_EQ(again->fraMente->txtBackUpDir->text(), folder.path());
    EXPECT_FALSE(again->menteDirty());
    again->fraMente->optArc[1]->setChecked(true);  // the stored choice again
    EXPECT_FALSE(again->menteDirty());
    again->fraMente->optArc[0]->setChecked(true);
    EXPECT_TRUE(again->menteDirty());
}

TEST_F(OptionDialogTest, BackUpPageShowsTheDefaultFolderWhichKeepsFollowingTheDatabase) {
    shell::loadBackUpSettings();  // the supplied database names no folder
    const QString folder = file.folder() + "/backup";
    auto d = open();
    d->show();
    d->TabStrip1->setSelectedIndex(3);  // オフラインメンテナンス (tabs count from 1)
    ASSERT_FALSE(d->fraMente->isHidden());
    EXPECT_EQ(d->findChild<QLineEdit*>("txtBackUpDir(0)")->text(), folder);
    EXPECT_EQ(d->findChild<options::DirListBox*>("dirBackUp(0)")->path(), folder);
    EXPECT_TRUE(QDir(folder).exists());  // shown as the choice, so made
    EXPECT_TRUE(boxes->shown().empty());

    // Another change on the page, applied: the folder is still not stored, so it moves
    // with the database.
    auto* apply = d->findChild<QPushButton*>("cmdApplication(2)");
    QTest::mouseClick(d->findChild<QCheckBox*>("chkBackUpDel"), Qt::LeftButton);
    ASSERT_TRUE(apply->isEnabled());
    QTest::mouseClick(apply, Qt::LeftButton);
    EXPECT_EQ(backUpRow("削除後"), "True");
    {
        auto rs = shell::mainModule().database->OpenRecordset(
            QStringLiteral("select * from バックアップ設定"));
        EXPECT_TRUE(rs->value(QStringLiteral("フォルダ")).isNull());
    }
    EXPECT_TRUE(shell::mainModule().backUp.defaultFolder);
    EXPECT_EQ(shell::mainModule().backUp.folder, folder);

    // A folder the user picks is stored as it stands.
    QTemporaryDir other;
    d->fraMente->dirBackUp->setPath(other.path());
    QTest::mouseClick(apply, Qt::LeftButton);
    EXPECT_EQ(backUpRow("フォルダ"), other.path());
    EXPECT_FALSE(shell::mainModule().backUp.defaultFolder);
    EXPECT_EQ(shell::mainModule().backUp.folder, other.path());
}

// The user picks the database's own folder (by a link to it) with no compression and
// presses 適用: nothing is written, as a plain copy there would be the database itself.
TEST_F(OptionDialogTest, APlainBackUpIntoTheDatabasesFolderIsNotApplied) {
    QTemporaryDir links;
    ASSERT_TRUE(QFile::link(file.folder(), links.filePath("linked")));
    auto d = open();
    d->show();
    const QString before = backUpRow("フォルダ");
    d->fraMente->cmbSchedule[0]->setEditText("　　　毎日");
    d->fraMente->cmbSchedule[1]->setEditText("3");
    d->fraMente->cmbSchedule[2]->setEditText("0");
    QTest::mouseClick(d->findChild<QRadioButton*>("optArc(2)"), Qt::LeftButton);
    d->findChild<options::DirListBox*>("dirBackUp(0)")->setPath(links.filePath("linked"));
    QTest::mouseClick(d->findChild<QRadioButton*>("optArc(0)"), Qt::LeftButton);
    QTest::mouseClick(d->findChild<QPushButton*>("cmdApplication(2)"), Qt::LeftButton);
    ASSERT_EQ(boxes->shown().size(), 1u) << boxes->shownTexts().join("|").toStdString();
    EXPECT_EQ(boxes->shown()[0].text,
              "バックアップできません\nデータベースのあるディレクトリと\n"
              "バックアップ先のディレクトリが同じです。");
    EXPECT_EQ(backUpRow("フォルダ"), before);
    EXPECT_TRUE(d->menteDirty());

    // ZIP keeps its own name there, so that is applied.
    QTest::mouseClick(d->findChild<QRadioButton*>("optArc(2)"), Qt::LeftButton);
    QTest::mouseClick(d->findChild<QPushButton*>("cmdApplication(2)"), Qt::LeftButton);
    EXPECT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(backUpRow("Zip"), "True");
    EXPECT_FALSE(d->menteDirty());
}

// The folder menu opens on a right click in either folder list and acts on that list.
TEST_F(OptionDialogTest, FolderMenuMakesAndRemovesDirectories) {
    QTemporaryDir folder;
    auto d = open();
    d->show();
    d->TabStrip1->setSelectedIndex(3);
    auto* menu = d->findChild<QMenu*>("mnuPopup");
    auto* backUpList = d->findChild<options::DirListBox*>("dirBackUp(0)");
    backUpList->setPath(folder.path());
    QTest::mouseClick(backUpList->viewport(), Qt::RightButton);
    ASSERT_TRUE(menu->isVisible());
    menu->hide();
    boxes->queue("/新規");
    d->findChild<QAction*>("mnuMkDir")->trigger();
    EXPECT_TRUE(QDir(folder.path() + "/新規").exists());
    EXPECT_EQ(backUpList->path(), folder.path() + "/新規");
    EXPECT_EQ(boxes->shown()[0].title, "ディレクトリ作成");

    d->TabStrip1->setSelectedIndex(4);
    auto* fileList = d->findChild<options::DirListBox*>("dirBackUp(1)");
    fileList->setPath(folder.path() + "/新規");
    QDir(folder.path() + "/新規").mkdir("中");
    QTest::mouseClick(fileList->viewport(), Qt::RightButton);
    ASSERT_TRUE(menu->isVisible());
    menu->hide();
    d->findChild<QAction*>("mnuRmDir")->trigger();  // OK: not empty
    EXPECT_EQ(boxes->shown().back().title, "ディレクトリ削除エラー");
    EXPECT_TRUE(
        boxes->shown().back().text.endsWith("または、ディレクトリの中が空ではありません。"));
    EXPECT_TRUE(QDir(folder.path() + "/新規").exists());

    QDir(folder.path() + "/新規").rmdir("中");
    fileList->setPath(folder.path() + "/新規");
    const auto shown = boxes->shown().size();
    d->findChild<QAction*>("mnuRmDir")->trigger();
    EXPECT_EQ(boxes->shown().size(), shown + 1);  // only the question
    EXPECT_FALSE(QDir(folder.path() + "/新規").exists());
    EXPECT_EQ(fileList->path(), folder.path());
    EXPECT_EQ(backUpList->path(), folder.path() + "/新規");  // the other list is left alone
}

// The set and value combos answer the keyboard as the user picks from them: the handler
// behind each runs through the combo's own signal.
TEST_F(OptionDialogTest, CombosChosenByKeyboardFillAndDirtyTheirPages) {
    shell::mainModule().database->Execute(
        "UPDATE データベース設定 SET 正解率閾値 = 65, 項目1名称 = '年号', 項目1背景色 = 255 "
        "WHERE dbID = 2");
    shell::loadBackUpSettings();  // a valid schedule to apply
    auto d = open();
    d->show();
    auto* renameCombo = d->findChild<QComboBox*>("cmbDataBaseName(0)");
    QTest::keyClick(renameCombo, Qt::Key_Down);  // from the prompt to the second set
    EXPECT_EQ(renameCombo->currentText(), "歴史");
    EXPECT_EQ(d->findChild<QLineEdit*>("txtNewDataBase(1)")->text(), "年号");
    EXPECT_FALSE(d->renameDirty());

    d->TabStrip1->setSelectedIndex(2);
    auto* displayCombo = d->findChild<QComboBox*>("cmbDataBaseName(1)");
    QTest::keyClick(displayCombo, Qt::Key_Down);
    EXPECT_EQ(displayCombo->currentText(), "歴史");
    auto* threshold = d->findChild<QComboBox*>("cmbPointUpper");
    EXPECT_EQ(threshold->currentText(), "65");
    EXPECT_EQ(
        ui::bgrFromQColor(d->findChild<QLineEdit*>("txtItem(0)")->palette().color(QPalette::Base)),
        0x0000FFu);
    auto* displayApply = d->findChild<QPushButton*>("cmdApplication(1)");
    EXPECT_FALSE(displayApply->isEnabled());
    QTest::keyClick(threshold, Qt::Key_Down);  // the list's first entry, 100
    EXPECT_EQ(threshold->currentText(), "100");
    EXPECT_TRUE(displayApply->isEnabled());
    QTest::mouseClick(displayApply, Qt::LeftButton);
    EXPECT_EQ(row(2, "正解率閾値"), "100");
    EXPECT_FALSE(displayApply->isEnabled());

    d->TabStrip1->setSelectedIndex(3);
    auto* hour = d->findChild<QComboBox*>("cmbSchedule(1)");
    auto* backUpApply = d->findChild<QPushButton*>("cmdApplication(2)");
    EXPECT_FALSE(backUpApply->isEnabled());
    QTest::keyClick(hour, Qt::Key_Down);
    EXPECT_EQ(hour->currentText(), "1");
    EXPECT_TRUE(backUpApply->isEnabled());
    QTest::mouseClick(backUpApply, Qt::LeftButton);
    EXPECT_EQ(backUpRow("開始時"), "1");
    EXPECT_TRUE(boxes->shown().empty()) << boxes->shownTexts().join("|").toStdString();
}

}  // namespace

namespace {

TEST_F(OptionDialogTest, TheThresholdIsBlankUntilASetIsChosen) {
    auto d = open();
    d->TabStrip1->setSelectedIndex(2);
    EXPECT_EQ(d->fraDisplay->cmbPointUpper->currentText(), "");
    choose(*d, 1, "英単語");
    EXPECT_EQ(d->fraDisplay->cmbPointUpper->currentText(), "0");
}

}  // namespace

namespace {

// Scanning down the right end of a frame, where nothing stands inside it: the first row
// that differs from the row above is the frame's top line.
int frameTopLine(QWidget* frame) {
    const QImage image = frame->grab().toImage();
    const int x = image.width() - 12;
    for (int y = 1; y < image.height(); ++y)
        if (image.pixelColor(x, y) != image.pixelColor(x, 0)) return y;
    return -1;
}

TEST_F(OptionDialogTest, BackUpPageRowsSitInsideTheirFrames) {
    auto d = open();
    d->show();
    d->TabStrip1->setSelectedIndex(3);
    EXPECT_LT(frameTopLine(d->fraMente->fraBackUp[1]), d->fraMente->optArc[0]->y());
    EXPECT_LT(frameTopLine(d->fraMente->fraSchedule), d->fraMente->cmbSchedule[0]->y());
    EXPECT_LT(frameTopLine(d->fraMente->fraBackUp[0]), d->fraMente->chkBackUpDel->y());
    EXPECT_LE(d->fraMente->chkBackUpDel->sizeHint().width(),
              d->fraMente->chkBackUpDel->width());  // not cut off
}

}  // namespace
