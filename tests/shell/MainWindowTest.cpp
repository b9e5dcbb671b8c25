// The main window: its menu tree, the set menus, the menu commands that reach other
// features, the exit variants and the shutdown sequence.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "ShellFixture.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/MessageBox.h"
#include "shell/DataBaseMenu.h"
#include "shell/DataStore.h"
#include "shell/FeatureWindows.h"
#include "shell/MainModule.h"

namespace {

using shell::mainModule;
using shell::StartUpOutcome;

class MainWindowTest : public ShellFixture {
protected:
    QStringList captions(const QMenu* menu) {
        QStringList list;
        for (const QAction* a : menu->actions())
            list << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return list;
    }
};

TEST_F(MainWindowTest, MenuTreeCaptionsAndShortcut) {
    ASSERT_EQ(start(), StartUpOutcome::Running);
    QStringList top;
    for (const QAction* a : mdi()->menuBar()->actions()) top << a->text();
    EXPECT_EQ(top, (QStringList{"ファイル(&F)", "検索(&S)", "テスト(&T)", "オプション(&O)",
                                "ヘルプ(&H)"}));
    EXPECT_EQ(captions(mdi()->mnuFile),
              (QStringList{"新規作成(&N)...", "開く(&O)", "削除(&D)", "バックアップデータ復活", "-",
                           "作業後終了(&W)", "終了(&X)", "-", "インポート(&I)...",
                           "エクスポート(&E)..."}));
    EXPECT_EQ(captions(mdi()->mnuWorkAndEnd),
              (QStringList{"最適化後終了(&O)", "バックアップ後終了(&B)",
                           "最適化＆バックアップ後終了(&E)"}));
    EXPECT_EQ(captions(mdi()->mnuSearch0), QStringList{"検索(&S)..."});
    EXPECT_EQ(captions(mdi()->mnuTest), (QStringList{"出題(&Q)", "データベース別正解率(&R)"}));
    EXPECT_EQ(captions(mdi()->mnuOption), QStringList{"オプション設定(&O)..."});
    EXPECT_EQ(captions(mdi()->mnuHelp),
              (QStringList{"目次(&C)...", "キーワード(&I)...", "-", "ウェッブページ(&W)", "-",
                           "バージョン情報(&A)..."}));
    EXPECT_EQ(captions(mdi()->mnuWeb), QStringList{"作者ホームページ(&R)"});
    EXPECT_EQ(mdi()->mnuQuestion->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    // Found by name, as tests of other windows find them.
    EXPECT_EQ(mdi()->findChild<QAction*>(QStringLiteral("mnuDataBase(0)")),
              mdi()->mnuDataBase()[0]);
    EXPECT_EQ(mdi()->findChild<QMenu*>(QStringLiteral("mnuWorkAndEnd")), mdi()->mnuWorkAndEnd);
}

TEST_F(MainWindowTest, SetMenusFollowTheListAndDropThePseudoItems) {
    addSet(3, QStringLiteral("英単語"));
    addSet(1, QStringLiteral("歴史"));
    addSet(2, QStringLiteral("化学"));
    int childRefreshes = 0;
    shell::featureHooks().refreshRecordWindowMenus = [&] { ++childRefreshes; };
    ASSERT_EQ(start(), StartUpOutcome::Running);
    EXPECT_EQ(childRefreshes, 1);
    ASSERT_EQ(mdi()->mnuDataBase().size(), 3u);
    QStringList names, tags, deleteNames;
    for (const QAction* a : mdi()->mnuDataBase()) {
        names << a->text();
        tags << a->data().toString();
    }
    for (const QAction* a : mdi()->mnuDelDataBase()) deleteNames << a->text();
    EXPECT_EQ(names, (QStringList{"英単語", "歴史", "化学"}));
    EXPECT_EQ(tags, (QStringList{"3", "1", "2"}));
    EXPECT_EQ(deleteNames, names);
    EXPECT_EQ(mdi()->mnuOpen->actions().size(), 3);

    // Sets removed from the list: the menus shrink, and with none left the pseudo-items return.
    auto& list = mainModule().dataBaseList;
    list.erase(list.begin() + 3);
    shell::RefreshDataBaseMenu();
    ASSERT_EQ(mdi()->mnuDataBase().size(), 2u);
    EXPECT_EQ(mdi()->mnuDataBase()[1]->text(), QStringLiteral("化学"));
    list.resize(2);
    shell::RefreshDataBaseMenu();
    ASSERT_EQ(mdi()->mnuDataBase().size(), 1u);
    EXPECT_EQ(mdi()->mnuOpen->actions().size(), 1);
    EXPECT_EQ(mdi()->mnuDataBase()[0]->text(), QStringLiteral("新規データベース作成"));
    EXPECT_EQ(mdi()->mnuDelDataBase()[0]->data().toString(), QStringLiteral("-1"));
}

TEST_F(MainWindowTest, OpeningASetFromTheMenu) {
    addSet(4, QStringLiteral("英単語"));
    addSet(7, QStringLiteral("歴史"));
    std::int32_t foundFor = 0;
    int opened = -1;
    QString positionedOn;
    shell::featureHooks().findWindowSlot = [&](std::int32_t dbID) {
        foundFor = dbID;
        positionedOn =
            mainModule().settingsRecordset->value(QStringLiteral("データベース名")).toString();
        shell::LoadChildSettings(0, dbID);
        return 0;
    };
    shell::featureHooks().openRecordWindow = [&](int slot) { opened = slot; };
    int childRefreshes = 0;
    shell::featureHooks().refreshRecordWindowMenus = [&] { ++childRefreshes; };
    ASSERT_EQ(start(), StartUpOutcome::Running);

    mdi()->mnuDataBase()[1]->trigger();
    EXPECT_EQ(foundFor, 7);
    EXPECT_EQ(positionedOn, QStringLiteral("歴史"));
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(mainModule().childSettings[0].name, QStringLiteral("歴史"));
    EXPECT_FALSE(mainModule().settingsRecordset);
    EXPECT_EQ(childRefreshes, 2);  // start-up and after opening
}

TEST_F(MainWindowTest, DeletingASetAsksFirst) {
    addSet(2, QStringLiteral("英単語"));
    addSet(5, QStringLiteral("歴史"));
    std::vector<std::int32_t> deleted;
    shell::featureHooks().deleteDataBase = [&](std::int32_t dbID) { deleted.push_back(dbID); };
    ASSERT_EQ(start(), StartUpOutcome::Running);

    boxes->queueCancel();
    mdi()->mnuDelDataBase()[1]->trigger();
    EXPECT_TRUE(deleted.empty());
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].text,
              QStringLiteral("データベース \"歴史\" を削除します。\nよろしいですか。"));
    EXPECT_EQ(boxes->shown()[0].title, QStringLiteral("データベース削除"));
    EXPECT_EQ(boxes->shown()[0].buttons, ui::Buttons::OKCancel);

    boxes->queue(QStringLiteral("OK"));
    mdi()->mnuDelDataBase()[1]->trigger();
    EXPECT_EQ(deleted, std::vector<std::int32_t>{5});
}

TEST_F(MainWindowTest, CommandsOfFeaturesNotBuiltDoNothing) {
    ASSERT_EQ(start(), StartUpOutcome::Running);
    for (QAction* item :
         {mdi()->mnuNewDataBase, mdi()->mnuRestore, mdi()->mnuSearch, mdi()->mnuQuestion,
          mdi()->mnuResult, mdi()->mnuWindow, mdi()->mnuVersion})
        item->trigger();
    EXPECT_TRUE(boxes->shown().empty());
    EXPECT_TRUE(mdi()->isVisible());
    EXPECT_TRUE(mdi()->isEnabled());
}

TEST(FeatureHookTable, MissingEntriesAreNamedUntilEveryOneIsFilled) {
    shell::FeatureHooks hooks;
    const QStringList all = shell::missingFeatureHooks(hooks);
    EXPECT_EQ(all.size(), 20);
    EXPECT_EQ(all.front(), "newDataBase");
    EXPECT_TRUE(all.contains("backUpTimerTick"));
    EXPECT_EQ(all.back(), "exportRecords");

    hooks.search = [] {};
    hooks.importRecords = [](std::int32_t) {};
    const QStringList fewer = shell::missingFeatureHooks(hooks);
    EXPECT_EQ(fewer.size(), 18);
    EXPECT_FALSE(fewer.contains("search"));
    EXPECT_FALSE(fewer.contains("importRecords"));
    EXPECT_TRUE(fewer.contains("exportRecords"));
}

TEST_F(MainWindowTest, CommandsReachTheirFeatures) {
    QStringList calls;
    auto& hooks = shell::featureHooks();
    hooks.search = [&] { calls << "search"; };
    hooks.test = [&] { calls << "test"; };
    hooks.rateStatistics = [&] { calls << "rate"; };
    hooks.options = [&] { calls << "options"; };
    hooks.about = [&] { calls << "about"; };
    hooks.newDataBase = [&] { calls << "new"; };
    ASSERT_EQ(start(), StartUpOutcome::Running);
    mdi()->mnuSearch->trigger();
    mdi()->mnuQuestion->trigger();
    mdi()->mnuResult->trigger();
    mdi()->mnuWindow->trigger();
    mdi()->mnuVersion->trigger();
    mdi()->mnuNewDataBase->trigger();
    EXPECT_EQ(calls, (QStringList{"search", "test", "rate", "options", "about", "new"}));
}

TEST_F(MainWindowTest, HelpAndTheAuthorsPage) {
    ASSERT_EQ(start(), StartUpOutcome::Running);
    mdi()->mnuContents->trigger();
    mdi()->mnuKeyWord->trigger();
    mdi()->mnuMyHomePage->trigger();
    ASSERT_EQ(boxes->shown().size(), 3u);
    EXPECT_EQ(boxes->shown()[0].help.command, 11);
    EXPECT_EQ(boxes->shown()[0].help.helpFile, appDir.path() + QStringLiteral("/Kenvora.hlp"));
    EXPECT_EQ(boxes->shown()[1].help.command, 257);
    EXPECT_EQ(boxes->shown()[1].help.key, QString());
    EXPECT_EQ(boxes->shown()[2].kind, ui::DialogKind::Url);
    EXPECT_TRUE(boxes->shown()[2].url.startsWith(QStringLiteral("https://")));
}

TEST_F(MainWindowTest, ShutdownSavesWindowsAndClosesEverything) {
    bool closingWhenSaved = false;
    bool recordsetWhenSaved = false;
    int saves = 0;
    shell::featureHooks().saveRecordWindowsAtShutdown = [&] {
        ++saves;
        closingWhenSaved = mainModule().closing;
        recordsetWhenSaved = mainModule().settingsRecordset != nullptr;
    };
    ASSERT_EQ(start(), StartUpOutcome::Running);
    QWidget options;  // a modeless window of another feature
    options.setObjectName(QStringLiteral("frmOption"));
    options.show();
    ui::HelpViewer help(QStringLiteral(":/help/Kenvora"));
    EXPECT_EQ(help.windowTitle(), QStringLiteral("KENVORA ヘルプ"));
    help.show();
    splash->tmrBackUp->start();
    mainModule().openWindowCount = 2;

    mdi()->mnuEnd->trigger();
    EXPECT_EQ(saves, 1);
    EXPECT_TRUE(closingWhenSaved);
    EXPECT_TRUE(recordsetWhenSaved);
    EXPECT_FALSE(mainModule().settingsRecordset);
    EXPECT_FALSE(options.isVisible());
    EXPECT_FALSE(help.isVisible());
    EXPECT_FALSE(splash->tmrBackUp->isActive());
    EXPECT_FALSE(mdi()->isVisible());
    EXPECT_FALSE(mainModule().database);  // exit mode 0 closes it
    EXPECT_EQ(mdi()->exitMode, 0);
    EXPECT_TRUE(boxes->shown().empty());

    // Nothing to save when no record window was ever opened.
    mainModule().openWindowCount = -1;
    ASSERT_EQ(start(), StartUpOutcome::Running);
    closeMainWindow();
    EXPECT_EQ(saves, 1);
}

TEST_F(MainWindowTest, BackUpExitIsRefusedWhenTheFoldersAreTheSame) {
    QStringList calls;
    shell::featureHooks().backUp = [&] {
        calls << (mainModule().database ? "backup with the database open" : "backup");
    };
    ASSERT_EQ(start(), StartUpOutcome::Running);
    // The same folder under another name: a link to it.
    QTemporaryDir links;
    ASSERT_TRUE(QFile::link(file.folder(), links.filePath(QStringLiteral("linked"))));
    mainModule().backUp.folder = links.filePath(QStringLiteral("linked"));
    mainModule().backUp.lha = false;
    mdi()->mnuBackUpEnd->trigger();
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].text,
              QStringLiteral("バックアップできません\nデータベースのあるディレクトリと\n"
                             "バックアップ先のディレクトリが同じです。"));
    EXPECT_EQ(boxes->shown()[0].title, QStringLiteral("KENVORA"));
    EXPECT_EQ(mdi()->exitMode, 0);
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_TRUE(mdi()->unloaded());  // the program ends all the same

    // LZH packs the copy under another name, so the same folder will do.
    ASSERT_EQ(start(), StartUpOutcome::Running);
    mainModule().backUp.folder = file.folder();
    mainModule().backUp.lha = true;
    mdi()->mnuBackUpEnd->trigger();
    EXPECT_EQ(mdi()->exitMode, 2);
    EXPECT_EQ(calls, QStringList{"backup"});

    // On this disk a name in other case is another folder, and a plain copy may go there;
    // ZIP and CAB have names of their own too.
    QTemporaryDir parent;
    ASSERT_TRUE(QDir(parent.path()).mkdir(QStringLiteral("Data")));
    ASSERT_TRUE(QDir(parent.path()).mkdir(QStringLiteral("data")));
    for (int form = 0; form < 3; ++form) {
        ASSERT_EQ(start(), StartUpOutcome::Running);
        mainModule().databaseFolder = parent.filePath(QStringLiteral("Data"));
        mainModule().backUp.folder =
            form == 0 ? parent.filePath(QStringLiteral("data")) : mainModule().databaseFolder;
        mainModule().backUp.lha = false;
        mainModule().backUp.zip = form == 1;
        mainModule().backUp.cab = form == 2;
        boxes->clearShown();
        mdi()->mnuBackUpEnd->trigger();
        EXPECT_EQ(mdi()->exitMode, 2) << form;
        EXPECT_TRUE(boxes->shown().empty()) << form;
    }
}

// With the real message boxes, answered as they appear, inside the program's own loop: the
// main window is hidden by then, and each failing step must still get its box.
TEST_F(MainWindowTest, EveryFailingStepOfTheShutdownShowsItsBox) {
    shell::featureHooks().backUp = [] {
        ui::MsgBox(QStringLiteral("コピーできません"), ui::Buttons::OKOnly,
                   QStringLiteral("KENVORA"));
        QCoreApplication::processEvents();  // as the backup does between its steps
        ui::MsgBox(QStringLiteral("バックアップに失敗しました。"), ui::Buttons::OKOnly,
                   QStringLiteral("KENVORA"));
    };
    ASSERT_EQ(start(), StartUpOutcome::Running);
    mainModule().backUp.folder = QStringLiteral("/elsewhere");
    auto scripted = ui::setDialogService(nullptr);  // the real boxes

    QStringList answered;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        answered << box->text();
        QTest::mouseClick(box->buttons().value(0), Qt::LeftButton);
    });
    answer.start(30);
    QTimer::singleShot(0, mdi(), [this] { mdi()->mnuBackUpEnd->trigger(); });
    QTimer giveUp;
    QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::quit(); });
    giveUp.start(15000);
    QApplication::exec();
    ui::setDialogService(std::move(scripted));
    EXPECT_EQ(answered, (QStringList{"コピーできません", "バックアップに失敗しました。"}));
    EXPECT_TRUE(giveUp.isActive());  // the program ended by itself, after the last box
}

TEST_F(MainWindowTest, BackUpExitWorksWithTheSuppliedSettings) {
    // The supplied database names no backup folder; its default lies beside the database,
    // not in it, so the exit command is not refused.
    int backUps = 0;
    shell::featureHooks().backUp = [&] { ++backUps; };
    ASSERT_EQ(start(), StartUpOutcome::Running);
    EXPECT_EQ(mainModule().backUp.folder, file.folder() + "/backup");
    mdi()->mnuBackUpEnd->trigger();
    EXPECT_TRUE(boxes->shown().empty());
    EXPECT_EQ(mdi()->exitMode, 2);
    EXPECT_EQ(backUps, 1);
}

TEST_F(MainWindowTest, CompactionExitsPassTheBackUpChoice) {
    std::vector<bool> optimized;
    shell::featureHooks().optimize = [&](bool withBackUp) {
        optimized.push_back(withBackUp);
        shell::closeDataStore();
    };
    ASSERT_EQ(start(), StartUpOutcome::Running);
    mdi()->mnuOptEnd->trigger();
    EXPECT_EQ(optimized, std::vector<bool>{false});

    ASSERT_EQ(start(), StartUpOutcome::Running);
    mainModule().backUp.folder = QStringLiteral("/elsewhere");
    mdi()->mnuOptBackUpEnd->trigger();
    EXPECT_EQ(mdi()->exitMode, 3);
    EXPECT_EQ(optimized, (std::vector<bool>{false, true}));

    // Without compaction built, the exit closes the database like a plain exit.
    shell::featureHooks().optimize = nullptr;
    ASSERT_EQ(start(), StartUpOutcome::Running);
    mdi()->mnuOptEnd->trigger();
    EXPECT_FALSE(mainModule().database);
}

TEST_F(MainWindowTest, RestoreAsksThenEndsEvenWithoutADatabase) {
    int restores = 0;
    int saves = 0;
    shell::featureHooks().restore = [&] {
        ++restores;
        shell::closeDataStore();  // a restore that stopped after closing the file
    };
    shell::featureHooks().saveRecordWindowsAtShutdown = [&] { ++saves; };
    ASSERT_EQ(start(), StartUpOutcome::Running);
    mainModule().openWindowCount = 1;

    boxes->queueCancel();
    mdi()->mnuRestore->trigger();
    EXPECT_EQ(restores, 0);
    EXPECT_FALSE(mdi()->unloaded());
    EXPECT_EQ(boxes->shown()[0].text,
              QStringLiteral("バックアップしているデータを復活しますか？\n"
                             "データベース復活後KENVORAを終了します。\n再度立ち上げてください。\n"
                             "（この後処理をキャンセルしてもKENVORAは終了します。）"));
    EXPECT_EQ(boxes->shown()[0].title, QStringLiteral("バックアップデータ復活"));

    boxes->queue(QStringLiteral("OK"));
    mdi()->mnuRestore->trigger();
    EXPECT_EQ(restores, 1);
    EXPECT_TRUE(mdi()->unloaded());
    EXPECT_EQ(saves, 0);  // nothing is written without the database
    EXPECT_EQ(boxes->shown().size(), 2u);
    // No geometry row was written to a file that was closed.
    auto db = openFile();
    EXPECT_EQ(db->OpenRecordset(QStringLiteral("select  * from MDI画面設定"))->RecordCount(), 0);
}

TEST_F(MainWindowTest, FrameShowsAnActiveRecordWindowsMenus) {
    ASSERT_EQ(start(), StartUpOutcome::Running);
    QMenu own(QStringLiteral("編集(&E)"));
    mdi()->showMenus({mdi()->mnuFile, &own});
    ASSERT_EQ(mdi()->menuBar()->actions().size(), 2);
    EXPECT_EQ(mdi()->menuBar()->actions()[1]->text(), QStringLiteral("編集(&E)"));
    mdi()->showOwnMenus();
    EXPECT_EQ(mdi()->menuBar()->actions().size(), 5);
    EXPECT_EQ(mdi()->mnuFile->actions().size(), 10);  // the menus themselves were kept
}

}  // namespace

namespace {

// The shell closes feature windows it knows only by name: at exit all of them, hidden ones
// too; before a backup only the visible ones that hold data, counting the modal loops to unwind.
TEST(FeatureWindows, ExitClosesEveryFeatureWindowABackUpOnlyTheVisibleDataWindows) {
    const auto window = [](const char* name, bool visible, bool modal) {
        auto* w = new QDialog;
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->setObjectName(QString::fromLatin1(name));
        w->setModal(modal);
        if (visible) w->show();
        return QPointer<QDialog>(w);
    };
    QPointer<QDialog> search = window("frmSearch", true, true);
    QPointer<QDialog> drop = window("frmDrop", true, false);
    QPointer<QDialog> about = window("frmAbout", true, false);
    QPointer<QDialog> hiddenTest = window("frmTest", false, false);
    QPointer<QDialog> stranger = window("SomethingElse", true, false);

    EXPECT_EQ(shell::closeFeatureWindows(shell::ClosingFor::BackUp), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(search.isNull());
    EXPECT_TRUE(drop.isNull());
    EXPECT_FALSE(about.isNull());       // not a data window
    EXPECT_FALSE(hiddenTest.isNull());  // hidden: left for the exit

    EXPECT_EQ(shell::closeFeatureWindows(shell::ClosingFor::Exit), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(about.isNull());
    EXPECT_TRUE(hiddenTest.isNull());
    ASSERT_FALSE(stranger.isNull());
    delete stranger.data();
}

}  // namespace
