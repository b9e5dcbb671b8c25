#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include "common/TempDatabase.h"
#include "platform/ui/ScriptedDialogs.h"

// A fresh database opened into the main module, an empty backup folder, scripted dialogs.
class MaintenanceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString backUpPath(const QString& name) const { return backUpDir.path() + "/" + name; }
    // Runs one statement on a database file of its own (opened with the password).
    static void execute(const QString& path, const QString& sql);
    static QString scalar(const QString& path, const QString& sql);
    // A copy of the current database with one set named `setName` added.
    void makeDatabaseCopy(const QString& target, const QString& setName);
    static QByteArray read(const QString& path);
    static void write(const QString& path, const QByteArray& data);
    // Files in a folder, hidden ones included.
    static QStringList filesIn(const QString& folder);

    testing_support::TempDatabase file;
    QTemporaryDir backUpDir;
    ui::ScopedScriptedDialogs boxes;
};
