#pragma once

#include <QAbstractButton>
#include <QPointer>

class QString;
class QWidget;

// What screen readers need from the windows beyond captions and tool tips.
namespace ui {

// Names a control after the caption beside it. Qt on Linux reports a combo box's value as
// its name and leaves the name to the label that points at it, so a combo also gets an
// unseen label, its buddy, carrying the name.
void nameControl(QWidget* control, const QString& name);

// The out-of-sight box that display boxes and buttons hand the focus to. Only the program
// puts the focus there: Tab never lands on it, nothing is dropped on it, and assistive
// technology sees an unseen part of the window without a role rather than a text field.
void makeFocusSink(QWidget* sink);

// A display-only box: a click still hands the focus on, Tab passes over it.
void makeDisplayOnly(QWidget* box);

// A button's command parks the focus out of sight; a button pressed from the keyboard
// takes it back afterwards, so the user stays where they were rather than on a box that
// reads as an empty text field. When the command disables the button, the focus goes to
// `instead` (the button that takes over its part), if given. Construct before the command runs.
class FocusReturn {
public:
    explicit FocusReturn(QAbstractButton* pressed, QAbstractButton* instead = nullptr);
    ~FocusReturn();
    FocusReturn(const FocusReturn&) = delete;
    FocusReturn& operator=(const FocusReturn&) = delete;

private:
    QPointer<QAbstractButton> pressed_;  // a command may close its window
    QPointer<QAbstractButton> instead_;
    bool hadFocus_;
};

}  // namespace ui
