#pragma once
#include <cstdint>

// The particles' own 15-bit generator: every build draws the same sequence, and the
// host's rand() is neither used nor disturbed. An engine holds one for all its particles,
// starting as a freshly loaded library's does.
class ParticleRandom {
public:
    int32_t Next();  // 0..32767
    // Back to the state of a freshly loaded library.
    void Reset() { state = 1; }

private:
    uint32_t state = 1;
};
