#include "common/Accessibility.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTextEdit>

namespace testing_support {

QString spokenName(QWidget* control) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(control);
    if (!iface) return {};
    for (const auto& [label, relation] : iface->relations(QAccessible::Label)) {
        const QString text = label->text(QAccessible::Name).trimmed();
        if (!text.isEmpty()) return text;
    }
    const QString name = iface->text(QAccessible::Name).trimmed();
    if (auto* combo = qobject_cast<QComboBox*>(control); combo && name == combo->currentText())
        return {};
    return name;
}

QList<QWidget*> interactiveControls(QWidget* window) {
    QList<QWidget*> controls;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() != window->window() || !w->isVisibleTo(window)) continue;
        // Out of the user's reach: no focus (unless a button or a drop target), or a part of
        // a tab bar (its scroll arrows).
        if (w->focusPolicy() == Qt::NoFocus && !qobject_cast<QAbstractButton*>(w) &&
            !w->acceptDrops())
            continue;
        if (qobject_cast<QTabBar*>(w->parentWidget())) continue;
        if (qobject_cast<QComboBox*>(w->parentWidget()) ||
            qobject_cast<QAbstractSpinBox*>(w->parentWidget()))
            continue;  // the line edit inside a combo or spin box
        const bool interactive =
            qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
            qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
            qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
            (qobject_cast<QAbstractItemView*>(w) && !qobject_cast<QHeaderView*>(w));
        if (interactive) controls.append(w);
    }
    return controls;
}

QStringList unnamedControls(QWidget* window) {
    QStringList unnamed;
    for (QWidget* w : interactiveControls(window))
        if (spokenName(w).isEmpty())
            unnamed << QStringLiteral("%1 (%2)").arg(
                w->objectName(), QString::fromLatin1(w->metaObject()->className()));
    return unnamed;
}

}  // namespace testing_support
