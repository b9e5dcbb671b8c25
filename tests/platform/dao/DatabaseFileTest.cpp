// Opening, the password, damaged files and compaction.
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include "common/TempDatabase.h"
#include "platform/dao/DaoError.h"
#include "platform/dao/DaoFixture.h"

namespace {

const QString kConnect = "MS Access;PWD=kWf4r8nz";

TEST(DatabaseFile, WrongOrMissingPasswordIsRefused) {
    testing_support::TempDatabase file;
    EXPECT_DAO_ERROR(dao::OpenDatabase(file.path(), false, false, "MS Access;PWD=wrong"),
                     dao::err::WrongPassword);
    EXPECT_DAO_ERROR(dao::OpenDatabase(file.path(), false, false, "MS Access"),
                     dao::err::WrongPassword);
    EXPECT_NO_THROW(dao::OpenDatabase(file.path(), false, false, kConnect));
}

TEST(DatabaseFile, MissingDamagedAndForeignFiles) {
    QTemporaryDir dir;
    EXPECT_DAO_ERROR(dao::OpenDatabase(dir.filePath("Kenvora.mdb"), false, false, kConnect),
                     dao::err::FileNotFound);

    QFile text(dir.filePath("text.mdb"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray(4096, 'x'));
    text.close();
    EXPECT_DAO_ERROR(dao::OpenDatabase(text.fileName(), false, false, kConnect),
                     dao::err::CannotOpenDatabase);

    // A real database truncated in the middle.
    testing_support::TempDatabase file;
    QFile damaged(file.path());
    ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
    const QByteArray head = damaged.read(100);
    damaged.resize(0);
    damaged.write(head);
    damaged.write(QByteArray(3000, '\xff'));
    damaged.close();
    try {
        auto db = dao::OpenDatabase(file.path(), false, false, kConnect);
        db->OpenRecordset("SELECT * FROM データ");
        ADD_FAILURE() << "a damaged file opened";
    } catch (const dao::DaoError& e) {
        EXPECT_GT(e.number(), 3000);
    }
}

TEST(DatabaseFile, CompactionKeepsDataAndPasswordAndNeverLeavesHalfAFile) {
    testing_support::TempDatabase file;
    {
        auto db = dao::OpenDatabase(file.path(), false, false, kConnect);
        db->Execute("INSERT INTO データ (ID, dbID, 項目１) VALUES (1, 1, '犬')");
        db->Close();
    }
    const QString target = file.folder() + "/KenvoraN.mdb";
    dao::CompactDatabase(file.path(), target, ";LANGID=0x0411;CP=932;COUNTRY=0", 32,
                         ";PWD=kWf4r8nz;");
    EXPECT_FALSE(QFile::exists(target + ".partial"));
    auto db = dao::OpenDatabase(target, false, false, kConnect);
    EXPECT_EQ(db->OpenRecordset("select * from データ")->value("項目1").toString(), "犬");
    EXPECT_DAO_ERROR(dao::OpenDatabase(target, false, false, "MS Access;PWD=x"),
                     dao::err::WrongPassword);
    // The destination must not exist; a wrong source password writes nothing.
    EXPECT_DAO_ERROR(dao::CompactDatabase(file.path(), target, "", 32, ";PWD=kWf4r8nz;"),
                     dao::err::DatabaseExists);
    const QString other = file.folder() + "/Other.mdb";
    EXPECT_DAO_ERROR(dao::CompactDatabase(file.path(), other, "", 32, ";PWD=bad;"),
                     dao::err::WrongPassword);
    EXPECT_FALSE(QFile::exists(other));
}

}  // namespace

// A statement that fails on the file (another program holds its lock) names the file.
TEST(DatabaseFile, ALockedFilesMessageNamesTheFile) {
    testing_support::TempDatabase file;
    auto db = dao::OpenDatabase(file.path(), false, false, kConnect);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(file.path()).constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    try {
        db->Execute("UPDATE バックアップ設定 SET 開始時 = 3");
        ADD_FAILURE() << "no error";
    } catch (const dao::DaoError& e) {
        EXPECT_EQ(e.number(), dao::err::CannotOpenFile);
        EXPECT_TRUE(e.description().startsWith("ファイル '" + file.path() + "' を開けません。"))
            << e.description().toStdString();
    }
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
}
