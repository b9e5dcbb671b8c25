#pragma once

class QComboBox;
class QLineEdit;

namespace ui {

// Narrow combo boxes (a year in 735 twips) need a slim arrow and no padding to show their
// text; the windows' layouts give them no more room.
void makeCompact(QComboBox* combo);
// Likewise a narrow text box (a date in 975 twips): no padding inside its frame.
void makeCompact(QLineEdit* box);

}  // namespace ui
