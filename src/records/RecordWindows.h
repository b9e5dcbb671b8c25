#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "shell/SetSettings.h"

class QMdiArea;
class QWidget;
class frmMDIChild;

namespace richtext {
class RichTextBox;
}

// The life of a record window's data: slots, opening, showing, saving, moving, splitting.
namespace records {

// Where record windows open: the main window's MDI area (set by the main window).
void setRecordWindowArea(QMdiArea* area);
QMdiArea* recordWindowArea();

frmMDIChild* windowOfSlot(int slot);

// Finds or allocates the set's slot and opens its records. The shared settings recordset
// must be open on データベース設定.
int FindWindowSlot(std::int32_t dbID);
// Opens and shows the slot's window, or brings it forward when it is open.
void OpenRecordWindow(int slot);
// Fills the window from the slot's current record (rate compared as an integer).
void ShowCurrentRecord(int slot);
// Writes the shown record back when needed (new, edited, or emptied).
void SaveCurrentRecord(int slot);
// Saves the pending edits of every open record window, in slot order.
void SaveAllRecordWindows();
// After the search or test window: the windows of the sets marked changed re-read their
// records and stay where they were.
void RefreshRecordWindows();

// Places the window's parts for its size and the set's use flags; nothing while the
// program closes or either window is minimised.
void LayoutRecordWindow(int slot);
// First activation: an empty set starts on an empty new record; events are enabled.
void ActivateRecordWindow(int slot);
// A rich text box changed (events enabled).
void RecordTextChanged(int slot, int box);
// Applies the set's display settings and shows the current record, as at opening.
void ApplyDisplaySettings(int slot);

// What the options dialog's rename page changed of a set.
struct RenamedSet {
    QString name;
    std::array<QString, 3> itemNames;
    std::array<QString, 2> delimiters;
    QString comment;
};
// What its display page changed.
struct DisplayChange {
    std::optional<std::int32_t> threshold;  // none when the typed one is no number
    std::array<std::int32_t, shell::kStyledBoxCount> backColors{};
    std::int32_t hidingColor = 0;
    std::array<bool, shell::kRecordTextBoxCount> use{};
};
// The one way the options dialog's changes reach the open record window of the set named
// `setName`; nothing when the set has none. A display change recolours the boxes and lays
// the window out again without reshowing the record, which would drop pending edits.
void ApplyOptionSettings(const QString& setName, const RenamedSet& change);
void ApplyOptionSettings(const QString& setName, const DisplayChange& change);

// The window's commands.
void MoveRecord(int slot, int button);  // 0 first, 1 previous, 2 next, 3 last
void NewRecord(int slot);
void DeleteRecord(int slot);
// Closing by the user: saves a pending edit, then writes the window's state to its row.
// Returns false when the user cancelled.
bool CloseRecordWindow(int slot);

// Delimiters.
void FillDelimiterCombos(int slot);
void MoveDelimiterToTop(int slot, int combo, int index);
void SplitAtDelimiter(int slot, int box);

// Delete at the caret: the selection, or the character after the caret.
void DeleteAtCursor(richtext::RichTextBox* box);

// Start-up: reopen the windows that were open at the last exit, the maximised one last.
void ReopenRecordWindows();
// Exit: save pending edits and write every open window's state with 終了状態 True, then
// close the windows.
void CloseRecordWindowsForExit();

// Opening a set from a menu item (caption and dbID).
void OpenDataBaseFromMenu(std::int32_t dbID, const QString& caption);

bool mainWindowMinimized();

// Runs a command of the window; a data access error is shown with the application title
// and the window stays usable.
void runReportingErrors(const std::function<void()>& command);

// The selection of whatever control has the focus (text, rich text or combo box).
QString selectedText(QWidget* control);
void replaceSelectedText(QWidget* control, const QString& text);

}  // namespace records
