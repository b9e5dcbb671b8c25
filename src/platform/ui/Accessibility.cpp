#include "platform/ui/Accessibility.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace ui {

namespace {

constexpr char kFocusSink[] = "focusSink";

// A focus sink as assistive technology sees it: an unseen part of the window with no role,
// which screen readers pass over.
class FocusSinkAccessible final : public QAccessibleWidget {
public:
    explicit FocusSinkAccessible(QWidget* sink) : QAccessibleWidget(sink, QAccessible::NoRole) {}
    QAccessible::State state() const override {
        QAccessible::State s;
        s.invisible = true;
        s.offscreen = true;
        return s;
    }
};

QAccessibleInterface* focusSinkFactory(const QString&, QObject* object) {
    if (object && object->isWidgetType() && object->property(kFocusSink).toBool())
        return new FocusSinkAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

}  // namespace

void nameControl(QWidget* control, const QString& name) {
    control->setAccessibleName(name);
    auto* combo = qobject_cast<QComboBox*>(control);
    if (!combo) return;
    if (combo->lineEdit()) combo->lineEdit()->setAccessibleName(name);
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
    static const bool installed = [] {
        QAccessible::installFactory(&focusSinkFactory);
        return true;
    }();
    (void)installed;
    sink->setFocusPolicy(Qt::NoFocus);
    sink->setAcceptDrops(false);  // out of sight, so nothing is ever meant to land in it
    sink->setProperty(kFocusSink, true);
    // A screen reader may have met the box before it became a sink.
    if (QAccessible::isActive()) {
        QAccessibleInterface* early = QAccessible::queryAccessibleInterface(sink);
        if (early && !dynamic_cast<FocusSinkAccessible*>(early))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(early));
    }
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
