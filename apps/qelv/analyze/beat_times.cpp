#include "apps/qelv/analyze/beat_times.h"

namespace {
// The smallest frame there is: only the intake's verdict for each block is wanted.
constexpr int32_t kFrameSide = 8;
}  // namespace

BeatTimer::BeatTimer(double fps) : fps(fps), intake(engine, kFrameSide, kFrameSide) {}

bool BeatTimer::Feed(const SampleBlock& block) {
    ++fed;
    intake.FeedBlock(block.bytes);
    return intake.DrawFrame() != 0;
}

std::vector<double> BeatTimes(const std::vector<SampleBlock>& blocks, double fps) {
    BeatTimer timer(fps);
    std::vector<double> times;
    for (const SampleBlock& block : blocks)
        if (timer.Feed(block)) times.push_back(timer.lastTime());
    return times;
}
