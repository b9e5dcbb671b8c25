#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "maintenance/FileSteps.h"
#include "maintenance/Maintenance.h"
#include "maintenance/MaintenanceFixture.h"
#include "maintenance/Unlha.h"
#include "maintenance/frmdbErr.h"
#include "platform/lzh/Archives.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"

namespace {

class Restore : public MaintenanceTest {
protected:
    bool databaseOpen() const {
        const shell::MainModule& m = shell::mainModule();
        return m.database && m.database->isOpen();
    }
    QString setName() const {
        return scalar(file.path(), "SELECT データベース名 FROM データベース設定");
    }
    static int runTool(const QString& program, const QStringList& args, const QString& folder) {
        QProcess p;
        p.setWorkingDirectory(folder);
        p.start(program, args);
        return p.waitForFinished(60000) ? p.exitCode() : -1;
    }
    const QString unsuitable = QStringLiteral(
        "バックアップファイルが不適切です。\n"
        "ファイルが壊れているか本ソフトで作成したファイルではありません。");
};

}  // namespace

TEST_F(Restore, PlainBackUpReplacesTheDatabaseAndIsReopened) {
    makeDatabaseCopy(backUpPath("Kenvora.mdb"), "復元");
    maintenance::RestoreDataBase();
    EXPECT_TRUE(boxes->shown().empty()) << boxes->shownTexts().join("|").toStdString();
    ASSERT_TRUE(databaseOpen());
    auto rs = shell::mainModule().database->OpenRecordset("select  * from データベース設定");
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->value("データベース名").displayText(), "復元");
    rs->Close();
    // Nothing left of the work folder; the backup stays.
    EXPECT_EQ(QDir(file.folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"Kenvora.mdb"});
    EXPECT_TRUE(QFile::exists(backUpPath("Kenvora.mdb")));
}

TEST_F(Restore, NoBackUpAndThreeCancelledDialogsLeaveTheDatabaseAlone) {
    const QByteArray original = read(file.path());
    maintenance::RestoreDataBase();
    ASSERT_EQ(boxes->shown().size(), 4u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(boxes->shown()[i].kind, ui::DialogKind::OpenFile);
        EXPECT_EQ(boxes->shown()[i].openFile.title, "バックアップファイルが見つかりません");
        EXPECT_EQ(boxes->shown()[i].openFile.filter, "(*.mdb)|*.mdb");
        EXPECT_EQ(boxes->shown()[i].openFile.fileName, "Kenvora.mdb");
        EXPECT_EQ(boxes->shown()[i].openFile.flags, 0x81800);
    }
    EXPECT_EQ(boxes->shown()[3].text, "バックアップファイルが見つかりません。");
    EXPECT_EQ(boxes->shown()[3].title, "データベースエラー");
    EXPECT_TRUE(databaseOpen());
    EXPECT_EQ(read(file.path()), original);
}

TEST_F(Restore, ABackUpChosenInTheDialogIsUsed) {
    shell::mainModule().backUp.lha = true;
    QTemporaryDir elsewhere;
    const QString copy = elsewhere.path() + "/Kenvora.mdb";
    makeDatabaseCopy(copy, "選んだ");
    ASSERT_EQ(UnlhaCommand(nullptr, "a \"" + elsewhere.path() + "/old.lzh\" \"" + copy + "\""), 0);
    boxes->queue(elsewhere.path() + "/nothing-here.lzh");
    boxes->queue(elsewhere.path() + "/old.lzh");

    maintenance::RestoreDataBase();
    ASSERT_EQ(boxes->shown().size(), 2u) << boxes->shownTexts().join("|").toStdString();
    EXPECT_EQ(boxes->shown()[0].openFile.filter, "(*.lzh)|*.lzh");
    EXPECT_EQ(boxes->shown()[0].openFile.fileName, "Kenvora.lzh");
    EXPECT_TRUE(databaseOpen());
    EXPECT_EQ(setName(), "選んだ");
}

TEST_F(Restore, LzhArchiveReplacesEvenANewerFile) {
    shell::mainModule().backUp.lha = true;
    QTemporaryDir source;
    makeDatabaseCopy(source.path() + "/Kenvora.mdb", "書庫から");
    ASSERT_EQ(UnlhaCommand(nullptr, "a \"" + backUpPath("Kenvora.lzh") + "\" \"" + source.path() +
                                        "/Kenvora.mdb\""),
              0);
    // The database on disk is newer than the archived one.
    QFile f(file.path());
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.setFileTime(QDateTime::currentDateTime().addDays(1), QFileDevice::FileModificationTime);
    f.close();

    maintenance::RestoreDataBase();
    EXPECT_TRUE(boxes->shown().empty()) << boxes->shownTexts().join("|").toStdString();
    EXPECT_TRUE(databaseOpen());
    EXPECT_EQ(setName(), "書庫から");
}

TEST_F(Restore, ADamagedOrForeignBackUpNeverReplacesTheDatabase) {
    const QByteArray original = read(file.path());
    const auto expectRefused = [&](const QString& what) {
        ASSERT_EQ(boxes->shown().size(), 1u) << what.toStdString();
        EXPECT_EQ(boxes->shown()[0].text, unsuitable) << what.toStdString();
        EXPECT_EQ(boxes->shown()[0].title, "バックアップ");
        EXPECT_EQ(read(file.path()), original) << what.toStdString();
        EXPECT_TRUE(databaseOpen()) << what.toStdString();
        EXPECT_EQ(
            QDir(file.folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"Kenvora.mdb"});
        boxes->clearShown();
    };

    // A plain backup that is not a database.
    write(backUpPath("Kenvora.mdb"), QByteArray(4096, 'z'));
    maintenance::RestoreDataBase();
    expectRefused("junk");

    // A database with another password.
    QFile::remove(backUpPath("Kenvora.mdb"));
    ASSERT_TRUE(QFile::copy(file.path(), backUpPath("Kenvora.mdb")));
    QFile::setPermissions(backUpPath("Kenvora.mdb"), QFile::ReadOwner | QFile::WriteOwner);
    dao::SetDatabasePassword(backUpPath("Kenvora.mdb"), "other");
    maintenance::RestoreDataBase();
    expectRefused("other password");

    // LZH: not an archive at all, and an archive whose Kenvora.mdb is not our database.
    shell::mainModule().backUp.lha = true;
    write(backUpPath("Kenvora.lzh"), "not an archive");
    maintenance::RestoreDataBase();
    expectRefused("not lzh");

    QTemporaryDir source;
    write(source.path() + "/Kenvora.mdb", "text, not a database");
    QFile::remove(backUpPath("Kenvora.lzh"));
    ASSERT_EQ(UnlhaCommand(nullptr, "a \"" + backUpPath("Kenvora.lzh") + "\" \"" + source.path() +
                                        "/Kenvora.mdb\""),
              0);
    maintenance::RestoreDataBase();
    expectRefused("foreign member");
}

TEST_F(Restore, RecoveryDialogOffersRepairRestoreOrNothing) {
    frmdbErr dialog;
    EXPECT_EQ(dialog.windowTitle(), "データベースエラー");
    EXPECT_EQ(dialog.lbldbErr->text(),
              "データベースでエラーが発生しました。\n復旧方法を下記から選択してください。");
    EXPECT_EQ(dialog.optdbErr[1]->text(), "バックアップしたデータベースで復旧。");
    EXPECT_TRUE(dialog.optdbErr[0]->isChecked());

    // Nothing: the file and the open database stay as they are.
    const QByteArray original = read(file.path());
    dialog.optdbErr[2]->setChecked(true);
    dialog.cmdOK_Click();
    EXPECT_TRUE(databaseOpen());
    EXPECT_EQ(read(file.path()), original);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    // Restore.
    makeDatabaseCopy(backUpPath("Kenvora.mdb"), "復元");
    frmdbErr restore;
    restore.optdbErr[1]->setChecked(true);
    restore.cmdOK_Click();
    EXPECT_EQ(setName(), "復元");

    // Repair: compaction of the current file, which stays closed afterwards.
    frmdbErr repair;
    repair.cmdOK_Click();
    EXPECT_FALSE(shell::mainModule().database);
    EXPECT_EQ(setName(), "復元");
    EXPECT_FALSE(QFile::exists(file.folder() + "/KenvoraN.mdb"));

    // A repair that fails shows why and still closes the dialog.
    QFile::remove(file.path());
    frmdbErr failing;
    failing.cmdOK_Click();
    ASSERT_FALSE(boxes->shown().empty());
    EXPECT_EQ(boxes->shown().back().title, "データベースエラー");
}

TEST_F(Restore, ZipAndCabBackUpsRestoreWhoeverMadeThem) {
    QTemporaryDir source;
    makeDatabaseCopy(source.filePath("Kenvora.mdb"), "書庫");
    struct Maker {
        const char* name;
        bool zip;
        QString program;
        QStringList args;
    };
    const Maker makers[] = {
        {"ours (zip)", true, {}, {}},
        {"ours (cab)", false, {}, {}},
        {"zip -6", true, "zip", {"-q", "-6", backUpPath("Kenvora.zip"), "Kenvora.mdb"}},
        {"7z", true, "7z", {"a", "-tzip", backUpPath("Kenvora.zip"), "Kenvora.mdb"}},
        {"gcab -z", false, "gcab", {"-c", "-z", "-n", backUpPath("Kenvora.cab"), "Kenvora.mdb"}},
    };
    int round = 0;
    for (const Maker& maker : makers) {
        SCOPED_TRACE(maker.name);
        QFile::remove(backUpPath("Kenvora.zip"));
        QFile::remove(backUpPath("Kenvora.cab"));
        const QString setName = QString("書庫%1").arg(++round);
        execute(source.filePath("Kenvora.mdb"),
                "UPDATE データベース設定 SET データベース名 = '" + setName + "'");
        shell::MainModule& m = shell::mainModule();
        m.backUp.zip = maker.zip;
        m.backUp.cab = !maker.zip;
        if (maker.program.isEmpty()) {
            const int packed = maker.zip ? archives::packZip(backUpPath("Kenvora.zip"),
                                                             source.filePath("Kenvora.mdb"), 0644)
                                         : archives::packCab(backUpPath("Kenvora.cab"),
                                                             source.filePath("Kenvora.mdb"), 0644);
            ASSERT_EQ(packed, 0);
        } else {
            ASSERT_EQ(runTool(maker.program, maker.args, source.path()), 0);
        }
        boxes->clearShown();
        maintenance::RestoreDataBase();
        EXPECT_TRUE(boxes->shown().empty()) << boxes->shownTexts().join("|").toStdString();
        ASSERT_TRUE(databaseOpen());
        EXPECT_EQ(this->setName(), setName);
    }
    // A damaged archive is refused and the database stays.
    shell::mainModule().backUp.zip = true;
    shell::mainModule().backUp.cab = false;
    write(backUpPath("Kenvora.zip"), "PK\x03\x04 and nothing sound after it");
    boxes->clearShown();
    maintenance::RestoreDataBase();
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].text, unsuitable);
    EXPECT_TRUE(databaseOpen());
}

TEST_F(Restore, KeepsTheDatabasesFileModeAndCleansUpLeftovers) {
    ASSERT_EQ(maintenance::setFileMode(file.path(), 0640), 0);
    ASSERT_TRUE(QDir(file.folder()).mkdir(".Kenvora-restore-Ab12Cd"));
    write(file.folder() + "/.Kenvora-restore-Ab12Cd/Kenvora.mdb", "half");
    write(file.folder() + "/.Kenvora.mdb.Zz99Yy", "half");
    // Only the previous backup under the name an interrupted backup gave it.
    makeDatabaseCopy(backUpPath("Kenvora.tmp"), "一時名");

    maintenance::RestoreDataBase();
    EXPECT_TRUE(boxes->shown().empty()) << boxes->shownTexts().join("|").toStdString();
    EXPECT_EQ(setName(), "一時名");
    EXPECT_EQ(maintenance::fileMode(file.path()), 0640);
    EXPECT_EQ(QDir(file.folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"Kenvora.mdb"});
    EXPECT_EQ(filesIn(backUpDir.path()), QStringList{"Kenvora.mdb"});
}

// Start-up failed before it read the backup settings; the user picks the second option and
// presses OK, as in the dialog.
TEST_F(Restore, RecoveryDialogFindsAnLzhBackUpWhereTheFileSaysOrWhereTheUserPointsIt) {
    shell::MainModule& m = shell::mainModule();
    QTemporaryDir source;
    makeDatabaseCopy(source.filePath("Kenvora.mdb"), "書庫から");
    ASSERT_EQ(UnlhaCommand(nullptr, "a \"" + backUpPath("Kenvora.lzh") + "\" \"" +
                                        source.filePath("Kenvora.mdb") + "\""),
              0);
    execute(file.path(), "UPDATE バックアップ設定 SET フォルダ = '" + backUpDir.path() +
                             "', Lha = True, Zip = False, Cab = False");
    const auto chooseRestore = [] {
        frmdbErr dialog;
        QTest::mouseClick(dialog.findChild<QRadioButton*>("optdbErr(1)"), Qt::LeftButton);
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    };
    m.backUp = shell::BackUpSettings{};
    chooseRestore();
    EXPECT_TRUE(boxes->shown().empty()) << boxes->shownTexts().join("|").toStdString();
    EXPECT_EQ(setName(), "書庫から");

    // The file gives nothing now: the default folder is looked in, and the archive the user
    // then chooses is read as an archive although the defaults say plain copy.
    write(file.path(), QByteArray(8192, 'x'));
    m.backUp = shell::BackUpSettings{};
    shell::closeDataStore();
    boxes->queue(backUpPath("Kenvora.lzh"));
    chooseRestore();
    ASSERT_EQ(boxes->shown().size(), 1u) << boxes->shownTexts().join("|").toStdString();
    EXPECT_EQ(boxes->shown()[0].openFile.fileName, "Kenvora.mdb");
    EXPECT_EQ(m.backUp.folder, file.folder() + "/backup");  // the default beside the database
    EXPECT_EQ(setName(), "書庫から");
}
