#include "apps/qelv/blend_frames.h"

#include <algorithm>

void BlendFrames(const uint32_t* old, const uint32_t* fresh, uint32_t* out, size_t words, int64_t k, int64_t n) {
    if (n <= 0) n = k = 1;
    k = std::clamp<int64_t>(k, 0, n);
    // A byte times n stays far inside 64 bits for any n a transition can have.
    for (size_t i = 0; i < words; ++i) {
        uint32_t word = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const int64_t a = (old[i] >> shift) & 0xFF, b = (fresh[i] >> shift) & 0xFF;
            word |= uint32_t((a * (n - k) + b * k) / n) << shift;
        }
        out[i] = word;
    }
}
