// Twips and the centring rule for windows over the main window.
#include <gtest/gtest.h>

#include <QWidget>

#include "platform/ui/Twips.h"

namespace {

TEST(TwipsTest, ConvertsToTheNearestPixel) {
    EXPECT_EQ(ui::px(15), 1);
    EXPECT_EQ(ui::px(10005), 667);
    EXPECT_EQ(ui::px(7), 0);
    EXPECT_EQ(ui::px(8), 1);
    EXPECT_EQ(ui::px(-10000), -667);
    EXPECT_EQ(ui::twips(667), 10005);
    EXPECT_EQ(ui::toPixels({120, 1680, 9255, 6375}), QRect(8, 112, 617, 425));
}

TEST(TwipsTest, CentresOnTheMainWindowNeverLeftOrAboveIt) {
    const ui::TwipsRect main{1500, 300, 12000, 9000};
    EXPECT_EQ(ui::centredOn(main, 9570, 8820), QPoint(1500 + 1215, 300 + 90));
    // Larger than the main window: its left and top edge.
    EXPECT_EQ(ui::centredOn(main, 15000, 10000), QPoint(1500, 300));
    EXPECT_EQ(ui::centredOn(main, 9570, 10000), QPoint(1500 + 1215, 300));
}

TEST(TwipsTest, CentresOnTheScreenOrStartsAtItsEdge) {
    const ui::TwipsRect screen{0, 0, 19200, 15360};
    EXPECT_EQ(ui::centredOnScreen(screen, 10005, 10395), QPoint(4597, 2482));
    const ui::TwipsRect small{0, 0, 9600, 7200};
    EXPECT_EQ(ui::centredOnScreen(small, 10005, 10395), QPoint(0, 0));
}

TEST(TwipsTest, WindowGeometryRoundTrips) {
    QWidget window;
    const ui::TwipsRect r{1500, 900, 10005, 10395};
    ui::setWindowGeometry(&window, r);
    EXPECT_EQ(ui::windowGeometry(&window), r);
    QWidget other;
    ui::setWindowGeometry(&other, {0, 0, 3000, 1500});
    ui::centreOn(&other, &window);
    EXPECT_EQ(ui::windowGeometry(&other).left, 4995);  // 1500 + 3502, to whole pixels
}

}  // namespace
