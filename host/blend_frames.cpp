#include "host/blend_frames.h"

#include <algorithm>

int32_t BlendWeight(int64_t k, int64_t n) {
    if (n <= 0) return 256;
    // 256 k stays far inside 64 bits for any n a fade can have.
    return int32_t(256 * std::clamp<int64_t>(k, 0, n) / n);
}

void BlendFrames(const uint32_t* old, const uint32_t* fresh, uint32_t* out, size_t words, int64_t k, int64_t n) {
    const uint32_t w = uint32_t(BlendWeight(k, n)), v = 256 - w;
    // Two bytes at a time, 16 bits apart: each weighted sum is at most 255 x 256, so none
    // carries into its neighbour.
    constexpr uint32_t kPair = 0x00FF00FF;
    for (size_t i = 0; i < words; ++i) {
        const uint32_t a = old[i], b = fresh[i];
        const uint32_t low = ((a & kPair) * v + (b & kPair) * w) >> 8 & kPair;
        const uint32_t high = ((a >> 8 & kPair) * v + (b >> 8 & kPair) * w) & ~kPair;
        out[i] = low | high;
    }
}
