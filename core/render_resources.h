#pragma once
#include "core/frame_scratch.h"
#include "core/particle_random.h"
#include "core/worker_pool.h"

// What the effects of one chain share while they draw, lent to each effect with its
// frame: the particles' generator, one frame of scratch, and the threads that share
// whole-frame work by bands (core/row_bands.h), with a few rows of scratch per band.
struct RenderResources {
    ParticleRandom particleRandom;
    FrameScratch scratch;
    WorkerPool workers;
    FrameScratch bandRows;
};
