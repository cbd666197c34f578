#include "effects/blur_rows.h"

#include "effects/blur_fast.h"
#include "effects/vector_isa.h"
#include "core/mmx.h"

namespace {
// Each term is rounded down per channel before the sum, so no channel carries into the
// next. half keeps one bit less of green and red than of blue.
inline uint32_t Half(uint32_t w) { return (w >> 1) & 0x7E7E7E7Fu; }
inline uint32_t Quarter(uint32_t w) { return (w >> 2) & 0x3F3F3F3Fu; }
// Quarter with byte 3 shifted arithmetically; equal to Quarter for every 0x00RRGGBB pixel.
inline uint32_t Inner(uint32_t w) { return uint32_t(int32_t(w) >> 2) & 0xFF3F3F3Fu; }

void TopRow(uint32_t* row, const uint32_t* below, size_t width) {
    const auto right = [&](size_t k) { return k + 1 < width ? row[k + 1] : below[0]; };
    row[0] = Half(right(0)) + Half(below[0]);
    for (size_t k = 1; k < width; ++k) row[k] = Half(below[k]) + Quarter(row[k - 1]) + Quarter(right(k));
}

void BottomRow(uint32_t* row, const uint32_t* above, size_t width) {
    uint32_t left = above[width - 1];
    for (size_t k = 0; k + 1 < width; ++k) left = row[k] = Quarter(left) + Half(above[k]) + Quarter(row[k + 1]);
    row[width - 1] = Half(above[width - 1]) + Half(left);
}
}  // namespace

void BlurInnerRowPlain(uint32_t* row, const uint32_t* above, const uint32_t* below, size_t width,
                       const uint32_t*) {
    uint32_t left = above[width - 1];
    for (size_t k = 0; k + 1 < width; ++k)
        left = row[k] = Inner(below[k]) + Inner(above[k]) + Inner(left) + Inner(row[k + 1]);
    row[width - 1] = Inner(below[width - 1]) + Inner(above[width - 1]) + Inner(left) + Inner(below[0]);
}

InnerBlurRow ChosenInnerBlurRow() {
    if (!mmxAvailable) return BlurInnerRowPlain;
#if defined(__x86_64__)
    if (Avx2Usable()) return BlurRowAvx2;
#endif
    return BlurRowSse2;
}

void BlurRows::Blur(int32_t y, uint32_t* row, const uint32_t* above, const uint32_t* below,
                    const uint32_t* ahead) const {
    if (y == 0) {
        TopRow(row, below, width);
    } else if (y == height - 1) {
        BottomRow(row, above, width);
    } else {
        inner(row, above, below, width, ahead);
    }
}

uint32_t BlurRows::Word(int32_t y, size_t x, uint32_t left, uint32_t above, uint32_t right, uint32_t below) const {
    if (y < height - 1) return Inner(below) + Inner(above) + Inner(left) + Inner(right);
    return x + 1 < width ? Quarter(left) + Half(above) + Quarter(right) : Half(above) + Half(left);
}
