#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Positions and sizes in the windows' own unit, twips (1/1440 inch). Qt works in
// device-independent pixels; one pixel is 15 twips, and Qt scales for high-DPI screens.
// Every conversion goes through here.
namespace ui {

inline constexpr int kTwipsPerPixel = 15;

// Twips to pixels, to the nearest pixel.
constexpr int px(int twips) {
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}
constexpr int twips(int pixels) {
    return pixels * kTwipsPerPixel;
}

// A rectangle in twips: Left, Top, Width, Height.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

QRect toPixels(const TwipsRect& r);
TwipsRect toTwips(const QRect& r);

// Places a control at (left, top, width, height) twips within its parent.
void place(QWidget* widget, int left, int top, int width, int height);

// Outer minus inner size of the sizable windows whose twip sizes are outer sizes (the
// search, test and statistics windows): the client area of a 9570 x 8535 window is
// 9450 x 8130.
inline constexpr int kSizableFrameWidth = 120;
inline constexpr int kSizableFrameHeight = 405;

// A window's Left, Top (frame position on the screen), Width and Height in twips.
TwipsRect windowGeometry(const QWidget* window);
void setWindowGeometry(QWidget* window, const TwipsRect& r);

// The screen the program runs on, in twips (the part windows may use).
TwipsRect screenTwips();

// A window over the main window is centred on it: left = main left +
// max(0, (main width - own width) / 2), top likewise.
QPoint centredOn(const TwipsRect& main, int width, int height);
void centreOn(QWidget* window, const QWidget* main);
// Gives a sizable window its outer size (client size plus the frame), as its smallest size
// too when asked, and centres it on the main window when there is one.
void placeSizableWindow(QWidget* window, const QWidget* main, int outerWidth, int outerHeight,
                        bool asSmallest);

// Centred on the screen; a window larger than the screen starts at the screen's edge.
QPoint centredOnScreen(const TwipsRect& screen, int width, int height);

}  // namespace ui
