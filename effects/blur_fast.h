#pragma once
#include <cstddef>
#include <cstdint>

// The blur of one inner row on vector lanes, the same words as the plain in-order pass
// (BlurInnerRowPlain in blur_rows.h, which describes the arguments).
void BlurRowSse2(uint32_t* row, const uint32_t* above, const uint32_t* below, size_t width, const uint32_t* ahead);
#if defined(__x86_64__)
void BlurRowAvx2(uint32_t* row, const uint32_t* above, const uint32_t* below, size_t width, const uint32_t* ahead);
#endif
