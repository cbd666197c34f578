#pragma once
// The column spans' walk over vector lanes, written once over a vector type V and
// instantiated by each instruction-set file (pixel_spans.cpp, pixel_spans_avx2.cpp).
#include <cstddef>
#include <cstdint>

#include "effects/line_drawing.h"

namespace {
template <typename V>
void AddColumnSpansOnLanes(uint32_t* pixels, int32_t pitch, const int32_t* top, const int32_t* bottom,
                           int32_t columns, uint32_t colour, int32_t first, int32_t end) {
    using Reg = typename V::Reg;
    if (columns <= 0) return;
    // AddPixel ignores the colour's byte 3 and clears byte 3 of every word it adds to.
    const Reg colourBytes = V::Set(int32_t(colour & 0x00FFFFFFu));
    const Reg byte3 = V::Set(int32_t(0xFF000000u));
    const int32_t grouped = columns - columns % V::kLanes;
    for (int32_t y = first; y < end; ++y) {
        uint32_t* row = pixels + ptrdiff_t(y) * pitch;
        const Reg here = V::Set(y), below = V::Set(y + 1);
        for (int32_t i = 0; i < grouped; i += V::kLanes) {
            const Reg inside = V::And(V::Greater(below, V::Load(top + i)), V::Greater(V::Load(bottom + i), here));
            if (V::Any(inside)) {
                const Reg sum = V::AddSaturated(V::Load(row + i), V::And(colourBytes, inside));
                V::Store(row + i, V::AndNot(V::And(inside, byte3), sum));
            }
        }
        for (int32_t i = grouped; i < columns; ++i)
            if (top[i] <= y && y < bottom[i]) row[i] = AddPixel(row[i], colour);
    }
}
}  // namespace
