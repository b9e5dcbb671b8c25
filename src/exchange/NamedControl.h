#pragma once

#include <QString>

// Controls carry their own names, so that tests and tools find them.
template <typename Control>
Control* named(Control* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    return control;
}
