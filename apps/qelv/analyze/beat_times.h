#pragma once
#include <vector>

#include "engine/engine.h"
#include "engine/lockstep_renderer.h"
#include "player/sample_stream.h"

// The times, in seconds from the start, of the blocks at which the beat detector fires,
// with the beat settings in force, blocks being 1 / fps seconds apart. The blocks go
// through the same intake as when playing, with nothing drawn, one at a time, so a
// stream of any length is timed in fixed memory.
class BeatTimer {
public:
    explicit BeatTimer(double fps);
    // True when the detector fires at this block.
    bool Feed(const SampleBlock& block);
    double lastTime() const { return double(fed - 1) / fps; }

private:
    double fps;
    Engine engine;  // an empty chain: only the intake's verdict counts
    LockstepRenderer intake;
    long long fed = 0;
};

std::vector<double> BeatTimes(const std::vector<SampleBlock>& blocks, double fps);
