#pragma once
#include <cstddef>
#include <cstdint>

// The new frame's weight out of 256 after k of a fade's n blocks: floor(256 k / n), with k
// held within 0..n; n <= 0 gives 256.
int32_t BlendWeight(int64_t k, int64_t n);

// out = (old x (256 - w) + new x w) / 256 in each of the four bytes of every word, rounded
// down, with w = BlendWeight(k, n): k = 0 gives old exactly, k = n gives new exactly.
// out may be either input.
void BlendFrames(const uint32_t* old, const uint32_t* fresh, uint32_t* out, size_t words, int64_t k, int64_t n);
