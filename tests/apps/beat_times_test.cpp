#include <gtest/gtest.h>

#include <cmath>

#include "apps/qelv/analyze/beat_times.h"
#include "engine/effect_chain.h"
#include "player/audio.h"

namespace {
// Silence with two short loud bursts: the detector fires at each burst's start and
// nowhere else, and a second run starts afresh.
TEST(BeatTimes, FindTheBurstsInSilence) {
    StereoAudio audio;
    audio.left.assign(size_t(audio.sampleRate) * 3, 0.0f);
    for (const double start : {1.0, 2.0})
        for (int i = 0; i < audio.sampleRate / 10; ++i)
            audio.left[size_t(start * audio.sampleRate) + size_t(i)] = std::sin(i * 0.07) > 0 ? 0.9f : -0.9f;
    audio.right = audio.left;
    const std::vector<SampleBlock> blocks = AnalyzeAudio(audio, 50);
    for (int run = 0; run < 2; ++run) {
        const std::vector<double> times = BeatTimes(blocks, 50);
        ASSERT_EQ(times.size(), 2u);
        EXPECT_NEAR(times[0], 1.0, 0.041);
        EXPECT_NEAR(times[1], 2.0, 0.041);
    }
}
}  // namespace
