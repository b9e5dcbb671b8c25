#include "shell/frmMDI.h"
#include "shell/DataErrors.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoopLocker>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "platform/dao/DaoError.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Twips.h"
#include "shell/DataStore.h"
#include "shell/DataStoreConstants.h"
#include "shell/FeatureHooks.h"
#include "shell/FeatureWindows.h"
#include "shell/MainModule.h"
#include "shell/frmSplash.h"

namespace shell {

namespace {

FeatureHooks& hooks() {
    return featureHooks();
}

// Runs a hook when its feature is built; an empty hook does nothing.
template <typename Hook, typename... Args>
void run(const Hook& hook, Args&&... args) {
    if (hook) hook(std::forward<Args>(args)...);
}

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QMenu* addSubMenu(QMenu* parent, const char* name, const QString& caption) {
    QMenu* menu = parent->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* addItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

QAction* addSeparator(QMenu* menu, const char* name) {
    QAction* item = menu->addSeparator();
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

int windowStateOf(const QWidget* w) {
    if (w->isMinimized()) return 1;
    if (w->isMaximized()) return 2;
    return 0;
}

void showShutdownError(const QString& description) {
    ui::MsgBox(description, ui::Buttons::OKOnly, QString(), ui::Icon::Exclamation);
}

// Windows of later features are found by their names, so that the shell needs none of
// their headers.
void unloadWindowNamed(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name && w->isWindow()) w->close();
    }
}

}  // namespace

frmMDI::frmMDI() {
    setObjectName(QStringLiteral("frmMDI"));
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    MDIClient = new QMdiArea(this);
    MDIClient->setObjectName(QStringLiteral("MDIClient"));
    MDIClient->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(MDIClient);

    tmrMDI = new QTimer(this);
    tmrMDI->setObjectName(QStringLiteral("tmrMDI"));
    connect(tmrMDI, &QTimer::timeout, this, [this] { tmrMDI_Timer(); });

    buildMenus();
    exitMode = 0;
    mainModule().mdiForm = this;
}

frmMDI::~frmMDI() {
    if (mainModule().mdiForm == this) mainModule().mdiForm = nullptr;
}

void frmMDI::buildMenus() {
    QMenuBar* bar = menuBar();
    mnuFile = addMenu(bar, "mnuFile", QStringLiteral("ファイル(&F)"));
    mnuNewDataBase = addItem(mnuFile, "mnuNewDataBase", QStringLiteral("新規作成(&N)..."));
    mnuOpen = addSubMenu(mnuFile, "mnuOpen", QStringLiteral("開く(&O)"));
    mnuDelData = addSubMenu(mnuFile, "mnuDelData", QStringLiteral("削除(&D)"));
    mnuRestore = addItem(mnuFile, "mnuRestore", QStringLiteral("バックアップデータ復活"));
    mnuPartition1 = addSeparator(mnuFile, "mnuPartition1");
    mnuWorkAndEnd = addSubMenu(mnuFile, "mnuWorkAndEnd", QStringLiteral("作業後終了(&W)"));
    mnuOptEnd = addItem(mnuWorkAndEnd, "mnuOptEnd", QStringLiteral("最適化後終了(&O)"));
    mnuBackUpEnd = addItem(mnuWorkAndEnd, "mnuBackUpEnd", QStringLiteral("バックアップ後終了(&B)"));
    mnuOptBackUpEnd =
        addItem(mnuWorkAndEnd, "mnuOptBackUpEnd", QStringLiteral("最適化＆バックアップ後終了(&E)"));
    mnuEnd = addItem(mnuFile, "mnuEnd", QStringLiteral("終了(&X)"));
    mnuPartition4 = addSeparator(mnuFile, "mnuPartition4");
    mnuImport = addItem(mnuFile, "mnuImport", QStringLiteral("インポート(&I)..."));
    mnuExport = addItem(mnuFile, "mnuExport", QStringLiteral("エクスポート(&E)..."));

    mnuSearch0 = addMenu(bar, "mnuSearch0", QStringLiteral("検索(&S)"));
    mnuSearch = addItem(mnuSearch0, "mnuSearch", QStringLiteral("検索(&S)..."));

    mnuTest = addMenu(bar, "mnuTest", QStringLiteral("テスト(&T)"));
    mnuQuestion = addItem(mnuTest, "mnuQuestion", QStringLiteral("出題(&Q)"));
    mnuQuestion->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    mnuResult = addItem(mnuTest, "mnuResult", QStringLiteral("データベース別正解率(&R)"));

    mnuOption = addMenu(bar, "mnuOption", QStringLiteral("オプション(&O)"));
    mnuWindow = addItem(mnuOption, "mnuWindow", QStringLiteral("オプション設定(&O)..."));

    mnuHelp = addMenu(bar, "mnuHelp", QStringLiteral("ヘルプ(&H)"));
    mnuContents = addItem(mnuHelp, "mnuContents", QStringLiteral("目次(&C)..."));
    mnuKeyWord = addItem(mnuHelp, "mnuKeyWord", QStringLiteral("キーワード(&I)..."));
    mnuPatition2 = addSeparator(mnuHelp, "mnuPatition2");
    mnuWeb = addSubMenu(mnuHelp, "mnuWeb", QStringLiteral("ウェッブページ(&W)"));
    mnuMyHomePage = addItem(mnuWeb, "mnuMyHomePage", QStringLiteral("作者ホームページ(&R)"));
    mnuPartition3 = addSeparator(mnuHelp, "mnuPartition3");
    mnuVersion = addItem(mnuHelp, "mnuVersion", QStringLiteral("バージョン情報(&A)..."));

    dataBaseMenus_ = std::make_unique<DataBaseMenuArrays>(
        mnuOpen, mnuDelData, [this](int i) { mnuDataBase_Click(i); },
        [this](int i) { mnuDelDataBase_Click(i); });

    const auto on = [this](QAction* item, void (frmMDI::*handler)()) {
        connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };
    on(mnuNewDataBase, &frmMDI::mnuNewDataBase_Click);
    on(mnuRestore, &frmMDI::mnuRestore_Click);
    on(mnuOptEnd, &frmMDI::mnuOptEnd_Click);
    on(mnuBackUpEnd, &frmMDI::mnuBackUpEnd_Click);
    on(mnuOptBackUpEnd, &frmMDI::mnuOptBackUpEnd_Click);
    on(mnuEnd, &frmMDI::mnuEnd_Click);
    on(mnuImport, &frmMDI::mnuImport_Click);
    on(mnuExport, &frmMDI::mnuExport_Click);
    on(mnuSearch, &frmMDI::mnuSearch_Click);
    on(mnuQuestion, &frmMDI::mnuQuestion_Click);
    on(mnuResult, &frmMDI::mnuResult_Click);
    on(mnuWindow, &frmMDI::mnuWindow_Click);
    on(mnuContents, &frmMDI::mnuContents_Click);
    on(mnuKeyWord, &frmMDI::mnuKeyWord_Click);
    on(mnuMyHomePage, &frmMDI::mnuMyHomePage_Click);
    on(mnuVersion, &frmMDI::mnuVersion_Click);
}

QList<QMenu*> frmMDI::ownMenus() const {
    return {mnuFile, mnuSearch0, mnuTest, mnuOption, mnuHelp};
}

void frmMDI::showMenus(const QList<QMenu*>& menus) {
    QMenuBar* bar = menuBar();
    bar->clear();  // takes the menus off the bar; they stay owned by their windows
    for (QMenu* menu : menus) bar->addMenu(menu);
}

void frmMDI::mnuNewDataBase_Click() {
    run(hooks().newDataBase);
}

void frmMDI::mnuImport_Click() {
    run(hooks().importRecords, -1);
}

void frmMDI::mnuExport_Click() {
    run(hooks().exportRecords, -1);
}

void frmMDI::mnuDataBase_Click(int index) {
    const QAction* item = mnuDataBase().at(index);
    if (DataBaseMenuArrays::tagOf(mnuDataBase().front()) == QStringLiteral("-1")) {
        mnuNewDataBase_Click();
        return;
    }
    if (!hooks().findWindowSlot || !hooks().openRecordWindow) return;
    MainModule& m = mainModule();
    try {
        const QString tag = DataBaseMenuArrays::tagOf(item);
        openSettingsRecordset();
        m.settingsRecordset->FindFirst(QStringLiteral("dbID=") + tag);
        const int slot = hooks().findWindowSlot(tag.toInt());
        m.settingsRecordset.reset();
        m.childSettings.at(slot).name = item->text();
        hooks().openRecordWindow(slot);
        RefreshDataBaseMenu();
    } catch (const dao::DaoError& e) {
        m.settingsRecordset.reset();
        ReportDataError(e);
    }
}

void frmMDI::mnuDelDataBase_Click(int index) {
    if (!hooks().deleteDataBase) return;
    const std::vector<DataBaseEntry>& list = mainModule().dataBaseList;
    if (list.size() <= 2) return;  // only "データベースがありません" is shown
    const QString caption = mnuDelDataBase().at(index)->text();
    const QString question = QStringLiteral("データベース \"") + caption +
                             QStringLiteral("\" を削除します。\nよろしいですか。");
    if (ui::MsgBox(question, ui::Buttons::OKCancel, QStringLiteral("データベース削除")) !=
        ui::Answer::OK)
        return;
    QCoreApplication::processEvents();
    for (std::size_t i = 2; i < list.size(); ++i) {
        if (list[i].name == caption) {
            const std::int32_t dbID = list[i].dbID;
            try {
                hooks().deleteDataBase(dbID);
            } catch (const dao::DaoError& e) {
                ReportDataError(e);
            }
            return;
        }
    }
}

void frmMDI::mnuRestore_Click() {
    if (!hooks().restore) return;
    const QString question = QStringLiteral(
        "バックアップしているデータを復活しますか？\n"
        "データベース復活後KENVORAを終了します。\n"
        "再度立ち上げてください。\n"
        "（この後処理をキャンセルしてもKENVORAは終了します。）");
    if (ui::MsgBox(question, ui::Buttons::OKCancel, QStringLiteral("バックアップデータ復活")) !=
        ui::Answer::OK)
        return;
    try {
        hooks().restore();
    } catch (const dao::DaoError& e) {
        ReportDataError(e);
    }
    close();
}

int frmMDI::backUpExitMode(int wanted) {
    const MainModule& m = mainModule();
    // Only a plain copy takes the database file's own name; the archives have names of
    // their own. Compared as folders on disk: a case-sensitive disk has "Data" and "data".
    const bool plainCopy = !m.backUp.lha && !m.backUp.zip && !m.backUp.cab;
    if (plainCopy && isSameFolder(m.backUp.folder, m.databaseFolder)) {
        ShowSameFolderMessage();
        return 0;
    }
    return wanted;
}

void frmMDI::mnuOptEnd_Click() {
    exitMode = 1;
    close();
}

void frmMDI::mnuBackUpEnd_Click() {
    exitMode = backUpExitMode(2);
    close();
}

void frmMDI::mnuOptBackUpEnd_Click() {
    exitMode = backUpExitMode(3);
    close();
}

void frmMDI::mnuEnd_Click() {
    close();
}

void frmMDI::mnuSearch_Click() {
    run(hooks().search);
}
void frmMDI::mnuQuestion_Click() {
    run(hooks().test);
}
void frmMDI::mnuResult_Click() {
    run(hooks().rateStatistics);
}

void frmMDI::mnuWindow_Click() {
    run(hooks().options);
    setEnabled(true);
}

void frmMDI::mnuContents_Click() {
    CommonDialog1.HelpCommand = ui::HelpFinder;
    CommonDialog1.HelpKey.clear();
    CommonDialog1.ShowHelp();
}

void frmMDI::mnuKeyWord_Click() {
    CommonDialog1.HelpCommand = ui::HelpKey;
    CommonDialog1.HelpKey.clear();
    CommonDialog1.ShowHelp();
}

void frmMDI::mnuMyHomePage_Click() {
    OpenAuthorHomePage();
}

void frmMDI::mnuVersion_Click() {
    run(hooks().about);
}

void frmMDI::tmrMDI_Timer() {
    if (!mainModule().mdiRestore) return;
    tmrMDI->stop();
    showMinimized();
}

void frmMDI::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();
}

void frmMDI::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) run(hooks().mainWindowResized);
}

void frmMDI::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    run(hooks().mainWindowResized);
}

void frmMDI::Form_QueryUnload() {
    if (unloaded_) return;
    unloaded_ = true;
    // The main window is hidden from here on: without this Qt would quit as the first
    // message box of a failing step closes, and every later box would return unseen.
    const QEventLoopLocker keepRunningUntilDone;
    MainModule& m = mainModule();
    m.closing = true;
    tmrMDI->stop();

    // A restore that stopped after closing the database leaves nothing to write to.
    if (m.database) {
        try {
            openSettingsRecordset();
            if (m.openWindowCount >= 1) run(hooks().saveRecordWindowsAtShutdown);
            m.settingsRecordset.reset();
            hide();
            const ui::TwipsRect r = ui::windowGeometry(this);
            auto rs = m.database->OpenRecordset(QStringLiteral("select  * from MDI画面設定"),
                                                dao::dbOpenDynaset);
            if (rs->RecordCount() == 0) {
                rs->AddNew();
            } else {
                rs->MoveFirst();
                rs->Edit();
            }
            rs->Fields(QStringLiteral("画面X")) = static_cast<double>(r.left);
            rs->Fields(QStringLiteral("画面Y")) = static_cast<double>(r.top);
            rs->Fields(QStringLiteral("画面幅")) = static_cast<double>(r.width);
            rs->Fields(QStringLiteral("画面縦")) = static_cast<double>(r.height);
            rs->Fields(QStringLiteral("WindowState")) =
                static_cast<std::int16_t>(windowStateOf(this));
            rs->Update();
            rs->Close();
        } catch (const dao::DaoError& e) {
            // What was written stays written; the program still ends.
            m.settingsRecordset.reset();
            showShutdownError(e.description());
        }
    }
    hide();

    closeFeatureWindows(ClosingFor::Exit);
    // The help window would keep the program running after its last real window.
    unloadWindowNamed(QStringLiteral("HelpViewer"));
    if (frmSplash* splash = m.splashForm) splash->Form_Unload();

    try {
        switch (m.database ? exitMode : 0) {
            case 1:
                if (hooks().optimize) {
                    hooks().optimize(false);
                    break;
                }
                closeDataStore();
                break;
            case 2:
                if (hooks().backUp) {
                    closeDataStore();
                    hooks().backUp();
                    break;
                }
                closeDataStore();
                break;
            case 3:
                if (hooks().optimize) {
                    hooks().optimize(true);
                    break;
                }
                closeDataStore();
                break;
            default:
                closeDataStore();
                break;
        }
    } catch (const dao::DaoError& e) {
        showShutdownError(e.description());
        closeDataStore();
    }
}

void ShowHelp(int helpCommand, const QString& key) {
    frmMDI* mdi = mainModule().mdiForm;
    if (!mdi) return;
    mdi->CommonDialog1.HelpCommand = helpCommand;
    mdi->CommonDialog1.HelpKey = key;
    mdi->CommonDialog1.ShowHelp();
}

void OpenAuthorHomePage() {
    ui::dialogs().openUrl(QString::fromLatin1(kAuthorHomePage));
}

void ShowSameFolderMessage() {
    ui::MsgBox(QStringLiteral("バックアップできません\n"
                              "データベースのあるディレクトリと\n"
                              "バックアップ先のディレクトリが同じです。"),
               ui::Buttons::OKOnly);
}

void EndProgram() {
    if (frmMDI* mdi = mainModule().mdiForm) mdi->close();
}

}  // namespace shell
