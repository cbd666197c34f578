#include "effects/blitter_rows.h"

void PrepareColumnWalk(ColumnWalk& walk, uint64_t start, uint64_t step) {
    walk.start = start;
    walk.step = step;
    walk.advance = int32_t((step * ColumnWalk::kPeriod) >> 16);
    const int64_t column0 = int64_t(start >> 16);
    uint64_t x = start;
    for (int32_t j = 0; j < ColumnWalk::kPeriod; ++j, x += step) walk.from[j] = int32_t(int64_t(x >> 16) - column0);
    for (int32_t j = 0; j < ColumnWalk::kPeriod; ++j) {
        walk.in4[j] = walk.from[j] - walk.from[j & ~3] - (j & 3);
        walk.in8[j] = walk.from[j] - walk.from[j & ~7];
    }
}
