#pragma once

#include <QStringList>

#include <cstdint>
#include <functional>

// What the shell needs from the feature folders, which it may not include. main() fills
// the table as features are built; an empty entry means the feature is not there yet: its
// menu item does nothing and the start-up or shutdown step that needs it is skipped.
namespace shell {

struct FeatureHooks {
    // sets/
    std::function<void()> newDataBase;                      // show frmNewDataBase (modeless)
    std::function<void(std::int32_t dbID)> deleteDataBase;  // DeleteDataBase

    // records/
    std::function<int(std::int32_t dbID)> findWindowSlot;  // FindWindowSlot
    std::function<void(int slot)> openRecordWindow;        // OpenRecordWindow
    // Start-up: reopen the windows of the sets whose 終了状態 is True, the maximised last.
    std::function<void()> openRecordWindowsAtStartUp;
    // Shutdown (closing flag set): write each open window's state to its set's row with
    // 終了状態 True, then unload the windows.
    std::function<void()> saveRecordWindowsAtShutdown;
    // Rebuild the 開く and 削除 submenus of every open record window.
    std::function<void()> refreshRecordWindowMenus;
    // The main window was resized or changed state: the switch into the drop window.
    std::function<void()> mainWindowResized;

    // search/, test/, options/
    std::function<void()> search;          // frmSearch, modal
    std::function<void()> test;            // frmTest, modal
    std::function<void()> rateStatistics;  // frmJustAnswerRate, modal
    std::function<void()> options;         // frmOption, modeless

    // maintenance/
    std::function<void()> restore;                  // RestoreDataBase
    std::function<void(bool withBackUp)> optimize;  // OptimizeDataBase
    std::function<void()> backUp;                   // BackUpDataBase
    std::function<void()> showDatabaseErrorDialog;  // frmdbErr, modal
    std::function<void()> backUpTimerTick;          // tmrBackUp: the schedule check

    // about/
    std::function<void()> about;  // frmAbout, modal

    // exchange/: the set of the window the command came from, -1 from the main window.
    std::function<void(std::int32_t dbID)> importRecords;  // frmImport, modal
    std::function<void(std::int32_t dbID)> exportRecords;  // frmExport, modal
};

FeatureHooks& featureHooks();
// Empties the table (tests).
void resetFeatureHooks();
// The names of the entries still empty; main asserts there are none once every feature is in.
QStringList missingFeatureHooks(const FeatureHooks& hooks = featureHooks());

}  // namespace shell
