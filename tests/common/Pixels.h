#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

namespace testing_support {

// The colour a user sees at a point of a widget, as it paints itself now.
inline QColor pixelAt(QWidget* widget, QPoint point) {
    return widget->grab().toImage().pixelColor(point * widget->devicePixelRatioF());
}

// The background a box paints inside its frame, away from its text: the left edge of a
// right-aligned box, the bottom of a rich box.
inline QColor backgroundOf(QWidget* box) {
    return pixelAt(box, QPoint(3, box->height() - 4));
}

}  // namespace testing_support
