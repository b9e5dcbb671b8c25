// Where the database lives: beside the program for a build or a portable copy, in the
// user's data folder for an installed program, made there from the installed template.
// And where backups go when no folder is chosen.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "ShellFixture.h"
#include "platform/dao/Recordset.h"
#include "shell/DataLocation.h"
#include "shell/DataStore.h"
#include "shell/DataStoreConstants.h"
#include "shell/MainModule.h"
#include "shell/UserSettings.h"

namespace {

using shell::mainModule;
using shell::StartUpOutcome;

// An install prefix (bin/ without a database, share/kenvora/Kenvora.mdb as the read-only
// template) and a user whose data folder is a temporary XDG_DATA_HOME.
class DataLocationTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        savedDataHome_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
        ASSERT_TRUE(QDir().mkpath(prefix.filePath("bin")));
        ASSERT_TRUE(QDir().mkpath(prefix.filePath("share/kenvora")));
        ASSERT_TRUE(QFile::copy(file.path(), templatePath()));
        QFile::setPermissions(templatePath(),
                              QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        mainModule().applicationPath = prefix.filePath("bin");
        shell::writeFile0(QString());
    }
    void TearDown() override {
        ShellFixture::TearDown();
        qputenv("XDG_DATA_HOME", savedDataHome_);
    }
    QString templatePath() const { return prefix.filePath("share/kenvora/Kenvora.mdb"); }
    QString userFolder() const { return dataHome.filePath("Kenvora"); }
    QString userDatabase() const { return userFolder() + "/Kenvora.mdb"; }
    int setCount() const { return static_cast<int>(mainModule().dataBaseList.size()) - 2; }
    static void addSetAt(const QString& path, const QString& name) {
        auto db = dao::OpenDatabase(path, false, false, QString::fromLatin1(shell::kConnectString));
        db->Execute("INSERT INTO データベース設定 (dbID, データベース名) VALUES (1, '" + name +
                    "')");
        db->Close();
    }

    QTemporaryDir prefix;
    QTemporaryDir dataHome;

private:
    QByteArray savedDataHome_;
};

TEST_F(DataLocationTest, FirstStartOfAnInstallMakesTheUsersDatabaseThenTheNextStartUsesIt) {
    ASSERT_EQ(start(), StartUpOutcome::Running);
    EXPECT_TRUE(boxes->shown().empty());
    EXPECT_EQ(shell::userDataFolder(), userFolder());
    EXPECT_EQ(shell::readFile0(), userFolder());
    EXPECT_EQ(mainModule().databaseFolder, userFolder());
    const QFileInfo made(userDatabase());
    ASSERT_TRUE(made.isFile());
    EXPECT_TRUE(made.isWritable());  // the template is read-only, the user's copy is not
    EXPECT_EQ(QDir(userFolder()).entryList(QDir::Files), QStringList{"Kenvora.mdb"});
    EXPECT_FALSE(QFileInfo::exists(prefix.filePath("bin/Kenvora.mdb")));

    // The user's data survives: a set made in the first run is there in the second, and
    // the template is not copied over it.
    mainModule().database->Execute(
        "INSERT INTO データベース設定 (dbID, データベース名) VALUES (1, '英単語')");
    closeMainWindow();
    ASSERT_EQ(start(), StartUpOutcome::Running);
    EXPECT_EQ(mainModule().databaseFolder, userFolder());
    ASSERT_EQ(setCount(), 1);
    EXPECT_EQ(mainModule().dataBaseList[2].name, "英単語");
    EXPECT_TRUE(boxes->shown().empty());
}

TEST_F(DataLocationTest, ADatabaseAlreadyInTheDataFolderIsTakenNotReplaced) {
    // FILE0 lost (a new configuration folder), the user's database still there.
    ASSERT_TRUE(QDir().mkpath(userFolder()));
    ASSERT_TRUE(QFile::copy(file.path(), userDatabase()));
    QFile::setPermissions(userDatabase(), QFile::ReadOwner | QFile::WriteOwner);
    addSetAt(userDatabase(), "歴史");
    ASSERT_EQ(start(), StartUpOutcome::Running);
    EXPECT_EQ(shell::readFile0(), userFolder());
    ASSERT_EQ(setCount(), 1);
    EXPECT_EQ(mainModule().dataBaseList[2].name, "歴史");
}

TEST_F(DataLocationTest, TheProgramsFolderHoldingADatabaseKeepsItThere) {
    const QString bin = prefix.filePath("bin");
    ASSERT_TRUE(QFile::copy(file.path(), bin + "/Kenvora.mdb"));
    QFile::setPermissions(bin + "/Kenvora.mdb", QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_EQ(start(), StartUpOutcome::Running);
    EXPECT_EQ(shell::readFile0(), bin);
    EXPECT_EQ(mainModule().databaseFolder, bin);
    EXPECT_FALSE(QFileInfo::exists(userFolder()));
    EXPECT_TRUE(boxes->shown().empty());
}

TEST_F(DataLocationTest, WithoutATemplateTheUserLocatesTheFile) {
    QFile::setPermissions(templatePath(), QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(QFile::remove(templatePath()));
    boxes->queueCancel();
    boxes->queueCancel();
    boxes->queueCancel();
    EXPECT_EQ(start(), StartUpOutcome::DatabaseNotFound);
    ASSERT_EQ(boxes->shown().size(), 4u);
    EXPECT_EQ(boxes->shown()[3].text,
              QStringLiteral("Kenvora.mdb ﾌｧｲﾙが見つかりません。\nKENVORAを終了します。"));
    // Nothing was found, so nothing is remembered: the next start looks again.
    EXPECT_TRUE(shell::readFile0().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(userDatabase()));

    boxes->queue(file.path());
    ASSERT_EQ(start(), StartUpOutcome::Running);
    EXPECT_EQ(shell::readFile0(), file.folder());
}

TEST_F(DataLocationTest, PlacingTheTemplateNeverReplacesAFile) {
    ASSERT_TRUE(QDir().mkpath(userFolder()));
    {
        QFile mine(userDatabase());
        ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
        mine.write("mine");
    }
    EXPECT_TRUE(shell::placeTemplateDatabase(templatePath(), userFolder()));
    QFile mine(userDatabase());
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
    EXPECT_EQ(mine.readAll(), "mine");
    EXPECT_EQ(QDir(userFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{"Kenvora.mdb"});

    // A missing template gives no database and leaves nothing behind.
    QTemporaryDir other;
    EXPECT_FALSE(shell::placeTemplateDatabase(other.filePath("none.mdb"), other.filePath("data")));
    EXPECT_FALSE(shell::placeTemplateDatabase(QString(), other.filePath("data")));
    EXPECT_FALSE(QFileInfo::exists(other.filePath("data/Kenvora.mdb")));
    EXPECT_TRUE(QDir(other.filePath("data")).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(DataLocationTest, NullBackUpFolderIsTheBackupFolderOfTheDatabaseMadeOnFirstUse) {
    ASSERT_EQ(start(), StartUpOutcome::Running);
    const shell::BackUpSettings& b = mainModule().backUp;
    EXPECT_TRUE(b.defaultFolder);
    EXPECT_EQ(b.folder, userFolder() + "/backup");
    EXPECT_FALSE(QFileInfo::exists(b.folder));
    EXPECT_TRUE(shell::makeBackUpFolder());
    EXPECT_TRUE(QFileInfo(b.folder).isDir());

    // A chosen folder is used as it stands, and never made.
    mainModule().database->Execute("UPDATE バックアップ設定 SET フォルダ = '/nonexistent/usb/'");
    shell::loadBackUpSettings();
    EXPECT_FALSE(b.defaultFolder);
    EXPECT_EQ(b.folder, "/nonexistent/usb");
    EXPECT_FALSE(shell::makeBackUpFolder());
    EXPECT_FALSE(QFileInfo::exists("/nonexistent"));
}

}  // namespace
