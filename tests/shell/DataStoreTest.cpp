// The shared state read from the database: highest ID, backup settings, the question-set
// list, set identifiers, the positional settings load, and the database folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include "common/TempDatabase.h"
#include "platform/dao/DaoError.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"
#include "shell/UserSettings.h"

namespace {

using shell::mainModule;

class DataStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
        shell::resetMainModule();
        mainModule().applicationPath = "/opt/kenvora";
        shell::openDataStore(file.folder());
    }
    void TearDown() override {
        shell::closeDataStore();
        shell::resetMainModule();
    }
    void addSet(int dbID, const QString& name) {
        mainModule().database->Execute(
            QStringLiteral("INSERT INTO データベース設定 (dbID, データベース名) VALUES (%1, '%2')")
                .arg(dbID)
                .arg(name));
    }
    void reloadList() {
        shell::openSettingsRecordset();
        shell::rebuildDataBaseList();
    }
    std::vector<int> listIDs() {
        std::vector<int> ids;
        for (const auto& e : mainModule().dataBaseList) ids.push_back(e.dbID);
        return ids;
    }

    QTemporaryDir settingsDir;
    testing_support::TempDatabase file;
};

TEST_F(DataStoreTest, EmptyFileGivesThePseudoEntriesAndFirstIdentifiers) {
    reloadList();
    ASSERT_EQ(mainModule().dataBaseList.size(), 2u);
    EXPECT_EQ(mainModule().dataBaseList[0].name, "新規データベース作成");
    EXPECT_EQ(mainModule().dataBaseList[1].name, "データベースがありません");
    EXPECT_EQ(listIDs(), (std::vector<int>{-1, -1}));
    shell::loadHighestID();
    EXPECT_EQ(mainModule().highestID, 0);
    EXPECT_EQ(shell::NewDataBaseID(), 1);
    EXPECT_EQ(listIDs(), (std::vector<int>{-1, -1, 1}));
}

TEST_F(DataStoreTest, NewDataBaseIDTakesTheSmallestFreeNumber) {
    addSet(1, "a");
    addSet(2, "b");
    addSet(4, "d");
    reloadList();
    EXPECT_EQ(shell::NewDataBaseID(), 3);
    mainModule().dataBaseList.back().name = "c";
    EXPECT_EQ(shell::NewDataBaseID(), 5);
    EXPECT_EQ(listIDs(), (std::vector<int>{-1, -1, 1, 2, 4, 3, 5}));
}

TEST_F(DataStoreTest, ListFollowsTableOrderAndHighestIdIsTheLastById) {
    addSet(7, "seven");
    addSet(2, "two");
    mainModule().database->Execute("INSERT INTO データ (ID, dbID) VALUES (40, 7)");
    mainModule().database->Execute("INSERT INTO データ (ID, dbID) VALUES (5, 7)");
    reloadList();
    EXPECT_EQ(listIDs(), (std::vector<int>{-1, -1, 7, 2}));
    EXPECT_EQ(mainModule().dataBaseList[2].name, "seven");
    shell::loadHighestID();
    EXPECT_EQ(mainModule().highestID, 40);
}

TEST_F(DataStoreTest, BackUpSettingsWithNullFolderUseTheBackupFolderOfTheDatabase) {
    shell::loadBackUpSettings();
    const shell::BackUpSettings& b = mainModule().backUp;
    EXPECT_EQ(b.pattern, "　　　毎日");
    EXPECT_EQ(b.hour, 0);
    EXPECT_FALSE(b.enabled);
    EXPECT_EQ(b.folder, file.folder() + "/backup");  // not the program's folder
    EXPECT_TRUE(b.defaultFolder);
    EXPECT_FALSE(b.lha || b.zip || b.cab || b.deleteBefore);
    mainModule().database->Execute(
        "UPDATE バックアップ設定 SET フォルダ = '/media/usb/', 実施 = True, 開始時 = 23");
    shell::loadBackUpSettings();
    EXPECT_EQ(mainModule().backUp.folder, "/media/usb");
    EXPECT_FALSE(mainModule().backUp.defaultFolder);
    EXPECT_TRUE(mainModule().backUp.enabled);
    EXPECT_EQ(mainModule().backUp.hour, 23);
}

TEST_F(DataStoreTest, LoadChildSettingsReadsByPositionWithNullTextsEmpty) {
    addSet(3, "漢字");
    mainModule().database->Execute(
        "UPDATE データベース設定 SET 正解率閾値 = 70, 項目１背景色 = 255, 画面幅 = 9000, 区切り12 "
        "= '、', "
        "終了状態 = True, 項目１使用 = True, 出展使用 = False, 正解率未満下線 = True WHERE dbID = "
        "3");
    shell::openSettingsRecordset();
    shell::LoadChildSettings(0, 3);
    const shell::ChildSettings& s = mainModule().childSettings.at(0);
    EXPECT_EQ(s.dbID, 3);
    EXPECT_EQ(s.name, "漢字");
    EXPECT_EQ(s.numeric[0], 70);         // 正解率閾値
    EXPECT_EQ(s.numeric[1], 255);        // 項目1背景色
    EXPECT_EQ(s.numeric[24], 9000);      // 画面幅
    EXPECT_EQ(s.numeric[27], 0xC0C0C0);  // 文字隠用背景色: its default
    EXPECT_EQ(s.text[0], "、");
    EXPECT_EQ(s.text[1], "");  // Null 区切り23
    EXPECT_EQ(s.text[5], "");  // Null font
    EXPECT_TRUE(s.yesNo[0]);   // 終了状態
    EXPECT_TRUE(s.yesNo[1]);   // 項目1使用
    EXPECT_FALSE(s.yesNo[5]);  // 出展使用
    EXPECT_TRUE(s.yesNo[33]);  // 正解率未満下線
    EXPECT_FALSE(s.slotFree);
    EXPECT_EQ(s.numeric[2], 0);  // Null 項目2背景色 of a row written elsewhere
    EXPECT_FALSE(s.yesNo[2]);
    EXPECT_THROW(shell::LoadChildSettings(1, 99), dao::DaoError);
}

TEST(DatabaseFolder, FirstRunWritesTheApplicationPathAndTrailingSlashIsDropped) {
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    testing_support::TempDatabase beside;  // a build or a portable copy
    EXPECT_EQ(shell::readFile0(), "");
    EXPECT_EQ(shell::databaseFolderFromSettings(beside.folder()), beside.folder());
    EXPECT_EQ(shell::readFile0(), beside.folder());
    shell::writeFile0("/home/user/data/");
    EXPECT_EQ(shell::databaseFolderFromSettings("/opt/kenvora"), "/home/user/data");
    EXPECT_EQ(shell::databasePath("/home/user/data"), "/home/user/data/Kenvora.mdb");
    EXPECT_EQ(shell::withoutTrailingSlash("/"), "");
}

// Users' files rely on the file's place and key: a setting written by an earlier version is
// read, and a new one lands where that version would read it.
TEST(DatabaseFolder, KeptInTheUsersKenvoraIniUnderDatFile0) {
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    const QString ini = settingsDir.filePath(QStringLiteral("KENVORA/KENVORA.ini"));
    {
        QSettings earlier(ini, QSettings::IniFormat);
        earlier.setValue(QStringLiteral("DAT/FILE0"), QStringLiteral("/home/user/old"));
    }
    EXPECT_EQ(shell::readFile0(), "/home/user/old");
    shell::writeFile0(QStringLiteral("/home/user/new"));
    EXPECT_EQ(QSettings(ini, QSettings::IniFormat).value(QStringLiteral("DAT/FILE0")).toString(),
              "/home/user/new");
    EXPECT_EQ(QDir(settingsDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("KENVORA")});
}

}  // namespace
