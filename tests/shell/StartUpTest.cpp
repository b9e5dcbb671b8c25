// The start-up sequence: locating the database file, the main window's first geometry, the
// set menus, a second instance, and both error paths.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLockFile>
#include <QMenu>
#include <QTimer>

#include <sqlite3.h>

#include "ShellFixture.h"
#include "platform/ui/Twips.h"
#include "shell/MainModule.h"
#include "shell/UserSettings.h"

namespace {

using shell::mainModule;
using shell::StartUpOutcome;

const QString kNotFoundMessage =
    QStringLiteral("Kenvora.mdb ﾌｧｲﾙが見つかりません。\nKENVORAを終了します。");

class StartUpTest : public ShellFixture {};

TEST_F(StartUpTest, FileWithoutSetsShowsThePseudoItems) {
    int newSets = 0;
    int deletions = 0;
    shell::featureHooks().newDataBase = [&] { ++newSets; };
    shell::featureHooks().deleteDataBase = [&](std::int32_t) { ++deletions; };

    ASSERT_EQ(start(), StartUpOutcome::Running);
    EXPECT_TRUE(boxes->shown().empty());
    EXPECT_FALSE(splash->isVisible());  // hidden but still there for its timer
    EXPECT_EQ(splash->Label3->text(), QStringLiteral("Version %1").arg(KENVORA_VERSION));
    EXPECT_EQ(splash->tmrBackUp->interval(), 60000);
    EXPECT_FALSE(splash->tmrBackUp->isActive());  // the schedule is off in the supplied file
    ASSERT_TRUE(mdi()->isVisible());
    EXPECT_EQ(mdi()->windowTitle(), QStringLiteral("KENVORA"));
    EXPECT_EQ(mdi()->CommonDialog1.HelpFile, appDir.path() + QStringLiteral("/Kenvora.hlp"));
    EXPECT_EQ(mainModule().databaseFolder, file.folder());
    EXPECT_EQ(mainModule().openWindowCount, -1);
    EXPECT_FALSE(mainModule().settingsRecordset);  // closed again at the end

    ASSERT_EQ(mdi()->mnuDataBase().size(), 1u);
    ASSERT_EQ(mdi()->mnuDelDataBase().size(), 1u);
    EXPECT_EQ(mdi()->mnuDataBase()[0]->text(), QStringLiteral("新規データベース作成"));
    EXPECT_EQ(mdi()->mnuDataBase()[0]->data().toString(), QStringLiteral("-1"));
    EXPECT_EQ(mdi()->mnuDelDataBase()[0]->text(), QStringLiteral("データベースがありません"));
    EXPECT_EQ(mdi()->mnuDelDataBase()[0]->data().toString(), QStringLiteral("-1"));
    EXPECT_EQ(mdi()->mnuOpen->actions().size(), 1);

    // The pseudo-item of 開く creates a set; that of 削除 does nothing.
    mdi()->mnuDataBase()[0]->trigger();
    EXPECT_EQ(newSets, 1);
    mdi()->mnuDelDataBase()[0]->trigger();
    EXPECT_EQ(deletions, 0);
    EXPECT_TRUE(boxes->shown().empty());
}

TEST_F(StartUpTest, FirstRunWritesTheApplicationFolder) {
    ASSERT_TRUE(QFile::copy(file.path(), appDir.filePath(QStringLiteral("Kenvora.mdb"))));
    shell::writeFile0(QString());
    ASSERT_EQ(start(), StartUpOutcome::Running);
    EXPECT_EQ(shell::readFile0(), appDir.path());
    EXPECT_EQ(mainModule().databaseFolder, appDir.path());
    EXPECT_TRUE(boxes->shown().empty());
}

TEST_F(StartUpTest, TrailingSlashOfTheStoredFolderIsDropped) {
    shell::writeFile0(file.folder() + QStringLiteral("/"));
    ASSERT_EQ(start(), StartUpOutcome::Running);
    EXPECT_EQ(mainModule().databaseFolder, file.folder());
    EXPECT_TRUE(boxes->shown().empty());
}

TEST_F(StartUpTest, ThreeFailedChoicesEndTheProgram) {
    QTemporaryDir empty;
    shell::writeFile0(empty.path());
    // A file of another name counts as a failed choice, as does one that is not there.
    const QString otherName = empty.filePath(QStringLiteral("kenvora.mdb"));
    ASSERT_TRUE(QFile::copy(file.path(), otherName));
    boxes->queueCancel();
    boxes->queue(otherName);
    boxes->queue(empty.filePath(QStringLiteral("missing/Kenvora.mdb")));

    EXPECT_EQ(start(), StartUpOutcome::DatabaseNotFound);
    ASSERT_EQ(boxes->shown().size(), 4u);
    for (int i = 0; i < 3; ++i) {
        const ui::ShownDialog& d = boxes->shown()[i];
        EXPECT_EQ(d.kind, ui::DialogKind::OpenFile);
        EXPECT_EQ(d.openFile.title, QStringLiteral("Kenvora.mdb ﾌｧｲﾙが見つかりません"));
        EXPECT_EQ(d.openFile.filter, QStringLiteral("(*.mdb)|*.mdb"));
        EXPECT_EQ(d.openFile.fileName, QStringLiteral("Kenvora.mdb"));
        EXPECT_EQ(d.openFile.initDir, QDir::currentPath());
        EXPECT_EQ(d.openFile.flags, 0x81800);
    }
    EXPECT_EQ(boxes->shown()[3].text, kNotFoundMessage);
    EXPECT_EQ(boxes->shown()[3].title, QStringLiteral("データベースファイル"));
    EXPECT_EQ(boxes->shown()[3].buttons, ui::Buttons::OKOnly);
    EXPECT_EQ(shell::readFile0(), empty.path());  // unchanged
    EXPECT_FALSE(mainModule().database);
    EXPECT_FALSE(splash->isVisible());
    EXPECT_FALSE(mdi()->isVisible());
}

TEST_F(StartUpTest, ChosenFileGivesTheFolderAndIsRemembered) {
    QTemporaryDir empty;
    shell::writeFile0(empty.path());
    boxes->queueCancel();
    boxes->queue(file.path());
    ASSERT_EQ(start(), StartUpOutcome::Running);
    EXPECT_EQ(boxes->shown().size(), 2u);
    EXPECT_EQ(mainModule().databaseFolder, file.folder());
    EXPECT_EQ(shell::readFile0(), file.folder());
}

TEST_F(StartUpTest, SecondInstanceEndsAtOnce) {
    QLockFile other(lockPath());
    ASSERT_TRUE(other.tryLock(0));
    shell::writeFile0(QString());
    EXPECT_EQ(start(), StartUpOutcome::AlreadyRunning);
    EXPECT_TRUE(boxes->shown().empty());
    EXPECT_FALSE(splash->isVisible());
    EXPECT_EQ(mdi(), nullptr);
    EXPECT_EQ(shell::readFile0(), QString());  // nothing was read or written
}

TEST_F(StartUpTest, CorruptFileTakesTheDatabaseErrorPath) {
    QFile damaged(file.path());
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write(QByteArray(8192, 'x'));
    damaged.close();
    int recoveryShownAfter = -1;
    shell::featureHooks().showDatabaseErrorDialog = [&] {
        recoveryShownAfter = static_cast<int>(boxes->shown().size());
    };

    EXPECT_EQ(start(), StartUpOutcome::DatabaseError);
    ASSERT_EQ(boxes->shown().size(), 2u);
    EXPECT_FALSE(boxes->shown()[0].text.isEmpty());  // the error's own description
    EXPECT_EQ(boxes->shown()[0].title, QStringLiteral("データベースエラー"));
    EXPECT_EQ(recoveryShownAfter, 1);  // between the description and the last word
    EXPECT_EQ(boxes->shown()[1].text,
              QStringLiteral("KENVORAを終了します。再度立ち上げてください。"));
    EXPECT_EQ(boxes->shown()[1].title, QStringLiteral("データベースエラー"));
    EXPECT_FALSE(mainModule().database);
}

TEST_F(StartUpTest, ForeignDatabaseFileTakesTheDatabaseErrorPath) {
    // An SQLite file, but not ours: no tables.
    QFile empty(file.path());
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly | QIODevice::Truncate));
    empty.close();
    EXPECT_EQ(start(), StartUpOutcome::DatabaseError);
    ASSERT_EQ(boxes->shown().size(), 2u);
    EXPECT_EQ(boxes->shown()[1].text,
              QStringLiteral("KENVORAを終了します。再度立ち上げてください。"));
}

namespace {

// Runs SQLite statements on the test's file directly, as any SQLite tool can.
void alterWithSqlite(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

}  // namespace

// Fields in another order would take each other's data: such a file is refused on opening
// with the table named, and never written to.
TEST_F(StartUpTest, ATableWhoseFieldsDifferTakesTheDatabaseErrorPathNamingIt) {
    const QByteArray before = [&] {
        QFile f(file.path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    // Rebuilt with one more field after dbID.
    alterWithSqlite(file.path(),
                    "CREATE TABLE t AS SELECT ID, dbID, NULL AS 追加, 項目1, 項目2, 項目3, "
                    "コメント, 出展, 項目1RTF, 項目2RTF, 項目3RTF, コメントRTF, 出展RTF, 正解回数, "
                    "出題回数, 正解率, 登録日, 登録時刻 FROM データ; DROP TABLE データ; "
                    "ALTER TABLE t RENAME TO データ;");
    EXPECT_EQ(start(), StartUpOutcome::DatabaseError);
    ASSERT_EQ(boxes->shown().size(), 2u);
    EXPECT_EQ(boxes->shown()[0].text,
              QStringLiteral("テーブル 'データ' のフィールド構成が正しくありません。"));
    EXPECT_FALSE(mainModule().database);

    // A field dropped from another table.
    testing_support::TempDatabase dropped;
    alterWithSqlite(dropped.path(), "ALTER TABLE バックアップ設定 DROP COLUMN Cab;");
    shell::writeFile0(dropped.folder());
    boxes->clearShown();
    EXPECT_EQ(start(), StartUpOutcome::DatabaseError);
    ASSERT_FALSE(boxes->shown().empty());
    EXPECT_EQ(boxes->shown()[0].text,
              QStringLiteral("テーブル 'バックアップ設定' のフィールド構成が正しくありません。"));
}

TEST_F(StartUpTest, ExtraTablesIndexesAndTriggersAreNoReasonToRefuseAFile) {
    alterWithSqlite(file.path(),
                    "CREATE TABLE 単語索引 (語 TEXT, ID INTEGER); "
                    "CREATE INDEX 単語索引_語 ON 単語索引 (語); "
                    "CREATE TRIGGER 索引更新 AFTER DELETE ON データ BEGIN "
                    "DELETE FROM 単語索引 WHERE ID = old.ID; END;");
    EXPECT_EQ(start(), StartUpOutcome::Running);
    EXPECT_TRUE(boxes->shown().empty()) << boxes->shownTexts().join("|").toStdString();
}

TEST_F(StartUpTest, OtherErrorsShowErrorAndEnd) {
    addSet(1, QStringLiteral("英単語"), true);
    shell::featureHooks().openRecordWindowsAtStartUp = [] { throw std::runtime_error("壊れた窓"); };
    EXPECT_EQ(start(), StartUpOutcome::OtherError);
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].text, QStringLiteral("壊れた窓\nKENVORAを終了します。"));
    EXPECT_EQ(boxes->shown()[0].title, QStringLiteral("ERROR"));
}

TEST_F(StartUpTest, RecordWindowsAreReopenedOnlyWhenTheTableHasRows) {
    int reopened = 0;
    bool recordsetOpen = false;
    shell::featureHooks().openRecordWindowsAtStartUp = [&] {
        ++reopened;
        recordsetOpen = mainModule().settingsRecordset != nullptr;
    };
    ASSERT_EQ(start(), StartUpOutcome::Running);
    EXPECT_EQ(reopened, 0);
    closeMainWindow();

    addSet(2, QStringLiteral("歴史"), true);
    ASSERT_EQ(start(), StartUpOutcome::Running);
    EXPECT_EQ(reopened, 1);
    EXPECT_TRUE(recordsetOpen);
}

TEST_F(StartUpTest, MainWindowStartsCentredThenWhereItWasLeft) {
    ASSERT_EQ(start(), StartUpOutcome::Running);
    const QPoint centred = ui::centredOnScreen(ui::screenTwips(), 10005, 10395);
    EXPECT_EQ(mdi()->pos(), QPoint(ui::px(centred.x()), ui::px(centred.y())));
    EXPECT_EQ(mdi()->size(), QSize(ui::px(10005), ui::px(10395)));

    ui::setWindowGeometry(mdi(), {1500, 900, 9000, 7500});
    closeMainWindow();
    {
        auto db = openFile();
        auto rs = db->OpenRecordset(QStringLiteral("select  * from MDI画面設定"));
        ASSERT_EQ(rs->RecordCount(), 1);
        EXPECT_EQ(rs->value(QStringLiteral("画面X")).toDouble(), 1500.0);
        EXPECT_EQ(rs->value(QStringLiteral("画面Y")).toDouble(), 900.0);
        EXPECT_EQ(rs->value(QStringLiteral("画面幅")).toDouble(), 9000.0);
        EXPECT_EQ(rs->value(QStringLiteral("画面縦")).toDouble(), 7500.0);
        EXPECT_EQ(rs->value(QStringLiteral("WindowState")).toLong(), 0);
        db->Close();
    }

    ASSERT_EQ(start(), StartUpOutcome::Running);
    EXPECT_EQ(ui::windowGeometry(mdi()), (ui::TwipsRect{1500, 900, 9000, 7500}));
    // The next exit edits the row rather than adding one.
    ui::setWindowGeometry(mdi(), {300, 150, 12000, 9000});
    closeMainWindow();
    auto db = openFile();
    auto rs = db->OpenRecordset(QStringLiteral("select  * from MDI画面設定"));
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->value(QStringLiteral("画面幅")).toDouble(), 12000.0);
}

TEST_F(StartUpTest, MaximisedAtExitStartsMaximised) {
    {
        auto db = openFile();
        db->Execute(
            QStringLiteral("INSERT INTO MDI画面設定 (WindowState, 画面X, 画面Y, 画面幅, 画面縦) "
                           "VALUES (2, -60, -60, 20000, 16000)"));
        db->Close();
    }
    ASSERT_EQ(start(), StartUpOutcome::Running);
    EXPECT_TRUE(mdi()->isMaximized());
}

TEST_F(StartUpTest, IncompleteGeometryRowCountsAsNone) {
    {
        auto db = openFile();
        db->Execute(QStringLiteral("INSERT INTO MDI画面設定 (WindowState, 画面X) VALUES (0, 300)"));
        db->Close();
    }
    ASSERT_EQ(start(), StartUpOutcome::Running);
    EXPECT_EQ(mdi()->size(), QSize(ui::px(10005), ui::px(10395)));
    EXPECT_TRUE(boxes->shown().empty());
}

}  // namespace
