#pragma once

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QMdiArea>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

#include "common/TempDatabase.h"
#include "platform/ui/ScriptedDialogs.h"

class frmMDIChild;

namespace richtext {
class RichTextBox;
}

// Types into a rich text box as a user does: Latin letters as key presses, Japanese as an
// input method commits it.
void typeInto(richtext::RichTextBox* box, const QString& text);

// A fresh database opened into the main module, an MDI area for the record windows, and
// scripted dialogs. Sets are added with the defaults a new set gets.
class RecordWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void addSet(int dbID, const QString& name, const QString& delimiters1 = "：",
                const QString& delimiters2 = "、");
    void addRecord(int id, int dbID, const QString& item1, const QString& date = "2024/01/01",
                   const QString& time = "10:00:00", int right = 0, int asked = 0);
    // Opens the set's window the way the menu does, and activates it.
    frmMDIChild* openSet(int dbID);
    QString field(int id, const QString& name);
    int recordCount(int dbID);

    QTemporaryDir settingsDir;
    testing_support::TempDatabase file;
    ui::ScopedScriptedDialogs boxes;
    std::unique_ptr<QMainWindow> main;
    QMdiArea* area = nullptr;
};
