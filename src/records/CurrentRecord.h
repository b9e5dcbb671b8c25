#pragma once

#include <functional>

// The record a window shows: showing, saving, moving, new and delete, and re-reading after
// the search or test window changed records.
namespace records {

// Fills the window from the slot's current record (rate compared as an integer).
void ShowCurrentRecord(int slot);
// The display steps shared by opening (the rate compared with its decimals) and
// ShowCurrentRecord.
void showRecord(int slot, bool decimalComparison);
// Writes the shown record back when needed (new, edited, or emptied).
void SaveCurrentRecord(int slot);
// Saves the pending edits of every open record window, in slot order.
void SaveAllRecordWindows();
// After the search or test window: the windows of the sets marked changed re-read their
// records and stay where they were.
void RefreshRecordWindows();

// First activation: an empty set starts on an empty new record; events are enabled.
void ActivateRecordWindow(int slot);
// A rich text box changed (events enabled).
void RecordTextChanged(int slot, int box);

// The window's commands.
void MoveRecord(int slot, int button);  // 0 first, 1 previous, 2 next, 3 last
void NewRecord(int slot);
void DeleteRecord(int slot);

// Runs a command of the window; a data access error is shown with the application title
// and the window stays usable.
void runReportingErrors(const std::function<void()>& command);

}  // namespace records
