#pragma once
// The scaled row's walk over groups of V::kLanes outputs, written once over a vector type
// V and instantiated by each instruction-set file (blitter_sse2.cpp, blitter_avx2.cpp).
// V::Pick gathers a group from the source words at and after its first source column,
// reading at most V::kReach words from there; the rest of a row, where that would pass
// the end of the source, is done one pixel at a time.
#include <cstdint>

#include "effects/blitter_rows.h"

namespace {
inline uint32_t AverageWord(uint32_t a, uint32_t b) { return ((a & 0xFEFEFEFFu) + (b & 0xFEFEFEFFu)) >> 1; }

template <typename V, bool kBlended>
void ScaleRowOnLanes(uint32_t* out, const uint32_t* here, const uint32_t* source, int32_t sourceWidth,
                     int32_t count, const ColumnWalk& walk) {
    constexpr int32_t kLanes = V::kLanes;
    const bool shrinking = walk.step > 65536;
    int32_t j = 0;
    for (int64_t base = int64_t(walk.start >> 16);; base += walk.advance) {
        for (int32_t g = 0; g < ColumnWalk::kPeriod; g += kLanes) {
            const int64_t first = base + walk.from[g];
            if (j + kLanes > count || first + V::kReach > sourceWidth) goto rest;
            typename V::Reg v = V::Pick(source + first, walk, g, shrinking);
            if (kBlended) v = V::Average(v, V::Load(here + j));
            V::Store(out + j, v);
            j += kLanes;
        }
    }
rest:
    for (uint64_t x = walk.start + uint64_t(j) * walk.step; j < count; ++j, x += walk.step) {
        const uint32_t v = source[x >> 16];
        out[j] = kBlended ? AverageWord(v, here[j]) : v;
    }
}

template <typename V>
void ScaleRowOnLanes(uint32_t* out, const uint32_t* here, const uint32_t* source, int32_t sourceWidth,
                     int32_t count, const ColumnWalk& walk, bool blended) {
    if (blended) {
        ScaleRowOnLanes<V, true>(out, here, source, sourceWidth, count, walk);
    } else {
        ScaleRowOnLanes<V, false>(out, here, source, sourceWidth, count, walk);
    }
}
}  // namespace
