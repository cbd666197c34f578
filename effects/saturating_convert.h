#pragma once
#include <cstdint>

// Truncates toward zero like a plain conversion, but a value beyond the int32 range
// (which extreme preset values can produce) gives the nearest end of the range and NaN
// gives 0, instead of undefined behaviour.
inline int32_t SaturatingTrunc(double value) {
    if (!(value == value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}
