#include "core/particle_random.h"

int32_t ParticleRandom::Next() {
    state = state * 214013u + 2531011u;  // modulo 2^32 by unsigned wrap-around
    return int32_t((state >> 16) & 0x7FFF);
}
