#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/sample_intake.h"
#include "player/audio.h"

namespace {
// At 120 beats a minute and 50 blocks a second a beat is 25 blocks; the kicks fall on
// every beat but those of the break (beats 32..35), and once more at the end (beat 48).
constexpr int kBlocksPerBeat = 25;
bool KickOnBeat(int beat) { return beat < 32 || (beat > 35 && beat <= 48); }

// Made once: the track takes a moment to synthesise.
const StereoAudio& Demo() {
    static const StereoAudio audio = DemoTrack();
    return audio;
}
const std::vector<SampleBlock>& DemoBlocks() {
    static const std::vector<SampleBlock> blocks = AnalyzeAudio(Demo(), 50);
    return blocks;
}

// Mean raw spectrum byte of both channels over bins 1..4 (about 40..190 Hz).
double BassBand(const SampleBlock& block) {
    double sum = 0.0;
    for (int i = 1; i <= 4; ++i) sum += block.bytes[i] + block.bytes[576 + i];
    return sum / 8.0;
}

TEST(DemoTrack, IsTheSameOnEveryRunAndFitsTheRange) {
    const StereoAudio& a = Demo();
    const StereoAudio b = DemoTrack();
    EXPECT_EQ(a.sampleRate, 44100);
    ASSERT_EQ(a.left.size(), 25u * 44100);
    ASSERT_EQ(a.right.size(), a.left.size());
    EXPECT_EQ(0, std::memcmp(a.left.data(), b.left.data(), a.left.size() * sizeof(float)));
    EXPECT_EQ(0, std::memcmp(a.right.data(), b.right.data(), a.right.size() * sizeof(float)));
    float peak = 0.0f;
    for (size_t n = 0; n < a.left.size(); ++n) peak = std::max({peak, std::fabs(a.left[n]), std::fabs(a.right[n])});
    EXPECT_LT(peak, 1.0f);
    EXPECT_GT(peak, 0.5f);
}

// The track is made of integer noise and IEEE double arithmetic alone, so its samples
// are the same bits on every machine; this pins them.
TEST(DemoTrack, SamplesArePinned) {
    uint64_t hash = 14695981039346656037u;  // FNV-1a over the float bits, left then right
    for (const auto* channel : {&Demo().left, &Demo().right})
        for (float sample : *channel) {
            uint32_t bits;
            std::memcpy(&bits, &sample, sizeof bits);
            hash = (hash ^ bits) * 1099511628211u;
        }
    EXPECT_EQ(hash, 14412760149029325441u);
}

TEST(DemoTrack, FollowsTheRequestedRate) {
    const StereoAudio audio = DemoTrack(48000);
    EXPECT_EQ(audio.sampleRate, 48000);
    EXPECT_EQ(audio.left.size(), 25u * 48000);
    EXPECT_TRUE(DemoTrack(0).left.empty());
    EXPECT_TRUE(DemoTrack(-44100).left.empty());
}

TEST(DemoTrack, BreakIsSilent) {
    const StereoAudio& audio = Demo();
    for (size_t n = size_t(16.1 * 44100); n < size_t(17.4 * 44100); ++n) {
        ASSERT_EQ(audio.left[n], 0.0f) << n;
        ASSERT_EQ(audio.right[n], 0.0f) << n;
    }
}

TEST(DemoTrack, KicksLightTheBassBins) {
    const auto& blocks = DemoBlocks();
    ASSERT_EQ(blocks.size(), 1250u);
    for (int beat = 0; beat <= 48; ++beat) {
        if (!KickOnBeat(beat)) continue;
        const int at = beat * kBlocksPerBeat;
        const double before = at > 0 ? BassBand(blocks[size_t(at - 1)]) : 0.0;
        const double during = BassBand(blocks[size_t(at + 2)]);
        EXPECT_GT(during, 100.0) << "beat " << beat;
        EXPECT_GT(during, 3.0 * before) << "beat " << beat;
    }
}

TEST(DemoTrack, TheBeatDetectorFiresOnTheKicks) {
    // A fresh intake has the default sensitivity and band.
    SampleIntake intake;
    intake.BuildSpectrumCurve();
    intake.intakeOpen = 1;
    uint8_t frame[kSnapshotBytes];
    intake.TakeSnapshot(frame);

    const auto& blocks = DemoBlocks();
    VisModule module{};
    int kicksHeard = 0, otherBeats = 0;
    for (size_t k = 0; k < blocks.size(); ++k) {
        std::memcpy(module.spectrum, blocks[k].bytes, sizeof module.spectrum);
        std::memcpy(module.waveform, blocks[k].bytes + sizeof module.spectrum, sizeof module.waveform);
        intake.Render(&module);
        if (!intake.TakeSnapshot(frame)) continue;
        const int beat = int(k) / kBlocksPerBeat, offset = int(k) % kBlocksPerBeat;
        if (offset <= 2 && KickOnBeat(beat))
            ++kicksHeard;
        else
            ++otherBeats;
    }
    EXPECT_EQ(kicksHeard, 45);
    // The snare fill that ends the break.
    EXPECT_LE(otherBeats, 4);
}
}  // namespace
