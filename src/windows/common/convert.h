#pragma once

#include <cstdint>
#include <stdexcept>

class PlatformMetrics;

namespace convert {

// Turns a horizontal and a vertical pixel count into twips in place, with the
// screen's factors rounded half to even. Throws std::overflow_error when a
// product leaves the 16-bit range; y is then untouched, and x keeps whatever
// it had become.
void PixelsToTwips(std::int16_t& x, std::int16_t& y, const PlatformMetrics& screen);

}  // namespace convert
