#include "platform/ui/Accessibility.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>

namespace ui {

void nameControl(QWidget* control, const QString& name) {
    control->setAccessibleName(name);
    if (!qobject_cast<QComboBox*>(control)) return;
    // Screen readers look for the label among the control's siblings; a visible one that
    // already points at the control names it.
    QWidget* parent = control->parentWidget();
    for (QLabel* beside : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (beside->buddy() == control && beside->isVisibleTo(parent)) return;
    auto* label = parent->findChild<QLabel*>(control->objectName() + QStringLiteral(".label"),
                                             Qt::FindDirectChildrenOnly);
    if (!label) {
        label = new QLabel(parent);
        label->setObjectName(control->objectName() + QStringLiteral(".label"));
        label->hide();
        label->setBuddy(control);
    }
    label->setText(name);
}

void makeFocusSink(QWidget* sink) {
    sink->setFocusPolicy(Qt::NoFocus);
    sink->setAcceptDrops(false);  // out of sight, so nothing is ever meant to land in it
}

void makeDisplayOnly(QWidget* box) {
    box->setFocusPolicy(Qt::ClickFocus);
}

FocusReturn::FocusReturn(QAbstractButton* pressed, QAbstractButton* instead)
    : pressed_(pressed), instead_(instead), hadFocus_(pressed->hasFocus()) {}

FocusReturn::~FocusReturn() {
    if (!hadFocus_) return;
    for (QAbstractButton* b : {pressed_.data(), instead_.data()}) {
        if (b && b->isVisible() && b->isEnabled()) {
            b->setFocus();
            return;
        }
    }
}

}  // namespace ui
