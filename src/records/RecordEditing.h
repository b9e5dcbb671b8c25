#pragma once

#include <QString>

class QWidget;

namespace richtext {
class RichTextBox;
}

// Editing in a record window: the delimiter lists, splitting at a delimiter, deleting at
// the caret, and the selection of whatever control has the focus.
namespace records {

void FillDelimiterCombos(int slot);
void MoveDelimiterToTop(int slot, int combo, int index);
void SplitAtDelimiter(int slot, int box);

// Delete at the caret: the selection, or the character after the caret.
void DeleteAtCursor(richtext::RichTextBox* box);

// The selection of whatever control has the focus (text, rich text or combo box).
QString selectedText(QWidget* control);
void replaceSelectedText(QWidget* control, const QString& text);

}  // namespace records
