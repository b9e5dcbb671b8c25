#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/dao/Database.h"
#include "shell/SetSettings.h"

class frmMDIChild;

namespace shell {
class frmMDI;
class frmSplash;
}  // namespace shell

namespace shell {

// One entry of the question-set list. Entries 0 and 1 are the pseudo-entries
// "新規データベース作成" and "データベースがありません" (dbID -1); the sets follow.
struct DataBaseEntry {
    QString name;
    std::int32_t dbID = -1;
    bool changed = false;  // set by search and test when they edit a record of the set
};

// One slot of the open-window table: a record window's set and its settings.
struct ChildSettings {
    std::int16_t dbID = 0;
    QString name;
    bool slotFree = false;
    bool activated = false;
    bool newRecord = false;  // the window shows an empty record not yet in the database
    int shownPosition = -1;  // AbsolutePosition of the record last shown
    SetSettings settings;
};

struct BackUpSettings {
    QString pattern;
    int hour = 0;
    int minute = 0;
    bool enabled = false;
    QString folder;              // no trailing "/"
    bool defaultFolder = false;  // フォルダ is Null: the folder follows the database
    bool deleteBefore = false;
    bool lha = false;
    bool zip = false;
    bool cab = false;
    bool loaded = false;  // read from the file this run (start-up can fail before that)
};

// The state every window shares. One object, reached through mainModule(); tests reset it.
struct MainModule {
    std::unique_ptr<dao::Workspace> workspace;
    std::unique_ptr<dao::Database> database;
    std::unique_ptr<dao::Recordset> settingsRecordset;  // "select  * from データベース設定"

    std::vector<DataBaseEntry> dataBaseList;

    // Parallel arrays by window slot.
    std::vector<frmMDIChild*> windows;
    std::vector<std::unique_ptr<dao::Recordset>> recordsets;
    std::vector<ChildSettings> childSettings;

    int openWindowCount = -1;  // -1 before the first window of the run
    bool closing = false;
    bool mdiRestore = true;     // the main window comes back when the drop window goes
    bool dropMode = false;      // the drop window stands in for the main window
    bool firstDisplay = false;  // a window opened by the program activates itself from its timer
    std::int32_t highestID = 0;
    BackUpSettings backUp;
    QDateTime lastScheduledBackUp;  // the minute the schedule last ran in
    QString databaseFolder;         // no trailing "/"
    QString applicationPath;

    // The two windows that live for the whole run; set while they exist.
    frmMDI* mdiForm = nullptr;
    frmSplash* splashForm = nullptr;
};

MainModule& mainModule();
void resetMainModule();

}  // namespace shell
