#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <cerrno>

#include "maintenance/FileSteps.h"
#include "maintenance/Maintenance.h"
#include "maintenance/MaintenanceFixture.h"
#include "maintenance/Unlha.h"
#include "platform/lzh/Archives.h"
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
    // Plain copy, LZH, ZIP, CAB by number; the backup's file name.
    QString chooseForm(int form) {
        settings().lha = form == 1;
        settings().zip = form == 2;
        settings().cab = form == 3;
        return QStringList{"Kenvora.mdb", "Kenvora.lzh", "Kenvora.zip", "Kenvora.cab"}[form];
    }
    static int runTool(const QString& program, const QStringList& args) {
        QProcess p;
        p.start(program, args);
        return p.waitForFinished(60000) ? p.exitCode() : -1;
    }
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

TEST_F(BackUp, ADamagedLzhArchiveIsReplacedRatherThanAddedTo) {
    settings().lha = true;
    write(backUpPath("Kenvora.lzh"), "a damaged archive");
    maintenance::BackUpDataBase();
    EXPECT_TRUE(boxes->shown().empty()) << boxes->shownTexts().join("|").toStdString();
    EXPECT_TRUE(UnlhaIsArchive(backUpPath("Kenvora.lzh")));
    EXPECT_EQ(filesIn(backUpDir.path()), QStringList{"Kenvora.lzh"});
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

TEST_F(BackUp, ZipAndCabAreRealArchivesThatOtherToolsAccept) {
    for (bool zip : {true, false}) {
        settings().zip = zip;
        settings().cab = !zip;
        const QString name = zip ? "Kenvora.zip" : "Kenvora.cab";
        SCOPED_TRACE(name.toStdString());
        // Twice: the second replaces the first.
        for (int round = 0; round < 2; ++round) {
            boxes->clearShown();
            execute(file.path(),
                    QString("INSERT INTO データ (ID, dbID, 項目１) VALUES (%1, 1, 'x')")
                        .arg(10 * round + zip));
            maintenance::BackUpDataBase();
            EXPECT_TRUE(boxes->shown().empty()) << boxes->shownTexts().join("|").toStdString();
        }
        const QString archive = backUpPath(name);
        if (zip) {
            EXPECT_EQ(runTool("unzip", {"-t", archive}), 0);
            EXPECT_EQ(runTool("7z", {"t", archive}), 0);
        } else {
            EXPECT_EQ(runTool("cabextract", {"-t", archive}), 0);
            EXPECT_EQ(runTool("gcab", {"-t", archive}), 0);
        }
        QTemporaryDir out;
        const int unpacked = zip ? archives::unpackZip(archive, "Kenvora.mdb", out.filePath("x"))
                                 : archives::unpackCab(archive, "Kenvora.mdb", out.filePath("x"));
        ASSERT_EQ(unpacked, 0);
        EXPECT_EQ(read(out.filePath("x")), read(file.path()));
    }
    EXPECT_EQ(filesIn(backUpDir.path()), (QStringList{"Kenvora.cab", "Kenvora.zip"}));
}

// An interruption at any moment must leave a complete backup under its own name: the
// previous one is never moved aside while the new one is written.
TEST_F(BackUp, ThePreviousBackUpKeepsItsNameWhileTheNewOneIsWritten) {
    for (int form = 0; form < 4; ++form) {
        const QString name = chooseForm(form);
        SCOPED_TRACE(name.toStdString());
        maintenance::BackUpDataBase();
        const QByteArray previous = read(backUpPath(name));
        ASSERT_FALSE(previous.isEmpty());

        QStringList seen;
        QTimer::singleShot(0, [&] { seen = filesIn(backUpDir.path()); });
        maintenance::BackUpDataBase();
        EXPECT_TRUE(seen.contains(name)) << seen.join(",").toStdString();
        EXPECT_FALSE(seen.contains("Kenvora.tmp"));
        EXPECT_TRUE(boxes->shown().empty()) << boxes->shownTexts().join("|").toStdString();
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

TEST_F(BackUp, WhatAnInterruptedBackUpLeftIsRecoveredAndCleanedUp) {
    // An older run moved the last plain backup aside and died while writing the new one.
    QFile::copy(file.path(), backUpPath("Kenvora.tmp"));
    write(backUpPath(".Kenvora.mdb.Ab12Cd"), "half a copy");
    write(backUpPath(".Kenvora.zip.Ab12Cd.Xy34Zw"), "libzip's half");
    write(backUpPath("..Kenvora.lzh.Ab12Cd.Xy34Zw"), "the archiver's half");
    write(backUpPath("notes.txt"), "the user's own file");
    // Now LZH is chosen: the plain backup comes back under its name beside the archive.
    settings().lha = true;
    maintenance::BackUpDataBase();
    EXPECT_TRUE(boxes->shown().empty()) << boxes->shownTexts().join("|").toStdString();
    EXPECT_EQ(filesIn(backUpDir.path()), (QStringList{"Kenvora.lzh", "Kenvora.mdb", "notes.txt"}));
    EXPECT_EQ(read(backUpPath("Kenvora.mdb")), read(file.path()));

    // With a backup of that form in place, the one under Kenvora.tmp is the older: it goes.
    QFile::copy(file.path(), backUpPath("Kenvora.tmp"));
    settings().lha = false;
    maintenance::BackUpDataBase();
    EXPECT_EQ(filesIn(backUpDir.path()), (QStringList{"Kenvora.lzh", "Kenvora.mdb", "notes.txt"}));
}

TEST_F(BackUp, APlainCopyIntoTheDatabasesOwnFolderIsRefusedHoweverItIsNamed) {
    const QFile::Permissions before = QFile::permissions(file.path());
    const QByteArray contents = read(file.path());
    QTemporaryDir links;
    ASSERT_TRUE(QFile::link(file.folder(), links.filePath("linked")));
    for (const QString& folder : {file.folder(), links.filePath("linked"),
                                  file.folder() + "/../" + QFileInfo(file.folder()).fileName()}) {
        SCOPED_TRACE(folder.toStdString());
        for (bool deleteBefore : {false, true}) {
            settings().folder = folder;
            settings().deleteBefore = deleteBefore;
            boxes->clearShown();
            QStringList seen;
            QTimer::singleShot(0, [&] { seen = filesIn(file.folder()); });
            maintenance::BackUpDataBase();
            QCoreApplication::processEvents();
            ASSERT_EQ(boxes->shown().size(), 1u);
            EXPECT_EQ(boxes->shown()[0].text,
                      "バックアップできません\nデータベースのあるディレクトリと\n"
                      "バックアップ先のディレクトリが同じです。");
            EXPECT_FALSE(seen.contains("Kenvora.tmp"));
            EXPECT_EQ(read(file.path()), contents);
            EXPECT_EQ(QFile::permissions(file.path()), before);
            EXPECT_FALSE(QFile::exists(file.folder() + "/Kenvora.tmp"));
        }
    }
    // An archive has a name of its own, so it may live beside the database.
    settings().folder = file.folder();
    settings().zip = true;
    boxes->clearShown();
    maintenance::BackUpDataBase();
    EXPECT_TRUE(boxes->shown().empty());
    EXPECT_TRUE(QFile::exists(file.folder() + "/Kenvora.zip"));
}

TEST_F(BackUp, AFolderNamedLikeTheDatabasesButInAnotherCaseIsAnotherFolder) {
    QTemporaryDir parent;
    ASSERT_TRUE(QDir(parent.path()).mkdir("Data"));
    ASSERT_TRUE(QDir(parent.path()).mkdir("data"));
    ASSERT_TRUE(QFile::copy(file.path(), parent.filePath("Data/Kenvora.mdb")));
    shell::mainModule().databaseFolder = parent.filePath("Data");
    settings().folder = parent.filePath("data");
    maintenance::BackUpDataBase();
    EXPECT_TRUE(boxes->shown().empty()) << boxes->shownTexts().join("|").toStdString();
    EXPECT_EQ(read(parent.filePath("data/Kenvora.mdb")), read(file.path()));
}

TEST_F(BackUp, DeleteBeforeDeletesFirstOnlyWhenTheMediumCannotHoldBoth) {
    settings().deleteBefore = true;
    write(backUpPath("Kenvora.mdb"), "previous backup");
    struct Restore {
        ~Restore() { maintenance::simulatedFreeSpace() = -1; }
    } restore;
    for (bool roomy : {true, false}) {
        SCOPED_TRACE(roomy ? "room for both" : "room for one");
        maintenance::simulatedFreeSpace() = roomy ? (1LL << 40) : 1024;
        bool oldThereWhileWriting = false;
        QTimer::singleShot(
            0, [&] { oldThereWhileWriting = QFile::exists(backUpPath("Kenvora.mdb")); });
        maintenance::BackUpDataBase();
        EXPECT_EQ(oldThereWhileWriting, roomy);
        EXPECT_EQ(read(backUpPath("Kenvora.mdb")), read(file.path()));
        EXPECT_EQ(filesIn(backUpDir.path()), QStringList{"Kenvora.mdb"});
        write(backUpPath("Kenvora.mdb"), "previous backup");
    }
}

TEST_F(BackUp, EveryFormKeepsTheDatabasesFileMode) {
    ASSERT_TRUE(QFile::setPermissions(
        file.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
    for (int form = 0; form < 4; ++form) {
        const QString name = chooseForm(form);
        maintenance::BackUpDataBase();
        EXPECT_EQ(maintenance::fileMode(backUpPath(name)), 0644) << name.toStdString();
    }
    // A backup the user made readable for the group keeps that.
    settings().lha = settings().zip = settings().cab = false;
    ASSERT_EQ(maintenance::setFileMode(backUpPath("Kenvora.mdb"), 0664), 0);
    maintenance::BackUpDataBase();
    EXPECT_EQ(maintenance::fileMode(backUpPath("Kenvora.mdb")), 0664);
}

TEST_F(BackUp, SystemErrorsAreWordedInJapanese) {
    settings().folder = backUpDir.path() + "/missing";
    maintenance::BackUpDataBase();
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].text,
              "バックアップに失敗しました。\nファイルまたはディレクトリが見つかりません。");
    EXPECT_EQ(SystemErrorText(ENOSPC), "ディスクの空き容量が足りません。");
    EXPECT_EQ(SystemErrorText(EROFS), "読み込み専用のファイルシステムです。");
    EXPECT_EQ(SystemErrorText(EEXIST), "ファイルが既に存在します。");
    EXPECT_EQ(SystemErrorText(EACCES), "アクセスが拒否されました。");
}
