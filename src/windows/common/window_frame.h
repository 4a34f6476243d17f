#pragma once

#include <QString>

class QLabel;
class QMainWindow;
class QStatusBar;

// The parts every window with a menu bar shares.
namespace windowframe {

// Sizes the window so that its client area (below the menu bar, status bar
// included) has the designed size in twips.
void setClientSize(QMainWindow* window, int widthTwips, int heightTwips);

// A status bar of the designed height showing a caption and, when
// dateWidthTwips is not 0, the current date in a panel of that width.
QStatusBar* addStatusBar(QMainWindow* window, const QString& caption, int heightTwips, int dateWidthTwips);

}  // namespace windowframe
