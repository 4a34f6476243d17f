#pragma once

class QAbstractButton;
class QWidget;

// Controls placed at their designed rectangles, adjusted where the display
// scale or the theme's font would otherwise cut what they draw.
namespace fitting {

// A check box or option button grows to what its style's indicator and its
// caption's font need, about its designed middle line, and stays within its
// parent's designed width.
void roomForCaption(QAbstractButton* button, int parentWidthTwips);

// A framed box's edges move to whole pixels of the display (at 150 %, even
// pixels of the window), so that its frame is not lost between two of them;
// its present geometry is taken as its design, and kept so whenever the
// window is shown or resized.
void onWholeDevicePixels(QWidget* box);

}  // namespace fitting
