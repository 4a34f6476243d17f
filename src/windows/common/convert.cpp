#include "windows/common/convert.h"

#include <cfenv>
#include <cmath>
#include <limits>

#include "windows/common/platform_metrics.h"

namespace convert {
namespace {

std::int32_t roundHalfEven(float factor) {
    const int previousMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const float rounded = std::nearbyint(factor);
    std::fesetround(previousMode);
    return std::int32_t(rounded);
}

std::int16_t product(std::int16_t pixels, float factor) {
    const std::int32_t twips = std::int32_t(pixels) * roundHalfEven(factor);
    if (twips < std::numeric_limits<std::int16_t>::min() || twips > std::numeric_limits<std::int16_t>::max()) {
        throw std::overflow_error("overflow");
    }
    return std::int16_t(twips);
}

}  // namespace

void PixelsToTwips(std::int16_t& x, std::int16_t& y, const PlatformMetrics& screen) {
    x = product(x, screen.TwipsPerPixelX());
    y = product(y, screen.TwipsPerPixelY());
}

}  // namespace convert
