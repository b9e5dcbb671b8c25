#include "platform/ui/CompactCombo.h"

#include <QAbstractButton>
#include <QColor>
#include <QComboBox>
#include <QFont>
#include <QLineEdit>

namespace ui {

void makeValueCombo(QComboBox* combo) {
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
}

void makeCompact(QComboBox* combo) {
    // Styling the drop-down part hides the style's own arrow, so it brings its own.
    combo->setStyleSheet(
        QStringLiteral("QComboBox { padding: 0px 1px; }"
                       "QComboBox::drop-down { width: 11px; border: 0px; }"
                       "QComboBox::down-arrow { image: url(:/ui/down-arrow.png); }"));
    if (QLineEdit* edit = combo->lineEdit()) edit->setTextMargins(0, 0, 0, 0);
}

namespace {
const QString kCompactLineEdit = QStringLiteral("padding: 0px; border: 1px solid palette(mid);");
}

void makeCompact(QLineEdit* box) {
    box->setStyleSheet(QStringLiteral("QLineEdit { ") + kCompactLineEdit + QStringLiteral(" }"));
    box->setTextMargins(0, 0, 0, 0);
    // The substitute face runs a little wider than the one the widths were chosen for.
    QFont font = box->font();
    font.setPixelSize(10);
    box->setFont(font);
}

}  // namespace ui

namespace ui {

void fitCaption(QAbstractButton* button) {
    QFont font = button->font();
    while (button->sizeHint().width() > button->width() && font.pointSizeF() > 6) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        button->setFont(font);
    }
}

void setCompactColors(QLineEdit* box, const QColor& back, const QColor& text) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, back);
    palette.setColor(QPalette::Text, text);
    box->setPalette(palette);
    box->setStyleSheet(QStringLiteral("QLineEdit { %1 background-color: %2; color: %3; }")
                           .arg(kCompactLineEdit, back.name(), text.name()));
}

}  // namespace ui
