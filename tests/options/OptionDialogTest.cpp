#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "options/FolderLists.h"
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
        d.cmbDataBaseName[combo]->setEditText(name);
        d.cmbDataBaseName_Click(combo);
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
    for (QComboBox* c : d->cmbDataBaseName) {
        EXPECT_EQ(c->currentText(), frmOption::prompt());
        ASSERT_EQ(c->count(), 2);
        EXPECT_EQ(c->itemText(1), "歴史");
    }
    for (QPushButton* b : d->cmdApplication) EXPECT_FALSE(b->isEnabled());
    EXPECT_EQ(d->cmbPointUpper->count(), 21);
    d->TabStrip1->setSelectedIndex(3);
    EXPECT_EQ(d->currentTab(), 3);
    EXPECT_FALSE(d->fraMente->isHidden());
    EXPECT_TRUE(d->fraPartition->isHidden());
    EXPECT_TRUE(boxes->shown().empty());
}

TEST_F(OptionDialogTest, RenameChecksDuplicatesAndLengthAndKeepsOwnName) {
    auto d = open();
    choose(*d, 0, "英単語");
    EXPECT_EQ(d->newDataBaseText(1), "単語");
    EXPECT_FALSE(d->renameDirty());

    d->setNewDataBaseText(0, "歴史");  // another set's name
    EXPECT_TRUE(d->renameDirty());
    EXPECT_TRUE(d->cmdApplication[0]->isEnabled());
    d->cmdApplication_Click(0);
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].title, "データベース");
    EXPECT_EQ(row(1, "データベース名"), "英単語");
    EXPECT_TRUE(d->cmdApplication[0]->isEnabled());

    d->setNewDataBaseText(0, QString(26, QChar(0x3042)));  // 52 bytes in cp932
    d->cmdApplication_Click(0);
    EXPECT_EQ(boxes->shown().size(), 2u);
    EXPECT_EQ(row(1, "データベース名"), "英単語");

    // Its own name is no duplicate; the other boxes are written.
    d->setNewDataBaseText(0, "英単語");
    d->setNewDataBaseText(1, "見出し語");
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
    d->setNewDataBaseText(0, "英単語帳");
    d->setNewDataBaseText(3, "発音");
    d->setNewDataBaseText(2, "：,^@,－,^@");
    d->setNewDataBaseText(4, "");  // the second list may be empty
    d->cmdApplication_Click(0);
    EXPECT_TRUE(boxes->shown().empty());

    EXPECT_EQ(row(1, "データベース名"), "英単語帳");
    EXPECT_EQ(row(1, "項目2名称"), "発音");
    EXPECT_EQ(row(1, "区切り12"), "：,^@,－");  // later "^@" pieces dropped
    EXPECT_EQ(d->newDataBaseText(2), "：,^@,－");
    EXPECT_EQ(shell::mainModule().dataBaseList[2].name, "英単語帳");
    EXPECT_EQ(d->cmbDataBaseName[0]->currentText(), "英単語帳");
    EXPECT_EQ(d->cmbDataBaseName[1]->currentText(), "英単語帳");  // it showed the renamed set
    EXPECT_EQ(d->cmbDataBaseName[1]->itemText(0), "英単語帳");

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
    d->setNewDataBaseText(0, "英語");
    d->cmdApplication_Click(0);
    EXPECT_EQ(d->cmbDataBaseName[1]->currentText(), "歴史");
    EXPECT_EQ(d->cmbDataBaseName[1]->itemText(0), "英語");
}

TEST_F(OptionDialogTest, ColoursThresholdAndUseFlagsAreWrittenAndShownInTheOpenWindow) {
    addRecord(1, 1, "apple", "2024/01/01", "10:00:00", 1, 2);  // rate 50
    frmMDIChild* w = openSet(1);
    auto d = open();
    choose(*d, 1, "英単語");
    EXPECT_EQ(d->itemColor(0), 0xFFFFFFu);
    EXPECT_EQ(d->itemColor(7), 0xC0C0C0u);  // never written: the default grey
    EXPECT_EQ(d->chkDisp[2]->checkState(), Qt::Checked);
    EXPECT_FALSE(d->displayDirty());

    boxes->queueColor(0xFFFFFF);  // the same colour again
    d->cmdColer_Click(0);
    EXPECT_FALSE(d->displayDirty());
    boxes->queueColor(0x0000FF);
    d->findChild<QPushButton*>("cmdColer(0)")->click();  // through the button's connection
    EXPECT_EQ(d->itemColor(0), 0x0000FFu);
    EXPECT_TRUE(d->displayDirty());
    EXPECT_TRUE(d->cmdApplication[1]->isEnabled());
    d->cmdColer_Click(7);  // cancelled: nothing changes
    EXPECT_EQ(d->itemColor(7), 0xC0C0C0u);
    boxes->queueColor(0x00FF00);
    d->cmdColer_Click(5);  // at or above the threshold
    d->chkDisp[2]->click();
    d->cmbPointUpper->setEditText("40");
    d->cmbPointUpper_Click();
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
    EXPECT_EQ(s.numeric[0], 40);
    EXPECT_FALSE(s.yesNo[3]);
    EXPECT_EQ(ui::bgrFromQColor(w->txtData[0]->BackColor()), 0x0000FFu);
    EXPECT_EQ(ui::bgrFromQColor(w->txtPonit->palette().color(QPalette::Base)), 0x00FF00u);
    EXPECT_TRUE(w->txtData[2]->isHidden());
    EXPECT_FALSE(w->txtData[3]->isHidden());
}

TEST_F(OptionDialogTest, ThresholdTrackingAndGuardsBeforeASetIsChosen) {
    auto d = open();
    d->chkDisp[1]->click();
    EXPECT_EQ(d->chkDisp[1]->checkState(), Qt::Unchecked);  // snapped back
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].text, "データベースを選択してください。");
    EXPECT_EQ(boxes->shown()[0].title, "表示設定");
    d->cmdColer_Click(0);
    EXPECT_EQ(boxes->shown().size(), 2u);
    EXPECT_FALSE(d->displayDirty());

    choose(*d, 1, "英単語");
    d->cmbPointUpper->setEditText("0");  // as loaded
    d->cmbPointUpper_Click();
    EXPECT_FALSE(d->displayDirty());
    d->cmbPointUpper->setEditText("85");  // typing alone is no change
    EXPECT_FALSE(d->displayDirty());
    d->cmbPointUpper_Click();
    EXPECT_TRUE(d->displayDirty());

    choose(*d, 1, "ない");
    EXPECT_EQ(boxes->shown().back().text, "このデータベースは存在しません。");
    EXPECT_EQ(boxes->shown().back().title, "データベース名チェック");
}

TEST_F(OptionDialogTest, OkWithOnlyTheFilePageDirtySavesFile0WithoutItsSlash) {
    QTemporaryDir folder;
    auto d = open();
    d->txtBackUpDir[1]->setText(folder.path() + "/");
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
    d2->dirBackUp[1]->setPath(QDir::tempPath());
    EXPECT_EQ(d2->txtBackUpDir[1]->text(), QDir::tempPath());
    EXPECT_TRUE(d2->fileDirty());
}

TEST_F(OptionDialogTest, BackUpSettingsGoToTheRowAndTheSharedState) {
    QTemporaryDir folder;
    auto d = open();
    EXPECT_FALSE(d->menteDirty());
    d->cmbSchedule[0]->setEditText("　　　毎日");
    d->cmbSchedule[1]->setEditText("24");
    d->cmbSchedule_Click(1);
    EXPECT_TRUE(d->menteDirty());
    const QString before = backUpRow("開始時");
    d->cmdApplication_Click(2);
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].text, "スケジュールの時間設定が正しくありません。");
    EXPECT_EQ(backUpRow("開始時"), before);
    EXPECT_TRUE(d->menteDirty());

    d->cmbSchedule[0]->setEditText("毎週火曜日");
    d->cmbSchedule[1]->setEditText("23");
    d->cmbSchedule[2]->setEditText("55");
    d->optArc[1]->setChecked(true);
    d->chkNoAction->setChecked(true);
    d->chkBackUpDel->setChecked(true);
    d->txtBackUpDir[0]->setText(folder.path() + "/");
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
    EXPECT_TRUE(again->optArc[1]->isChecked());
    EXPECT_EQ(again->cmbSchedule[0]->currentText(), "毎週火曜日");
    EXPECT_EQ(again->txtBackUpDir[0]->text(), folder.path());
    EXPECT_FALSE(again->menteDirty());
    again->optArc[1]->setChecked(true);  // the stored choice again
    EXPECT_FALSE(again->menteDirty());
    again->optArc[0]->setChecked(true);
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
    d->dirBackUp[0]->setPath(other.path());
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
    d->cmbSchedule[0]->setEditText("　　　毎日");
    d->cmbSchedule[1]->setEditText("3");
    d->cmbSchedule[2]->setEditText("0");
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

TEST_F(OptionDialogTest, FolderMenuMakesAndRemovesDirectories) {
    QTemporaryDir folder;
    auto d = open();
    d->dirBackUp[0]->setPath(folder.path());
    d->setFolderMenuIndex(0);
    boxes->queue("/新規");
    d->mnuMkDir_Click();
    EXPECT_TRUE(QDir(folder.path() + "/新規").exists());
    EXPECT_EQ(d->dirBackUp[0]->path(), folder.path() + "/新規");
    EXPECT_EQ(boxes->shown()[0].title, "ディレクトリ作成");

    QDir(folder.path() + "/新規").mkdir("中");
    d->mnuRmDir_Click();  // OK: not empty
    EXPECT_EQ(boxes->shown().back().title, "ディレクトリ削除エラー");
    EXPECT_TRUE(
        boxes->shown().back().text.endsWith("または、ディレクトリの中が空ではありません。"));
    EXPECT_TRUE(QDir(folder.path() + "/新規").exists());

    QDir(folder.path() + "/新規").rmdir("中");
    d->dirBackUp[0]->setPath(folder.path() + "/新規");
    const auto shown = boxes->shown().size();
    d->mnuRmDir_Click();
    EXPECT_EQ(boxes->shown().size(), shown + 1);  // only the question
    EXPECT_FALSE(QDir(folder.path() + "/新規").exists());
    EXPECT_EQ(d->dirBackUp[0]->path(), folder.path());
}

}  // namespace

namespace {

TEST_F(OptionDialogTest, TheThresholdIsBlankUntilASetIsChosen) {
    auto d = open();
    d->TabStrip1->setSelectedIndex(2);
    EXPECT_EQ(d->cmbPointUpper->currentText(), "");
    choose(*d, 1, "英単語");
    EXPECT_EQ(d->cmbPointUpper->currentText(), "0");
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
    EXPECT_LT(frameTopLine(d->fraBackUp[1]), d->optArc[0]->y());
    EXPECT_LT(frameTopLine(d->fraSchedule), d->cmbSchedule[0]->y());
    EXPECT_LT(frameTopLine(d->fraBackUp[0]), d->chkBackUpDel->y());
    EXPECT_LE(d->chkBackUpDel->sizeHint().width(), d->chkBackUpDel->width());  // not cut off
}

}  // namespace
