#pragma once

#include <QTabBar>

// The tab strip (`TabStrip1`): tabs numbered from 1, and a click notification that reports
// the selected tab's number.
namespace ui {

class TabStrip final : public QTabBar {
    Q_OBJECT
public:
    explicit TabStrip(QWidget* parent = nullptr);

    // Adds a tab at the end and returns its number (1, 2, ...).
    int addTab(const QString& caption);
    int selectedIndex() const { return currentIndex() + 1; }
    void setSelectedIndex(int index);
    QString caption(int index) const { return tabText(index - 1); }

signals:
    // The selected tab changed, by the user or by setSelectedIndex.
    void clicked(int index);
};

}  // namespace ui
