#include "windows/common/resize_layout.h"

#include <QMainWindow>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "windows/common/convert.h"
#include "windows/common/fitting.h"
#include "windows/common/platform_metrics.h"
#include "windows/common/twips.h"

namespace resizelayout {
namespace {

// A 32-bit sum stored in a 16-bit allowance, or nothing when it does not fit.
std::optional<std::int16_t> asAllowance(std::int64_t value) {
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max()) {
        return std::nullopt;
    }
    return std::int16_t(value);
}

std::optional<float> ifAccepted(float size) { return size >= 0 ? std::optional<float>(size) : std::nullopt; }

}  // namespace

Fit fit(float windowWidth, float windowHeight, float statusBarHeight, const PlatformMetrics& metrics,
        Margins margins) {
    std::int16_t horizontal = 0;
    std::int16_t vertical = 0;
    using M = PlatformMetrics;
    if (auto value = asAllowance(2LL * metrics.GetSystemMetrics(M::SM_CXFRAME))) horizontal = *value;
    const std::int64_t frame = 2LL * metrics.GetSystemMetrics(M::SM_CYFRAME);
    const std::int64_t caption = metrics.GetSystemMetrics(M::SM_CYCAPTION);
    const std::int64_t menu = metrics.GetSystemMetrics(M::SM_CYMENU);
    if (auto value = asAllowance(frame + caption + menu)) vertical = *value;
    try {
        convert::PixelsToTwips(horizontal, vertical, metrics);
    } catch (const std::overflow_error&) {
        // Skipped like any failing statement: the allowances go on as they are.
    }
    return {ifAccepted(windowWidth - float(horizontal) - float(margins.widthA)),
            ifAccepted(windowHeight - statusBarHeight - float(vertical) - float(margins.heightB))};
}

void refit(QMainWindow& window, QWidget& control, int statusBarHeightPixels, Margins margins) {
    const WindowMetrics metrics(window);
    const QRect outer = window.frameGeometry();
    const Fit size = fit(float(twips::fromPixels(outer.width())), float(twips::fromPixels(outer.height())),
                         float(twips::fromPixels(statusBarHeightPixels)), metrics, margins);
    if (size.width) control.resize(twips::toPixels(int(*size.width)), control.height());
    if (size.height) control.resize(control.width(), twips::toPixels(int(*size.height)));
    fitting::onWholeDevicePixels(&control);
    window.update();
}

std::optional<Size> mainWindowCap(float width, float height) {
    if (width > 5116.0f || height > 3901.0f) return Size{5115.0f, 3900.0f};
    return std::nullopt;
}

}  // namespace resizelayout
