#include "ShellFixture.h"

#include "platform/ui/HelpViewer.h"
#include "shell/DataStore.h"
#include "shell/DataStoreConstants.h"
#include "shell/MainModule.h"
#include "shell/UserSettings.h"

void ShellFixture::SetUp() {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    shell::resetMainModule();
    shell::resetFeatureHooks();
    shell::mainModule().applicationPath = appDir.path();
    shell::writeFile0(file.folder());
}

void ShellFixture::TearDown() {
    ui::closeHelpViewers();
    splash.reset();
    shell::closeDataStore();
    shell::resetMainModule();
    shell::resetFeatureHooks();
    guard.reset();
}

shell::StartUpOutcome ShellFixture::start() {
    splash.reset();
    if (!guard) guard = std::make_unique<ui::SingleInstanceGuard>(lockPath());
    splash = std::make_unique<shell::frmSplash>(*guard);
    return splash->Form_Load();
}

void ShellFixture::closeMainWindow() {
    mdi()->close();
}

std::unique_ptr<dao::Database> ShellFixture::openFile() const {
    return dao::OpenDatabase(file.path(), false, false, QString::fromLatin1(shell::kConnectString));
}

void ShellFixture::addSet(int dbID, const QString& name, bool reopen, int windowState) {
    auto db = openFile();
    db->Execute(
        QStringLiteral("INSERT INTO データベース設定 (dbID, データベース名, 終了状態, WindowState) "
                       "VALUES (%1, '%2', %3, %4)")
            .arg(dbID)
            .arg(name)
            .arg(reopen ? QStringLiteral("True") : QStringLiteral("False"))
            .arg(windowState));
    db->Close();
}
