#pragma once
#include <array>
#include <cstdint>

// Turns the power of one analysis bin into the host's spectrum byte.
//
// The intake shows a host byte b as 255 * log40(0.95 + b * 0.1525390625). A bin's level in
// dB is mapped to the rounded inverse of that curve, so once through the intake a bin's
// height is linear in dB: kFloorDb (and below) shows as 0, kCeilingDb as 254. The raw
// bytes, which the beat detector sums, then grow with amplitude as a power law (exponent
// 32 dB / 70 dB, close to a square root), so a kick's onset is a large jump in them.
// 0 dB is the peak bin of a full-scale sine centred on its bin: such a sine reaches 255
// only in that bin, and music, spread over many bins, stays well below it.
class SpectrumScale {
public:
    static constexpr double kFloorDb = -70.0;
    static constexpr double kCeilingDb = 0.0;

    // fullScalePower: the power the analysis gives a full-scale sine in its own bin.
    explicit SpectrumScale(double fullScalePower);
    uint8_t ByteForPower(double power) const;

private:
    std::array<double, 255> lowestPower_;  // entry b - 1: the lowest power that gives byte b
};
