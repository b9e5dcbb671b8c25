#include "platform/ui/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace ui {

QRect toPixels(const TwipsRect& r) {
    return QRect(px(r.left), px(r.top), px(r.width), px(r.height));
}

TwipsRect toTwips(const QRect& r) {
    return {twips(r.x()), twips(r.y()), twips(r.width()), twips(r.height())};
}

void place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(toPixels({left, top, width, height}));
}

TwipsRect windowGeometry(const QWidget* window) {
    // pos() of a window is its frame's position; size() its client size. Reading and
    // writing the same pair keeps a saved geometry exactly where it was.
    return {twips(window->x()), twips(window->y()), twips(window->width()),
            twips(window->height())};
}

void setWindowGeometry(QWidget* window, const TwipsRect& r) {
    window->move(px(r.left), px(r.top));
    window->resize(std::max(1, px(r.width)), std::max(1, px(r.height)));
}

TwipsRect screenTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {0, 0, twips(1024), twips(768)};
    return toTwips(screen->availableGeometry());
}

QPoint centredOn(const TwipsRect& main, int width, int height) {
    return QPoint(main.left + std::max(0, (main.width - width) / 2),
                  main.top + std::max(0, (main.height - height) / 2));
}

void centreOn(QWidget* window, const QWidget* main) {
    const TwipsRect own = windowGeometry(window);
    const QPoint at = centredOn(windowGeometry(main), own.width, own.height);
    window->move(px(at.x()), px(at.y()));
}

void placeSizableWindow(QWidget* window, const QWidget* main, int outerWidth, int outerHeight,
                        bool asSmallest) {
    const QSize client(px(outerWidth - kSizableFrameWidth), px(outerHeight - kSizableFrameHeight));
    window->resize(client);
    if (asSmallest) window->setMinimumSize(client);
    if (!main) return;
    const QPoint at = centredOn(windowGeometry(main), outerWidth, outerHeight);
    window->move(px(at.x()), px(at.y()));
}

QPoint centredOnScreen(const TwipsRect& screen, int width, int height) {
    return QPoint(screen.left + std::max(0, (screen.width - width) / 2),
                  screen.top + std::max(0, (screen.height - height) / 2));
}

}  // namespace ui
