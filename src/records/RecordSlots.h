#pragma once

#include <QString>

#include <cstdint>

class QMdiArea;
class QMdiSubWindow;
class frmMDIChild;

namespace dao {
class Recordset;
}
namespace shell {
struct ChildSettings;
}

// The record windows' slots in the open-window table: finding and opening a set's window,
// closing it, and all of them at start-up and exit.
namespace records {

// Where record windows open: the main window's MDI area (set by the main window).
void setRecordWindowArea(QMdiArea* area);
QMdiArea* recordWindowArea();

frmMDIChild* windowOfSlot(int slot);
// Makes the slot's window inside the MDI area, not yet shown.
frmMDIChild* createWindow(int slot);
shell::ChildSettings& settingsOf(int slot);
// The slot's records; null while its window is closed.
dao::Recordset* recordsOf(int slot);
// Opens the slot's set's records, oldest first.
void openRecords(int slot, bool newSlot);
QMdiSubWindow* subWindowOf(frmMDIChild* window);

// Finds or allocates the set's slot and opens its records. The shared settings recordset
// must be open on データベース設定.
int FindWindowSlot(std::int32_t dbID);
// Opens and shows the slot's window, or brings it forward when it is open.
void OpenRecordWindow(int slot);
// Closing by the user: saves a pending edit, then writes the window's state to its row.
// Returns false when the user cancelled.
bool CloseRecordWindow(int slot);

// Start-up: reopen the windows that were open at the last exit, the maximised one last.
void ReopenRecordWindows();
// Exit: save pending edits and write every open window's state with 終了状態 True, then
// close the windows.
void CloseRecordWindowsForExit();

// Opening a set from a menu item (caption and dbID).
void OpenDataBaseFromMenu(std::int32_t dbID, const QString& caption);

bool mainWindowMinimized();

}  // namespace records
