#pragma once
#include <cstddef>
#include <cstdint>

// The blur of one inner row on vector lanes, the same words as the plain in-order pass.
// row points at the row's first word, with whole rows above and below it; carry is the
// new word before it (the previous row's last); ahead is a row of the frame further down,
// only fetched into the cache. Returns the row's new last word.
uint32_t BlurRowSse2(uint32_t* row, size_t width, uint32_t carry, const uint32_t* ahead);
#if defined(__x86_64__)
uint32_t BlurRowAvx2(uint32_t* row, size_t width, uint32_t carry, const uint32_t* ahead);
#endif
