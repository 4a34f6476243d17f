#include "windows/common/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace twips {

double perPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

int toPixels(int twips) { return int(std::lround(twips / perPixel())); }

int fromPixels(int pixels) { return int(std::lround(pixels * perPixel())); }

QRect toPixels(int left, int top, int width, int height) {
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

void place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(toPixels(left, top, width, height));
}

}  // namespace twips
