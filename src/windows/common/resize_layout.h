#pragma once

#include <optional>

class PlatformMetrics;
class QMainWindow;
class QWidget;

// Keeps a working window's one large control fitted to the window's size.
namespace resizelayout {

struct Margins {
    int widthA;   // twips between the window's width less its frame and the control's width
    int heightB;  // twips between the client height less the status bar and the control's height
};

struct Fit {
    // Twips; empty where the platform refuses the value (a negative size), so
    // the control keeps its size in that dimension.
    std::optional<float> width;
    std::optional<float> height;
};

// The control's size for a window of the given outer size and status bar
// height (twips). A statement that fails is passed over and the next one
// runs, as the layout always did: an allowance that cannot be computed
// stays 0, one that cannot be converted stays in pixels.
Fit fit(float windowWidth, float windowHeight, float statusBarHeight, const PlatformMetrics& metrics,
        Margins margins);

// Applies fit() to a window's control; never reports anything.
void refit(QMainWindow& window, QWidget& control, int statusBarHeightPixels, Margins margins);

// The main window may not grow past 5115 x 3900 twips: the size to set it
// back to, or nothing when it may stay.
struct Size {
    float width;
    float height;
};
std::optional<Size> mainWindowCap(float width, float height);

}  // namespace resizelayout
