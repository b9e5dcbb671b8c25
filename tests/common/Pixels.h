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

#include <QFontMetrics>
#include <QHeaderView>
#include <QStringList>
#include <QStyle>
#include <QTableView>

namespace testing_support {

// The captions of a grid's shown columns that its header cuts off, as drawn: each line
// of the label in its font must fit the section's width within the style's margins, and
// the lines the header's height.
inline QStringList clippedHeaderCaptions(QTableView* grid) {
    QStringList clipped;
    QHeaderView* header = grid->horizontalHeader();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    QAbstractItemModel* model = grid->model();
    for (int c = 0; c < model->columnCount(); ++c) {
        if (header->isSectionHidden(c) || header->sectionSize(c) == 0) continue;
        const QString label = model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        const QVariant font = model->headerData(c, Qt::Horizontal, Qt::FontRole);
        const QFontMetrics metrics(font.isValid() ? font.value<QFont>() : header->font());
        const QStringList lines = label.split(QLatin1Char('\n'));
        bool fits = lines.size() * metrics.lineSpacing() <= header->height();
        for (const QString& line : lines)
            fits = fits && metrics.horizontalAdvance(line) <= header->sectionSize(c) - 2 * margin;
        if (!fits) clipped << label;
    }
    return clipped;
}

}  // namespace testing_support
