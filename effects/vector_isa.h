#pragma once

// False keeps the packed paths on SSE2 even where AVX2 runs; tests use it to check both.
extern bool avx2Allowed;

// True when AVX2 is allowed and the processor and the operating system let this process
// run it. Only the x86-64 build carries AVX2 code; elsewhere this is always false.
bool Avx2Usable();
