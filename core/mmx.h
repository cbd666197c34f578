#pragma once
#include <cstdint>

// 1 when the processor reports MMX, else 0; set by ProbeMmx at every Init. Effects with a
// packed path choose it by this flag; both paths give the same visible pixels.
extern int32_t mmxAvailable;

// Sets mmxAvailable from the processor identification; never faults.
void ProbeMmx();
