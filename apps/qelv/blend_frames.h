#pragma once
#include <cstddef>
#include <cstdint>

// out = (old x (n - k) + new x k) / n in each of the four bytes of every word, rounded
// down: k = 0 gives old exactly, k = n gives new exactly. k is held within 0..n; n <= 0
// gives new. out may be either input.
void BlendFrames(const uint32_t* old, const uint32_t* fresh, uint32_t* out, size_t words, int64_t k, int64_t n);
