#include "platform/ui/TabStrip.h"

namespace ui {

TabStrip::TabStrip(QWidget* parent) : QTabBar(parent) {
    setExpanding(false);
    setDrawBase(true);
    connect(this, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0) emit clicked(index + 1);
    });
}

int TabStrip::addTab(const QString& caption) {
    // The first tab is selected as it is added; that is no click.
    const QSignalBlocker quiet(this);
    return QTabBar::addTab(caption) + 1;
}

void TabStrip::setSelectedIndex(int index) {
    if (index >= 1 && index <= count()) setCurrentIndex(index - 1);
}

}  // namespace ui
