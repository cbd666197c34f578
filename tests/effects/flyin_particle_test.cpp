#include "effects/flyin_particle.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "core/render_resources.h"
#include "tests/effects/effect_test_frame.h"

namespace {
// What a chain lends its particles: the generator they draw their anchors from.
RenderResources resources;
const std::vector<uint8_t> kNoSamples(kSnapshotBytes, 0);

// Width of the box around everything drawn, 0 for an empty frame.
int DrawnWidth(GuardedFrame& f) {
    int lo = f.width, hi = -1;
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x)
            if (f.at(x, y)) lo = std::min(lo, x), hi = std::max(hi, x);
    return hi < 0 ? 0 : hi - lo + 1;
}

// The sizes drawn over the given frames, a beat on the first.
std::vector<int> DrawnSizes(int32_t size, int32_t beatSize, int frames) {
    FlyinParticleEffect particle;
    particle.resources = &resources;
    particle.flags = 3;
    particle.size = size;
    particle.beatSize = beatSize;
    particle.currentSize = size;
    std::vector<int> sizes;
    for (int i = 0; i < frames; ++i) {
        GuardedFrame frame(320, 240);
        particle.beat = i == 0;
        particle.render(kNoSamples.data(), frame.pixels(), 320, 240);
        sizes.push_back(DrawnWidth(frame));
    }
    return sizes;
}

TEST(ParticleRandom, IsTheClassicFifteenBitSequenceFromOne) {
    ParticleRandom random;
    std::srand(99);  // the host's own generator plays no part
    EXPECT_EQ(random.Next(), 41);
    EXPECT_EQ(random.Next(), 18467);
    EXPECT_EQ(random.Next(), 6334);
    EXPECT_EQ(random.Next(), 26500);
    random.Reset();
    EXPECT_EQ(random.Next(), 41);
}

TEST(ParticleSprite, AWhiteParticleAddsAtMost254AndNothingAtItsCorners) {
    FlyinParticleEffect particle;
    particle.resources = &resources;
    EXPECT_EQ(particle.sprite[0], 0u);
    EXPECT_EQ(particle.sprite[63], 0u);
    EXPECT_EQ(particle.sprite[1], 0x1E1E1Eu);  // 255 x 31 / 256 = 30.9
    EXPECT_EQ(particle.sprite[3 * 8 + 3], 0xFEFEFEu);
}

TEST(ParticleSize, ABeatSizeShrinksBackByHalvingTheDifference) {
    EXPECT_EQ(DrawnSizes(8, 64, 8), (std::vector<int>{64, 36, 22, 15, 11, 9, 8, 8}));
}

TEST(ParticleSize, GrowingBackFromBelowSettlesOneShort) {
    EXPECT_EQ(DrawnSizes(16, 1, 6), (std::vector<int>{1, 8, 12, 14, 15, 15}));
}

TEST(ParticleSize, SizesAbove128AreDrawnAt128) {
    EXPECT_EQ(DrawnSizes(200, 200, 2), (std::vector<int>{128, 128}));
}

TEST(ParticleMotion, TheFirstFrameFromTheDefaultsIsOneColouredPixelAtSizeOne) {
    GuardedFrame frame(320, 240);
    FlyinParticleEffect particle;
    particle.resources = &resources;
    particle.colour = 0x123456;
    particle.currentSize = particle.size = 1;
    particle.beat = 0;
    particle.render(kNoSamples.data(), frame.pixels(), 320, 240);
    // x: 160 + trunc(120 x -0.61311 / 2), y: 120 + trunc(60 x 0.2988).
    EXPECT_EQ(frame.at(124, 137), 0x123456u);
    EXPECT_EQ(frame.litCount(), 1);
    EXPECT_DOUBLE_EQ(particle.positionX, -0.6 + (-0.01551 + 0.6 * 0.004));
    EXPECT_DOUBLE_EQ(particle.positionY, 0.3 - 0.3 * 0.004);
}

TEST(ParticleMotion, ABeatDrawsTwoNumbersForTheNewAnchor) {
    GuardedFrame frame(320, 240);
    FlyinParticleEffect particle;
    particle.resources = &resources;
    resources.particleRandom.Reset();
    particle.beat = 1;
    particle.render(kNoSamples.data(), frame.pixels(), 320, 240);
    // 41 mod 33 - 16 = -8 and 18467 mod 33 - 16 = 4, in 48ths.
    EXPECT_EQ(particle.targetX, double(-8 * 0.020833334f));
    EXPECT_EQ(particle.targetY, double(4 * 0.020833334f));
}

TEST(ParticleMotion, WithoutBeatsItSwingsAboutTheAnchorWithShrinkingAmplitude) {
    GuardedFrame frame(64, 64);
    FlyinParticleEffect particle;
    particle.resources = &resources;
    double lowest = 0, highest = 0, laterLowest = 0;
    for (int i = 0; i < 2000; ++i) {
        particle.render(kNoSamples.data(), frame.pixels(), 64, 64);
        if (i < 1000) {
            lowest = std::min(lowest, particle.positionX);
            highest = std::max(highest, particle.positionX);
        } else {
            laterLowest = std::min(laterLowest, particle.positionX);
        }
    }
    EXPECT_LT(lowest, -0.6);  // starts moving left
    EXPECT_GT(highest, 0.2);  // and swings past the anchor
    EXPECT_GT(laterLowest, lowest / 2);
}

TEST(ParticleMotion, ADisabledParticleDrawsNothingAndStandsStill) {
    GuardedFrame frame(64, 64);
    FlyinParticleEffect particle;
    particle.resources = &resources;
    particle.flags = 2;
    particle.beat = 1;
    particle.render(kNoSamples.data(), frame.pixels(), 64, 64);
    EXPECT_EQ(frame.litCount(), 0);
    EXPECT_EQ(particle.positionX, -0.6);
    EXPECT_EQ(particle.velocityX, -0.01551);
    EXPECT_EQ(particle.targetX, 0.0);
    EXPECT_EQ(particle.currentSize, 8);
}

TEST(ParticleClipping, APartlyOutsideParticleDrawsItsInsidePixels) {
    GuardedFrame frame(16, 16);
    FlyinParticleEffect particle;
    particle.resources = &resources;
    particle.currentSize = particle.size = 32;
    particle.render(kNoSamples.data(), frame.pixels(), 16, 16);
    // Centre (7, 8), so the 32-pixel square starts at (-9, -8); every sprite cell covers
    // 4 x 4 pixels.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(frame.at(x, y), particle.sprite[(y + 8) / 4 * 8 + (x + 9) / 4]) << x << "," << y;
    EXPECT_TRUE(frame.guardsUntouched());
}

TEST(ParticleClipping, ExtremeDistancesThrowItWhollyOutside) {
    for (int32_t distance : {INT32_MAX, INT32_MIN, 100000}) {
        for (int32_t size : {1, 8, 128}) {
            GuardedFrame frame(64, 64);
            FlyinParticleEffect particle;
            particle.resources = &resources;
            particle.distance = distance;
            particle.currentSize = particle.size = size;
            particle.render(kNoSamples.data(), frame.pixels(), 64, 64);
            EXPECT_EQ(frame.litCount(), 0) << distance << " " << size;
            EXPECT_TRUE(frame.guardsUntouched());
        }
    }
}

TEST(ParticleSettings, ExtremeSizesAverageWithoutOverflow) {
    GuardedFrame frame(64, 64);
    FlyinParticleEffect particle;
    particle.resources = &resources;
    particle.flags = 3;
    particle.size = INT32_MAX;
    particle.beatSize = INT32_MAX;
    particle.beat = 1;
    particle.render(kNoSamples.data(), frame.pixels(), 64, 64);
    EXPECT_EQ(particle.currentSize, INT32_MAX);
    particle.size = INT32_MIN;
    particle.render(kNoSamples.data(), frame.pixels(), 64, 64);
    EXPECT_EQ(particle.currentSize, 0);  // (MIN + MAX) / 2, toward zero
    EXPECT_TRUE(frame.guardsUntouched());
}

TEST(ParticleSettings, LoadRecoloursTheSpriteAndTakesTheSizeAtOnce) {
    FlyinParticleEffect particle;
    particle.resources = &resources;
    particle.currentSize = 50;
    const uint8_t twenty[] = {3, 0, 0, 0, 0x80, 0x40, 0xFF, 0, 4, 0, 0, 0, 12, 0, 0, 0, 99, 0, 0, 0};
    particle.load(twenty, 20);
    EXPECT_EQ(particle.sprite[2], 0xAA2A55u);  // 0xFF4080 at coverage 171
    EXPECT_EQ(particle.distance, 4);
    EXPECT_EQ(particle.beatSize, 99);
    EXPECT_EQ(particle.currentSize, 12);
    uint8_t out[kPayloadScratchBytes];
    ASSERT_EQ(particle.save(out), 20);
    EXPECT_TRUE(std::equal(twenty, twenty + 20, out));
}

TEST(ParticleChecksum, FixedSceneWithBeatsOverEightFrames) {
    resources.particleRandom.Reset();
    GuardedFrame frame(320, 240);
    FlyinParticleEffect particle;
    particle.resources = &resources;
    particle.flags = 3;
    particle.colour = 0x3060A0;
    particle.size = 24;
    particle.beatSize = 70;
    particle.distance = 30;
    particle.settingsChanged();
    std::vector<uint32_t> sums;
    for (int i = 0; i < 8; ++i) {
        particle.beat = i % 3 == 0;
        particle.render(kNoSamples.data(), frame.pixels(), 320, 240);
        sums.push_back(frame.checksum());
    }
    EXPECT_EQ(sums, (std::vector<uint32_t>{279109112, 2373645388, 170758987, 3413798869, 4248468651,
                                           1738276731, 907573040, 200241013}));
}
}  // namespace
