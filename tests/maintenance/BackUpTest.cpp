#include <QDir>
#include <QFile>

#include "maintenance/Maintenance.h"
#include "maintenance/MaintenanceFixture.h"
#include "maintenance/Unlha.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"

namespace {

// Backup runs with the database closed, as the exit paths call it.
class BackUp : public MaintenanceTest {
protected:
    void SetUp() override {
        MaintenanceTest::SetUp();
        shell::closeDataStore();
    }
    shell::BackUpSettings& settings() { return shell::mainModule().backUp; }
};

}  // namespace

TEST_F(BackUp, PlainCopyIntoAnEmptyFolderThenOverTheLastOne) {
    maintenance::BackUpDataBase();
    EXPECT_TRUE(boxes->shown().empty());
    EXPECT_EQ(filesIn(backUpDir.path()), QStringList{"Kenvora.mdb"});
    EXPECT_EQ(read(backUpPath("Kenvora.mdb")), read(file.path()));

    // The second backup replaces the first; the previous one's temporary name is gone again.
    execute(file.path(), "INSERT INTO データ (ID, dbID, 項目１) VALUES (1, 1, 'new')");
    maintenance::BackUpDataBase();
    EXPECT_EQ(filesIn(backUpDir.path()), QStringList{"Kenvora.mdb"});
    EXPECT_EQ(read(backUpPath("Kenvora.mdb")), read(file.path()));

    settings().deleteBefore = true;
    execute(file.path(), "INSERT INTO データ (ID, dbID, 項目１) VALUES (2, 1, 'newer')");
    maintenance::BackUpDataBase();
    EXPECT_EQ(filesIn(backUpDir.path()), QStringList{"Kenvora.mdb"});
    EXPECT_EQ(read(backUpPath("Kenvora.mdb")), read(file.path()));
}

TEST_F(BackUp, AFailedCopyKeepsThePreviousBackup) {
    write(backUpPath("Kenvora.mdb"), "previous backup");
    // No database file where the backup looks for it.
    QFile::rename(file.path(), file.folder() + "/moved.mdb");

    maintenance::BackUpDataBase();
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_TRUE(boxes->shown()[0].text.startsWith("バックアップに失敗しました。\n"));
    EXPECT_GT(boxes->shown()[0].text.size(), QString("バックアップに失敗しました。\n").size());
    EXPECT_EQ(boxes->shown()[0].title, "KENVORA");
    EXPECT_EQ(filesIn(backUpDir.path()), QStringList{"Kenvora.mdb"});
    EXPECT_EQ(read(backUpPath("Kenvora.mdb")), "previous backup");

    // With delete-before on the old backup is not moved aside, and a failed copy still
    // leaves it whole: the copy is written under another name first.
    settings().deleteBefore = true;
    boxes->clearShown();
    maintenance::BackUpDataBase();
    EXPECT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(read(backUpPath("Kenvora.mdb")), "previous backup");
    EXPECT_EQ(filesIn(backUpDir.path()), QStringList{"Kenvora.mdb"});
}

TEST_F(BackUp, AMissingBackUpFolderIsReported) {
    settings().folder = backUpDir.path() + "/missing";
    maintenance::BackUpDataBase();
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_TRUE(boxes->shown()[0].text.startsWith("バックアップに失敗しました。\n"));
}

TEST_F(BackUp, LzhArchiveHoldsTheDatabaseAndReplacesTheLastOne) {
    settings().lha = true;
    maintenance::BackUpDataBase();
    EXPECT_TRUE(boxes->shown().empty()) << boxes->shownTexts().join("|").toStdString();
    EXPECT_EQ(filesIn(backUpDir.path()), QStringList{"Kenvora.lzh"});
    EXPECT_TRUE(UnlhaIsArchive(backUpPath("Kenvora.lzh")));

    execute(file.path(), "INSERT INTO データ (ID, dbID, 項目１) VALUES (1, 1, 'new')");
    maintenance::BackUpDataBase();
    EXPECT_EQ(filesIn(backUpDir.path()), QStringList{"Kenvora.lzh"});
    QTemporaryDir out;
    ASSERT_EQ(UnlhaCommand(nullptr, "e \"" + backUpPath("Kenvora.lzh") + "\" \"" + out.path() +
                                        "/\" Kenvora.mdb -c -y"),
              0);
    EXPECT_EQ(read(out.path() + "/Kenvora.mdb"), read(file.path()));
}

TEST_F(BackUp, AFailedArchiveKeepsThePreviousOne) {
    settings().lha = true;
    write(backUpPath("Kenvora.lzh"), "previous archive");
    QFile::remove(file.path());

    maintenance::BackUpDataBase();
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_TRUE(boxes->shown()[0].text.startsWith("バックアップ失敗\n"));
    EXPECT_EQ(filesIn(backUpDir.path()), QStringList{"Kenvora.lzh"});
    EXPECT_EQ(read(backUpPath("Kenvora.lzh")), "previous archive");
}

TEST_F(BackUp, ZipAndCabSayThereIsNoSuchArchiveAndCopyPlainly) {
    for (bool zip : {true, false}) {
        settings().zip = zip;
        settings().cab = !zip;
        boxes->clearShown();
        QFile::remove(backUpPath("Kenvora.mdb"));
        maintenance::BackUpDataBase();
        ASSERT_EQ(boxes->shown().size(), 1u);
        EXPECT_EQ(boxes->shown()[0].title, "バックアップ");
        EXPECT_EQ(filesIn(backUpDir.path()), QStringList{"Kenvora.mdb"});
        EXPECT_EQ(read(backUpPath("Kenvora.mdb")), read(file.path()));
    }
}

TEST_F(BackUp, WithoutAChosenFolderTheBackupGoesToAFolderBesideTheDatabase) {
    shell::openDataStore(file.folder());
    shell::loadBackUpSettings();  // the supplied database stores no folder
    shell::closeDataStore();
    const QString folder = file.folder() + "/backup";
    ASSERT_EQ(settings().folder, folder);
    ASSERT_FALSE(QDir(folder).exists());

    maintenance::BackUpDataBase();
    EXPECT_TRUE(boxes->shown().empty());
    EXPECT_EQ(filesIn(folder), QStringList{"Kenvora.mdb"});
    EXPECT_EQ(read(folder + "/Kenvora.mdb"), read(file.path()));
}
