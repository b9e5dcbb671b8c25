#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

#include "maintenance/Maintenance.h"
#include "maintenance/MaintenanceFixture.h"
#include "platform/dao/DaoError.h"
#include "platform/dao/Database.h"
#include "shell/DataStore.h"
#include "shell/DataStoreConstants.h"
#include "shell/MainModule.h"

namespace {

using Compaction = MaintenanceTest;

// Adds `count` records whose IDs are id(1) ... id(count), in descending order, so that the
// file's storage order is not the ID order; item 1 holds the original ID.
void addRecords(int count, const std::function<int(int)>& id) {
    dao::Database& db = *shell::mainModule().database;
    db.BeginTrans();
    for (int i = count; i >= 1; --i)
        db.Execute(QStringLiteral("INSERT INTO データ (ID, dbID, 項目１) VALUES (%1, 1, 'r%1')")
                       .arg(id(i)));
    db.CommitTrans();
}

QString idsSummary(const QString& path) {
    auto db = dao::OpenDatabase(path, false, true, QString::fromLatin1(shell::kConnectString));
    auto rs =
        db->OpenRecordset("SELECT COUNT(ID), MIN(ID), MAX(ID) FROM データ", dao::dbOpenSnapshot);
    const QString s = rs->Fields(0).Value().displayText() + "," +
                      rs->Fields(1).Value().displayText() + "," +
                      rs->Fields(2).Value().displayText();
    db->Close();
    return s;
}

}  // namespace

TEST_F(Compaction, RenumbersALargeFileWhoseIDsRunFarAhead) {
    // Last ID 50000 > 2 x 20000.
    const auto oldID = [](int i) { return i * 2 + i / 2; };
    addRecords(20000, oldID);
    maintenance::OptimizeDataBase(false);

    EXPECT_FALSE(shell::mainModule().database);
    EXPECT_EQ(idsSummary(file.path()), "20000,1,20000");
    auto db =
        dao::OpenDatabase(file.path(), false, true, QString::fromLatin1(shell::kConnectString));
    auto rs =
        db->OpenRecordset("SELECT ID, 項目１ FROM データ ORDER BY ID ASC", dao::dbOpenSnapshot);
    for (int k = 1; k <= 20000; ++k, rs->MoveNext()) {
        ASSERT_EQ(rs->Fields(0).Value().toLong(), k);
        ASSERT_EQ(rs->Fields(1).Value().displayText(), QStringLiteral("r%1").arg(oldID(k))) << k;
    }
    EXPECT_TRUE(filesIn(file.folder()).contains("Kenvora.mdb"));
    EXPECT_FALSE(filesIn(file.folder()).contains("KenvoraN.mdb"));
}

TEST_F(Compaction, KeepsIDsUnlessTheFileIsLargeAndSparse) {
    // 20000 records, last ID 40000: not greater than 2 x n.
    addRecords(20000, [](int i) { return i * 2; });
    maintenance::OptimizeDataBase(false);
    EXPECT_EQ(idsSummary(file.path()), "20000,2,40000");

    // 10000 records are never renumbered, however large their IDs.
    shell::openDataStore(file.folder());
    shell::mainModule().database->Execute("DELETE FROM データ");
    addRecords(10000, [](int i) { return i * 1000; });
    maintenance::OptimizeDataBase(false);
    EXPECT_EQ(idsSummary(file.path()), "10000,1000,10000000");
}

TEST_F(Compaction, ReplacesTheFileWithACompactedOneThatOpensWithThePassword) {
    shell::mainModule().database->Execute(
        "INSERT INTO データベース設定 (dbID, データベース名, 区切り12) VALUES (3, '英単語', '：')");
    shell::mainModule().database->Execute("UPDATE バックアップ設定 SET 開始時 = 21, Lha = True");
    addRecords(3, [](int i) { return i; });
    // Deleted content leaves free pages behind, which compaction drops.
    shell::mainModule().database->Execute("INSERT INTO データ (ID, dbID, 項目１) VALUES (99, 1, '" +
                                          QString(200000, 'x') + "')");
    shell::mainModule().database->Execute("DELETE FROM データ WHERE ID = 99");
    const qint64 before = QFileInfo(file.path()).size();
    // A leftover of an interrupted run.
    write(file.folder() + "/KenvoraN.mdb", "half a file");

    maintenance::OptimizeDataBase(false);

    EXPECT_TRUE(boxes->shown().empty());
    EXPECT_LT(QFileInfo(file.path()).size(), before);
    EXPECT_EQ(filesIn(file.folder()), QStringList{"Kenvora.mdb"});
    EXPECT_EQ(scalar(file.path(),
                     "SELECT 区切り１２ FROM データベース設定 WHERE データベース名 = '英単語'"),
              "：");
    EXPECT_EQ(scalar(file.path(), "SELECT 開始時 FROM バックアップ設定"), "21");
    EXPECT_EQ(idsSummary(file.path()), "3,1,3");
    try {
        dao::OpenDatabase(file.path(), false, true, "MS Access;PWD=wrong");
        ADD_FAILURE() << "a wrong password was accepted";
    } catch (const dao::DaoError& e) {
        EXPECT_EQ(e.number(), 3031);
    }
}

TEST_F(Compaction, AFailedCompactionLeavesTheOldFileInPlace) {
    addRecords(5, [](int i) { return i; });
    shell::mainModule().database->Close();
    shell::mainModule().database.reset();
    const QByteArray original = read(file.path());
    // A leftover that cannot be deleted keeps the compaction from writing its file.
    ASSERT_TRUE(QDir(file.folder()).mkdir("KenvoraN.mdb"));
    ASSERT_TRUE(QFile::copy(file.path(), file.folder() + "/KenvoraN.mdb/x"));

    EXPECT_THROW(maintenance::OptimizeDataBase(true), dao::DaoError);
    EXPECT_EQ(read(file.path()), original);
    EXPECT_EQ(idsSummary(file.path()), "5,1,5");
    // No backup of a compaction that did not happen.
    EXPECT_TRUE(filesIn(backUpDir.path()).isEmpty());
}

TEST_F(Compaction, WithBackUpBacksUpTheCompactedFile) {
    addRecords(4, [](int i) { return i; });
    maintenance::OptimizeDataBase(true);
    EXPECT_TRUE(boxes->shown().empty()) << boxes->shownTexts().join("|").toStdString();
    EXPECT_EQ(read(backUpPath("Kenvora.mdb")), read(file.path()));
}

// Start-up reads the one row of the backup settings; the repair the recovery dialog offers
// must be able to give a file without it back.
TEST_F(Compaction, PutsTheMissingBackUpSettingsRowBack) {
    shell::mainModule().database->Execute("DELETE FROM バックアップ設定");
    EXPECT_THROW(shell::loadBackUpSettings(), dao::DaoError);
    maintenance::OptimizeDataBase(false);
    shell::openDataStore(file.folder());
    ASSERT_NO_THROW(shell::loadBackUpSettings());
    const shell::BackUpSettings& b = shell::mainModule().backUp;
    EXPECT_EQ(b.pattern, "　　　毎日");
    EXPECT_FALSE(b.enabled || b.lha || b.zip || b.cab || b.deleteBefore);
    EXPECT_EQ(scalar(file.path(), "SELECT COUNT(*) FROM バックアップ設定"), "1");

    // A file that has the row keeps it as it was.
    shell::mainModule().database->Execute("UPDATE バックアップ設定 SET 開始時 = 5");
    maintenance::OptimizeDataBase(false);
    EXPECT_EQ(scalar(file.path(), "SELECT COUNT(*) FROM バックアップ設定"), "1");
    EXPECT_EQ(scalar(file.path(), "SELECT 開始時 FROM バックアップ設定"), "5");
}
