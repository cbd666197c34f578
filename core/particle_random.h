#pragma once
#include <cstdint>

// The particle's own 15-bit generator, shared by every particle in the process: every
// build draws the same sequence, and the host's rand() is neither used nor disturbed.
int32_t ParticleRandom();  // 0..32767
// Back to the state of a freshly loaded library.
void ResetParticleRandom();
