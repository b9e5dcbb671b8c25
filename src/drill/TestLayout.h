#pragma once

#include <QString>

#include <vector>

// The test window's arrangement for a given outer size, in twips: the condition panel moves
// right with the width, the list and the item boxes grow, and the three item boxes share
// the extra height while the comment stays at the bottom.
namespace drill {

struct Placement {
    QString control;  // objectName, e.g. "cmdTest(0)"
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;  // 0 for the two lines
};

struct TestWindowLayout {
    double width = 0;  // after snapping to the smallest size
    double height = 0;
    std::vector<Placement> placements;
    const Placement* find(const QString& control) const;
};

constexpr double kTestWindowMinWidth = 9570;
constexpr double kTestWindowMinHeight = 8535;

TestWindowLayout layoutTestWindow(double outerWidth, double outerHeight);

}  // namespace drill
