#pragma once

class QAbstractButton;
class QColor;
class QComboBox;
class QLineEdit;

namespace ui {

// Narrow combo boxes (a year in 735 twips) need a slim arrow and no padding to show their
// text; the windows' layouts give them no more room.
void makeCompact(QComboBox* combo);
// An editable combo whose text is a value (a rate, a date part, a time): typed text stays
// as typed, with no inline completion turning "5" into "55".
void makeValueCombo(QComboBox* combo);
// Likewise a narrow text box (a date in 975 twips): no padding inside its frame.
void makeCompact(QLineEdit* box);
// A caption longer than the room its button was given is drawn in a smaller face rather
// than cut off (down to 6 points).
void fitCaption(QAbstractButton* button);
// The colours of a compact text box. Its style sheet decides what is painted, so a
// palette set afterwards would not show.
void setCompactColors(QLineEdit* box, const QColor& back, const QColor& text);

}  // namespace ui
