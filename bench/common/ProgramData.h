#pragma once

#include <QString>

#include "shell/DataStore.h"
#include "shell/MainModule.h"

namespace bench {

// The database of `folder` opened into the main module with its highest ID and set list,
// as start-up leaves them.
inline void openProgramData(const QString& folder) {
    shell::resetMainModule();
    shell::openDataStore(folder);
    shell::loadHighestID();
    shell::openSettingsRecordset();
    shell::rebuildDataBaseList();
    shell::mainModule().settingsRecordset.reset();
}

}  // namespace bench
