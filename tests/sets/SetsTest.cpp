// Creating and deleting sets through the dialog and the routines, reading the database
// and the menus afterwards.
#include <QApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "platform/ui/Twips.h"
#include "records/RecordWindowFixture.h"
#include "records/RecordWindows.h"
#include "records/frmMDIChild.h"
#include "sets/DataBaseSets.h"
#include "sets/frmNewDataBase.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"

namespace {

class SetsTest : public RecordWindowTest {
protected:
    void SetUp() override {
        RecordWindowTest::SetUp();
        shell::openSettingsRecordset();
        shell::rebuildDataBaseList();
        shell::mainModule().settingsRecordset.reset();
    }
    frmNewDataBase* dialog() {
        auto* d = new frmNewDataBase(main.get());
        d->show();
        return d;
    }
    std::vector<int> listIDs() {
        std::vector<int> ids;
        for (size_t i = 2; i < shell::mainModule().dataBaseList.size(); ++i)
            ids.push_back(shell::mainModule().dataBaseList[i].dbID);
        return ids;
    }
    std::int32_t create(const QString& name) {
        return sets::CreateDataBase({name, "単語", "：", "読み", "", "", ""});
    }
};

TEST_F(SetsTest, CreatingThroughTheDialogWritesTheDefaultsAndOpensTheWindow) {
    frmNewDataBase* d = dialog();
    EXPECT_EQ(d->size(), QSize(ui::px(8265), ui::px(7005)));
    EXPECT_EQ(d->txtNewDataBase[0]->toolTip(),
              "新規データベース名を入力してください。半角換算で５０文字まで。");
    QTest::keyClicks(d->txtNewDataBase[0], "English");
    QTest::keyClicks(d->txtNewDataBase[1], "word");
    QTest::keyClicks(d->txtNewDataBase[2], "a,^@,b,^@");
    QTest::keyClicks(d->txtNewDataBase[3], "meaning");
    QTest::mouseClick(d->cmdOk, Qt::LeftButton);
    QApplication::processEvents();

    auto rs = shell::mainModule().database->OpenRecordset("select * from データベース設定");
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->value("dbID").toLong(), 1);
    EXPECT_EQ(rs->value("データベース名").toString(), "English");
    EXPECT_EQ(rs->value("区切り12").toString(), "a,^@,b");  // normalised
    EXPECT_EQ(rs->value("区切り23").toString(), "");
    EXPECT_EQ(rs->value("項目3名称").toString(), "");
    EXPECT_EQ(rs->value("項目1背景色").toLong(), 0xFFFFFF);
    EXPECT_EQ(rs->value("正解率未満文字色").toLong(), 0);
    EXPECT_EQ(rs->value("コメントサイズ").toLong(), 10);
    EXPECT_EQ(rs->value("出展フォント").toString(), "ＭＳ Ｐゴシック");
    EXPECT_EQ(rs->value("画面幅").toLong(), 8415);
    EXPECT_EQ(rs->value("画面縦").toLong(), 8250);
    EXPECT_FALSE(rs->value("終了状態").toBool());
    EXPECT_TRUE(rs->value("出展使用").toBool());
    EXPECT_FALSE(rs->value("正解率以上下線").toBool());
    EXPECT_EQ(rs->value("文字隠用背景色").toLong(), 0xC0C0C0);

    ASSERT_EQ(shell::mainModule().dataBaseList.size(), 3u);
    EXPECT_EQ(shell::mainModule().dataBaseList[2].name, "English");
    frmMDIChild* w = records::windowOfSlot(0);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "English");
    w->Form_Activate();
    EXPECT_TRUE(shell::mainModule().childSettings[0].newRecord);  // an empty new record
    EXPECT_FALSE(w->recordChanged);
    auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());
    EXPECT_FALSE(sub->isMaximized());
    EXPECT_EQ(sub->width(), ui::px(8415));
}

TEST_F(SetsTest, TheFirstInvalidBoxTakesTheFocusAndNothingIsWritten) {
    frmNewDataBase* d = dialog();
    d->txtNewDataBase[0]->setText("name");
    d->txtNewDataBase[1]->setText("item");
    QTest::mouseClick(d->cmdOk, Qt::LeftButton);
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].text, "データが入っていません。");
    EXPECT_EQ(boxes->shown()[0].title, "データベース");
    EXPECT_EQ(d->focusWidget(), d->txtNewDataBase[2]);
    EXPECT_EQ(shell::mainModule()
                  .database->OpenRecordset("select * from データベース設定")
                  ->RecordCount(),
              0);
    EXPECT_EQ(shell::mainModule().dataBaseList.size(), 2u);
    EXPECT_TRUE(d->isVisible());
}

TEST_F(SetsTest, DuplicateNamesAreRefusedDifferentCaseOrWidthIsNot) {
    create("Kanji");
    frmNewDataBase* d = dialog();
    d->txtNewDataBase[0]->setText("Kanji");
    d->txtNewDataBase[1]->setText("a");
    d->txtNewDataBase[2]->setText("、");
    d->txtNewDataBase[3]->setText("b");
    QTest::mouseClick(d->cmdOk, Qt::LeftButton);
    EXPECT_EQ(boxes->shown().back().text, "データベース名が重複しています。");
    d->txtNewDataBase[0]->setText("ｋａｎｊｉ");
    QTest::mouseClick(d->cmdOk, Qt::LeftButton);
    EXPECT_EQ(listIDs(), (std::vector<int>{1, 2}));
}

TEST_F(SetsTest, IdentifiersAreReusedSmallestFirst) {
    create("a");
    create("b");
    create("c");
    sets::DeleteDataBase(2);
    EXPECT_EQ(listIDs(), (std::vector<int>{1, 3}));
    EXPECT_EQ(create("d"), 2);
    sets::DeleteDataBase(1);
    sets::DeleteDataBase(2);
    sets::DeleteDataBase(3);
    EXPECT_TRUE(listIDs().empty());
    EXPECT_EQ(create("e"), 1);
}

TEST_F(SetsTest, DeletingRemovesRecordsRowAndOpenWindow) {
    create("a");
    create("b");
    for (int i = 1; i <= 50; ++i) addRecord(i, 1, QString("r%1").arg(i));
    addRecord(99, 2, "kept");
    QApplication::processEvents();
    ASSERT_NE(records::windowOfSlot(0), nullptr);
    sets::DeleteDataBase(1);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(recordCount(1), 0);
    EXPECT_EQ(recordCount(2), 1);
    EXPECT_TRUE(shell::mainModule().childSettings[0].slotFree);
    EXPECT_EQ(records::windowOfSlot(0), nullptr);
    EXPECT_EQ(shell::mainModule()
                  .database->OpenRecordset("select * from データベース設定 where dbID = 1")
                  ->RecordCount(),
              0);
    EXPECT_EQ(listIDs(), std::vector<int>{2});
}

TEST_F(SetsTest, DeletingWithNoSetShowsTheMessage) {
    sets::DeleteDataBase(5);
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].text, "データベースがありません。");
    EXPECT_EQ(boxes->shown()[0].title, "データベース削除");
}

}  // namespace
