#pragma once
#include "core/frame_scratch.h"
#include "core/particle_random.h"

// What the effects of one chain share while they draw, lent to each effect with its
// frame: the particles' generator and one frame of scratch.
struct RenderResources {
    ParticleRandom particleRandom;
    FrameScratch scratch;
};
