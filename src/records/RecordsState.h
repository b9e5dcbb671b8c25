#pragma once

#include <QPointer>

class QMdiArea;
class frmDrop;

namespace records {

// What the record windows keep between calls besides MainModule, in one place so that a test
// can start from nothing.
struct RecordsState {
    QPointer<QMdiArea> area;    // where record windows open; none: they are top-level windows
    QPointer<frmDrop> drop;     // the drop window while the main window is minimised
    bool dropResizing = false;  // showing or hiding the drop window resizes the main window
};

RecordsState& recordsState();
// Closes the drop window if one is open and forgets the area.
void resetRecordsState();

}  // namespace records
