#pragma once

#include <QRect>

class QWidget;

// Window geometry is designed in twips (1/1440 inch); the screen's logical
// resolution turns it into pixels, so windows keep their proportions.
namespace twips {

double perPixel();
int toPixels(int twips);
int fromPixels(int pixels);
QRect toPixels(int left, int top, int width, int height);

// Places a control at its designed rectangle, in twips from its parent's top left.
void place(QWidget* widget, int left, int top, int width, int height);

}  // namespace twips
