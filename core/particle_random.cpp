#include "core/particle_random.h"

namespace {
// Only the render thread draws numbers.
uint32_t state = 1;
}  // namespace

int32_t ParticleRandom() {
    state = state * 214013u + 2531011u;  // modulo 2^32 by unsigned wrap-around
    return int32_t((state >> 16) & 0x7FFF);
}

void ResetParticleRandom() { state = 1; }
