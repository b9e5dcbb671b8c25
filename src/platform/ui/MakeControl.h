#pragma once

#include <QString>

#include "platform/ui/Twips.h"

namespace ui {

// A captioned control (label, button, check box, option button), named so that tests and
// assistive technology find it, at its design place in twips within its parent.
template <typename T>
T* make(QWidget* parent, const QString& objectName, const QString& caption, const TwipsRect& at) {
    auto* control = new T(caption, parent);
    control->setObjectName(objectName);
    place(control, at.left, at.top, at.width, at.height);
    return control;
}

// The same for a control that a layout places.
template <typename T>
T* make(QWidget* parent, const QString& objectName, const QString& caption) {
    auto* control = new T(caption, parent);
    control->setObjectName(objectName);
    return control;
}

}  // namespace ui
