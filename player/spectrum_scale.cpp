#include "player/spectrum_scale.h"

#include <algorithm>
#include <cmath>

namespace {
// The intake curve's input: 0.95 plus the byte times this step.
constexpr double kCurveStart = 0.95;
constexpr double kCurveStep = 0.1525390625;
}  // namespace

SpectrumScale::SpectrumScale(double fullScalePower) {
    const double range = kCeilingDb - kFloorDb;
    for (int b = 1; b <= 255; ++b) {
        // Byte b begins where the inverse curve, before rounding, reaches b - 0.5.
        const double position = std::log(kCurveStart + kCurveStep * (b - 0.5)) / std::log(40.0);
        const double levelDb = kFloorDb + position * range;
        lowestPower_[size_t(b - 1)] = fullScalePower * std::pow(10.0, levelDb / 10.0);
    }
}

uint8_t SpectrumScale::ByteForPower(double power) const {
    if (!(power >= lowestPower_[0])) return 0;  // also a NaN
    return uint8_t(std::upper_bound(lowestPower_.begin(), lowestPower_.end(), power) - lowestPower_.begin());
}
