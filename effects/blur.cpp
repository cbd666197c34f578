#include "effects/blur.h"

#include <algorithm>
#include <cstddef>

#include "effects/blur_fast.h"
#include "effects/vector_isa.h"
#include "core/mmx.h"
#include "core/page_definition.h"

namespace {
// Each term is rounded down per channel before the sum, so no channel carries into the
// next. half keeps one bit less of green and red than of blue.
inline uint32_t Half(uint32_t w) { return (w >> 1) & 0x7E7E7E7Fu; }
inline uint32_t Quarter(uint32_t w) { return (w >> 2) & 0x3F3F3F3Fu; }
// Quarter with byte 3 shifted arithmetically; equal to Quarter for every 0x00RRGGBB pixel.
inline uint32_t Inner(uint32_t w) { return uint32_t(int32_t(w) >> 2) & 0xFF3F3F3Fu; }
}  // namespace

const PageDefinition* BlurEffect::page() const {
    static const PageDefinition definition = MakePage(109);
    return &definition;
}

// The frame is one run of words: a row's first pixel takes the previous row's last as its
// left neighbour and its last pixel the next row's first as its right. Words are replaced
// in memory order, so the left and upper neighbours are already blurred when read.
void BlurEffect::render(const uint8_t*, uint32_t* frame, int32_t width, int32_t height) {
    if (width <= 0 || height < 2) return;
    const size_t w = size_t(width);
    const size_t n = w * size_t(height);
    uint32_t* p = frame;

    p[0] = Half(p[1]) + Half(p[w]);
    for (size_t k = 1; k < w; ++k) p[k] = Half(p[k + w]) + Quarter(p[k - 1]) + Quarter(p[k + 1]);
    if (mmxAvailable) {
        // The packed path gives the same words row by row on vector lanes.
        uint32_t (*blurRow)(uint32_t*, size_t, uint32_t, const uint32_t*) = BlurRowSse2;
#if defined(__x86_64__)
        if (Avx2Usable()) blurRow = BlurRowAvx2;
#endif
        uint32_t carry = p[w - 1];
        for (size_t k = w; k < n - w; k += w) carry = blurRow(p + k, w, carry, p + std::min(k + 2 * w, n - w));
    } else {
        for (size_t k = w; k < n - w; ++k)
            p[k] = Inner(p[k + w]) + Inner(p[k - w]) + Inner(p[k - 1]) + Inner(p[k + 1]);
    }
    for (size_t k = n - w; k < n - 1; ++k) p[k] = Quarter(p[k - 1]) + Half(p[k - w]) + Quarter(p[k + 1]);
    p[n - 1] = Half(p[n - 1 - w]) + Half(p[n - 2]);
}
