#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace testing_support {

// What a screen reader announces as a control's name: the label that points at it (how Qt
// names controls on Linux), else its accessible name. A combo box's name that is only its
// current value names nothing.
QString spokenName(QWidget* control);

// The controls of a window that a user can reach and operate: buttons, check and option
// boxes, text, rich text and combo boxes, lists and grids, shown in the window as it is now;
// boxes that take the focus or a drop.
// Scroll bars, headers and the parts inside a combo box belong to their control.
QList<QWidget*> interactiveControls(QWidget* window);

// "objectName (class)" of every reachable control that has no spoken name, for a failure
// message; empty when all are named.
QStringList unnamedControls(QWidget* window);

}  // namespace testing_support
