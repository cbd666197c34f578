#pragma once
#include <cstdint>

// The column walk of a scaled row, prepared once per frame. Both scalings step a 16.16
// position by a multiple of 1/128 pixel, so 128 outputs always advance a whole number of
// source pixels and every period of 128 outputs picks the same pattern of source columns.
struct ColumnWalk {
    static constexpr int32_t kPeriod = 128;
    uint64_t start = 0, step = 0;
    int32_t advance = 0;  // source pixels per period
    // Per output j of a period: its source column minus that of output 0 (from), minus
    // that of the first output of its group of 4 and its place in the group (in4), and
    // minus that of the first output of its group of 8 (in8).
    int32_t from[kPeriod] = {};
    alignas(32) int32_t in4[kPeriod] = {};
    alignas(32) int32_t in8[kPeriod] = {};
};

// Fills walk for positions start + j x step; step is a multiple of 512 between 1/2 and
// 5/4 of a pixel.
void PrepareColumnWalk(ColumnWalk& walk, uint64_t start, uint64_t step);

// One scaled row on vector lanes, the same words as the plain walk: out[j] takes
// source[(start + j x step) >> 16], averaged with here[j] when blended. source holds
// sourceWidth words; out and here may be the same row, source another.
using ScaledRow = void (*)(uint32_t* out, const uint32_t* here, const uint32_t* source, int32_t sourceWidth,
                           int32_t count, const ColumnWalk& walk, bool blended);
void ScaleRowSse2(uint32_t* out, const uint32_t* here, const uint32_t* source, int32_t sourceWidth,
                  int32_t count, const ColumnWalk& walk, bool blended);
#if defined(__x86_64__)
void ScaleRowAvx2(uint32_t* out, const uint32_t* here, const uint32_t* source, int32_t sourceWidth,
                  int32_t count, const ColumnWalk& walk, bool blended);
#endif
