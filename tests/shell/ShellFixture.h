#pragma once

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include <memory>

#include "common/TempDatabase.h"
#include "platform/dao/Database.h"
#include "platform/ui/ScriptedDialogs.h"
#include "platform/ui/SingleInstance.h"
#include "shell/FeatureHooks.h"
#include "shell/frmMDI.h"
#include "shell/frmSplash.h"

// A fresh database, settings store, runtime folder and application folder per test, the
// scripted dialog service, and an empty hook table. start() runs the start-up sequence
// the way main() does.
class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    shell::StartUpOutcome start();
    // Ends the run the way the user does: closing the main window.
    void closeMainWindow();

    shell::frmMDI* mdi() const { return splash ? splash->mainWindow() : nullptr; }
    QString lockPath() const { return runtimeDir.filePath(QStringLiteral("kenvora.lock")); }
    // A separate connection to the test's database file.
    std::unique_ptr<dao::Database> openFile() const;
    void addSet(int dbID, const QString& name, bool reopen = false, int windowState = 0);

    QTemporaryDir settingsDir;
    QTemporaryDir runtimeDir;
    QTemporaryDir appDir;
    testing_support::TempDatabase file;
    ui::ScopedScriptedDialogs boxes;
    std::unique_ptr<ui::SingleInstanceGuard> guard;
    std::unique_ptr<shell::frmSplash> splash;
};
