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
#include "shell/RecordColumns.h"
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
    const shell::SetSettings& row = s.settings;
    EXPECT_EQ(row.threshold, 70);
    EXPECT_EQ(row.boxes[shell::kItem1Box].backColor, 255);
    EXPECT_EQ(row.windowRect.width, 9000);
    EXPECT_EQ(row.hidingColor, 0xC0C0C0);  // its default
    EXPECT_EQ(row.delimiters[0], "、");
    EXPECT_EQ(row.delimiters[1], "");                     // Null 区切り23
    EXPECT_EQ(row.boxes[shell::kItem1Box].fontName, "");  // Null font
    EXPECT_TRUE(row.openAtExit);
    EXPECT_TRUE(row.use[shell::kItem1Box]);
    EXPECT_FALSE(row.use[shell::kSourceBox]);
    EXPECT_TRUE(row.boxes[shell::kRateBelowBox].underline);
    EXPECT_FALSE(row.boxes[shell::kRateAtOrAboveBox].underline);
    EXPECT_FALSE(s.slotFree);
    EXPECT_EQ(row.boxes[shell::kItem2Box].backColor,
              0);  // Null 項目2背景色 of a row written elsewhere
    EXPECT_FALSE(row.use[shell::kItem2Box]);
    EXPECT_THROW(shell::LoadChildSettings(1, 99), dao::DaoError);
}

// Every column by name, each with its own value, must land in the field named for it: a
// position off by one would hand one box's style to another.
TEST_F(DataStoreTest, EverySettingsColumnLandsInItsNamedField) {
    addSet(5, "全部");
    const char* const boxes[] = {"項目1", "項目2",      "項目3",     "コメント",
                                 "出展",  "正解率以上", "正解率未満"};
    QStringList sets = {"正解率閾値 = 55",     "画面X = 101",      "画面Y = 102",
                        "画面幅 = 103",        "画面縦 = 104",     "WindowState = 2",
                        "文字隠用背景色 = 77", "区切り12 = 'a'",   "区切り23 = 'b'",
                        "項目1名称 = 'n1'",    "項目2名称 = 'n2'", "項目3名称 = 'n3'",
                        "DBコメント = 'c'",    "終了状態 = False"};
    for (int box = 0; box < 7; ++box) {
        const QString b = QString::fromUtf8(boxes[box]);
        sets << QStringLiteral("%1背景色 = %2").arg(b).arg(1000 + box)
             << QStringLiteral("%1文字色 = %2").arg(b).arg(2000 + box)
             << QStringLiteral("%1サイズ = %2").arg(b).arg(10 + box)
             << QStringLiteral("%1フォント = 'f%2'").arg(b).arg(box)
             << QStringLiteral("%1太字 = %2").arg(b, box == 1 ? "True" : "False")
             << QStringLiteral("%1斜体 = %2").arg(b, box == 2 ? "True" : "False")
             << QStringLiteral("%1取消 = %2").arg(b, box == 3 ? "True" : "False")
             << QStringLiteral("%1下線 = %2").arg(b, box == 4 ? "True" : "False");
        if (box < 5) sets << QStringLiteral("%1使用 = %2").arg(b, box == 3 ? "True" : "False");
    }
    mainModule().database->Execute("UPDATE データベース設定 SET " + sets.join(", ") +
                                   " WHERE dbID = 5");
    shell::openSettingsRecordset();
    shell::LoadChildSettings(0, 5);
    const shell::SetSettings& row = mainModule().childSettings.at(0).settings;
    EXPECT_EQ(row.threshold, 55);
    EXPECT_EQ(row.windowRect, (ui::TwipsRect{101, 102, 103, 104}));
    EXPECT_EQ(row.windowState, 2);
    EXPECT_EQ(row.hidingColor, 77);
    EXPECT_EQ(row.delimiters[0], "a");
    EXPECT_EQ(row.delimiters[1], "b");
    EXPECT_EQ(row.itemNames[0], "n1");
    EXPECT_EQ(row.itemNames[1], "n2");
    EXPECT_EQ(row.itemNames[2], "n3");
    EXPECT_EQ(row.comment, "c");
    EXPECT_FALSE(row.openAtExit);
    for (int box = 0; box < 7; ++box) {
        const shell::BoxStyle& style = row.boxes[box];
        EXPECT_EQ(style.backColor, 1000 + box) << box;
        EXPECT_EQ(style.foreColor, 2000 + box) << box;
        EXPECT_EQ(style.fontSize, 10 + box) << box;
        EXPECT_EQ(style.fontName, QStringLiteral("f%1").arg(box)) << box;
        EXPECT_EQ(style.bold, box == 1) << box;
        EXPECT_EQ(style.italic, box == 2) << box;
        EXPECT_EQ(style.strikeOut, box == 3) << box;
        EXPECT_EQ(style.underline, box == 4) << box;
        if (box < 5) {
            EXPECT_EQ(row.use[box], box == 3) << box;
        }
    }
}

// The three windows that write a record's texts open it through different statements; the
// texts land in their own columns whatever order the statement gives them, and a box left
// out keeps its columns.
TEST_F(DataStoreTest, RecordTextsLandInTheirColumnsThroughAnyStatement) {
    addSet(1, "a");
    mainModule().database->Execute(
        "INSERT INTO データ (ID, dbID, 項目1, 項目2, 出展, 出展RTF) VALUES (7, 1, 'old1', 'old2', "
        "'oldS', 'oldSR')");
    const QStringList statements = {
        "select  * from データ where dbID = 1",
        "SELECT データ.出展, データ.項目１, データベース設定.データベース名, データ.項目１RTF, "
        "データ.出展RTF, データ.項目２ FROM データベース設定 INNER JOIN データ ON "
        "データベース設定.dbID = データ.dbID"};
    for (const QString& statement : statements) {
        auto rs = mainModule().database->OpenRecordset(statement, dao::dbOpenDynaset);
        rs->Edit();
        shell::RecordTexts texts;
        texts[shell::kItem1Box] = shell::RecordText{"new1", "{\\rtf1 new1}"};
        texts[shell::kSourceBox] = shell::RecordText{"newS", "{\\rtf1 newS}"};
        shell::writeRecordTexts(*rs, texts);
        rs->Update();
        auto row = mainModule().database->OpenRecordset("select * from データ where ID = 7");
        EXPECT_EQ(row->value("項目1").displayText(), "new1") << statement.toStdString();
        EXPECT_EQ(row->value("項目1RTF").displayText(), "{\\rtf1 new1}");
        EXPECT_EQ(row->value("出展").displayText(), "newS");
        EXPECT_EQ(row->value("出展RTF").displayText(), "{\\rtf1 newS}");
        EXPECT_EQ(row->value("項目2").displayText(), "old2");  // left out, left alone
        mainModule().database->Execute(
            "UPDATE データ SET 項目1 = 'old1', 出展 = 'oldS' WHERE ID = 7");
    }
    // The positions in the table are those of the file's columns.
    auto rs = mainModule().database->OpenRecordset("select * from データ");
    for (const shell::RecordTextColumn& column : shell::kRecordTextColumns) {
        EXPECT_EQ(rs->Fields(column.textPosition).Name(), QString::fromUtf8(column.text));
        EXPECT_EQ(rs->Fields(column.rtfPosition).Name(), QString::fromUtf8(column.rtf));
    }
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
