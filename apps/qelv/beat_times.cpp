#include "apps/qelv/beat_times.h"

#include "engine/engine.h"
#include "engine/lockstep_renderer.h"

namespace {
// The smallest frame there is: only the intake's verdict for each block is wanted.
constexpr int32_t kFrameSide = 8;
}  // namespace

std::vector<double> BeatTimes(const std::vector<SampleBlock>& blocks, double fps) {
    Engine engine;  // an empty chain: only the intake's verdict counts
    LockstepRenderer intake(engine, kFrameSide, kFrameSide);
    std::vector<double> times;
    for (size_t i = 0; i < blocks.size(); ++i) {
        intake.FeedBlock(blocks[i].bytes);
        if (intake.DrawFrame()) times.push_back(double(i) / fps);
    }
    return times;
}
