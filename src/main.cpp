#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "about/frmAbout.h"
#include "drill/frmJustAnswerRate.h"
#include "drill/frmTest.h"
#include "exchange/Exchange.h"
#include "maintenance/Maintenance.h"
#include "options/frmOption.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/SingleInstance.h"
#include "records/RecordMenus.h"
#include "records/RecordWindows.h"
#include "records/frmDrop.h"
#include "search/frmSearch.h"
#include "sets/DataBaseSets.h"
#include "sets/frmNewDataBase.h"
#include "shell/ApplicationIcon.h"
#include "shell/DataStoreConstants.h"
#include "shell/FeatureHooks.h"
#include "shell/MainModule.h"
#include "shell/frmMDI.h"
#include "shell/frmSplash.h"

namespace {

// Record windows open in the main window's MDI area, which exists once start-up has made
// the main window.
void useMainWindowArea() {
    if (shell::frmMDI* mdi = shell::mainModule().mdiForm;
        mdi && records::recordWindowArea() != mdi->MDIClient)
        records::setRecordWindowArea(mdi->MDIClient);
}

// The features reach each other through the shell's hook table; an entry is filled once
// its feature is built.
void installFeatureHooks() {
    shell::FeatureHooks& hooks = shell::featureHooks();
    hooks.newDataBase = [] { frmNewDataBase::showFor(shell::mainModule().mdiForm); };
    hooks.deleteDataBase = [](std::int32_t dbID) { sets::DeleteDataBase(dbID); };

    hooks.findWindowSlot = [](std::int32_t dbID) {
        useMainWindowArea();
        return records::FindWindowSlot(dbID);
    };
    hooks.openRecordWindow = [](int slot) {
        useMainWindowArea();
        records::OpenRecordWindow(slot);
    };
    hooks.openRecordWindowsAtStartUp = [] {
        useMainWindowArea();
        records::ReopenRecordWindows();
    };
    hooks.saveRecordWindowsAtShutdown = [] { records::CloseRecordWindowsForExit(); };
    hooks.refreshRecordWindowMenus = [] { records::rebuildRecordWindowSetMenus(); };
    hooks.mainWindowResized = [] { records::MainWindowResized(); };

    hooks.search = [] { search::ShowSearchWindow(); };
    hooks.test = [] { drill::ShowTestWindow(); };
    hooks.rateStatistics = [] { drill::ShowRateStatistics(); };
    hooks.options = [] { options::ShowOptionDialog(); };

    hooks.optimize = [](bool withBackUp) { maintenance::OptimizeDataBase(withBackUp); };
    hooks.backUp = [] { maintenance::BackUpDataBase(); };
    hooks.restore = [] { maintenance::RestoreDataBase(); };
    hooks.showDatabaseErrorDialog = [] { maintenance::ShowDatabaseErrorDialog(); };
    hooks.backUpTimerTick = [] { maintenance::BackUpTimerTick(); };

    hooks.about = [] { frmAbout::showModal(); };

    hooks.importRecords = [](std::int32_t dbID) { exchange::ShowImportDialog(dbID); };
    hooks.exportRecords = [](std::int32_t dbID) { exchange::ShowExportDialog(dbID); };
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(shell::kApplicationTitle));
    ui::setDefaultTitle(QString::fromLatin1(shell::kApplicationTitle));
    QCoreApplication::setApplicationVersion(QStringLiteral(KENVORA_VERSION));
    // Desktops match the windows to the menu entry (and its icon) by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(KENVORA_APP_ID));
    QApplication::setWindowIcon(shell::applicationIcon());

    // Qt's own dialogs (buttons of message boxes, the file dialog) in Japanese.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);

    // The windows' twip positions were laid out for a 9-point Japanese UI font.
    richtext::installFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));

    installFeatureHooks();
    Q_ASSERT_X(shell::missingFeatureHooks().isEmpty(), "main",
               qPrintable(shell::missingFeatureHooks().join(QLatin1Char(' '))));
    ui::SingleInstanceGuard instanceGuard(
        ui::SingleInstanceGuard::lockPathFor(QStringLiteral("kenvora.lock")));
    shell::mainModule().applicationPath = QCoreApplication::applicationDirPath();
    shell::frmSplash splash(instanceGuard);
    switch (splash.Form_Load()) {
        case shell::StartUpOutcome::Running:
            useMainWindowArea();
            return app.exec();
        case shell::StartUpOutcome::AlreadyRunning:
            return 0;
        default:
            return 1;
    }
}
