// A file without the word index gets it when it is opened, behind a progress dialog when
// that takes a while; the user may cancel it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "common/TempDatabase.h"
#include "platform/dao/Database.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"
#include "shell/WordIndexUpdate.h"

namespace {

using shell::mainModule;

class WordIndexUpdateTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell::resetMainModule();
        // An older file: records, and no word index.
        auto db = dao::OpenDatabase(file.path(), false, false, "MS Access;PWD=kWf4r8nz");
        db->BeginTrans();
        for (int id = 1; id <= 50; ++id)
            db->Execute(QStringLiteral("INSERT INTO データ (ID, dbID, 項目１) VALUES (%1, 1, '%2')")
                            .arg(id)
                            .arg(id % 5 == 0 ? "犬小屋" : "猫"));
        db->CommitTrans();
        db->DropWordIndex();
        db->Close();
    }
    void TearDown() override {
        shell::closeDataStore();
        shell::resetMainModule();
    }
    long long dogs() {
        auto rs = mainModule().database->OpenRecordset(
            "SELECT count(*) FROM データ WHERE (項目１ LIKE '*犬*') OR (出展 LIKE '*犬*')");
        return rs->Fields(0).Value().toLong();
    }

    testing_support::TempDatabase file;
};

TEST_F(WordIndexUpdateTest, OpeningAFileWithoutTheIndexBuildsItQuietlyWhenItIsQuick) {
    shell::openDataStore(file.folder());
    EXPECT_TRUE(mainModule().database->HasWordIndex());
    EXPECT_EQ(mainModule().database->WordIndexBacklog(), 0);
    EXPECT_EQ(dogs(), 10);
}

TEST_F(WordIndexUpdateTest, ALongBuildShowsItsProgressDialog) {
    shell::openDataStore(file.folder());
    mainModule().database->DropWordIndex();
    QString title, label;
    bool visible = false, onTop = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->objectName(), "dlgWordIndex");
        visible = dialog->isVisible();
        // The start-up window stays on top; without the same flag the dialog hid behind it.
        onTop = dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        title = dialog->windowTitle();
        label = dialog->labelText();
    });
    shell::bringWordIndexUpToDate(1);
    EXPECT_TRUE(visible);
    EXPECT_TRUE(onTop);
    EXPECT_EQ(title, "KENVORA");
    EXPECT_EQ(label, "検索用の索引を作成しています。しばらくお待ちください。");
    EXPECT_TRUE(mainModule().database->HasWordIndex());
    EXPECT_EQ(dogs(), 10);
}

TEST_F(WordIndexUpdateTest, CancellingLeavesTheFileAsItWasAndSearchesStillWork) {
    shell::openDataStore(file.folder());
    mainModule().database->DropWordIndex();
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* cancel = dialog->findChild<QPushButton*>();
        ASSERT_NE(cancel, nullptr);
        EXPECT_EQ(cancel->text(), "キャンセル");
        QTest::mouseClick(cancel, Qt::LeftButton);
    });
    shell::bringWordIndexUpToDate(1);
    EXPECT_FALSE(mainModule().database->HasWordIndex());
    EXPECT_EQ(dogs(), 10);
}

}  // namespace
