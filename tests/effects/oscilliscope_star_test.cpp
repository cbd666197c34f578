#include "effects/oscilliscope_star.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/effects/effect_test_frame.h"

namespace {
constexpr uint32_t kLeft = 0x000001, kRight = 0x000100;

std::vector<uint8_t> Silence() { return std::vector<uint8_t>(kSnapshotBytes, 0); }

OscilliscopeStarEffect Star(int32_t enabled) {
    OscilliscopeStarEffect star;
    star.enabledChannels = enabled;
    star.leftColour = kLeft;
    star.rightColour = kRight;
    return star;
}

// Distance of (x, y) from the ray of the given angle out of (cx, cy), when the point lies
// alongside it; huge otherwise.
double OffRay(double x, double y, double cx, double cy, double angle, double length) {
    const double along = (x - cx) * std::cos(angle) + (y - cy) * std::sin(angle);
    if (along < -2 || along > length + 2) return 1e9;
    return std::fabs(-(x - cx) * std::sin(angle) + (y - cy) * std::cos(angle));
}

TEST(OscilliscopeStarSilence, DrawsFiveStraightSpokesOfSixtyThreeSixtyFourthsOfTheRadius) {
    GuardedFrame frame(320, 240);
    auto star = Star(1);
    star.render(Silence().data(), frame.pixels(), 320, 240);
    const double length = 63.0 * 120 / 64;
    for (int arm = 0; arm < 5; ++arm) {
        const double angle = arm * 1.256636;
        const int tipX = 160 + int(length * std::cos(angle)), tipY = 120 + int(length * std::sin(angle));
        EXPECT_NE(frame.at(tipX, tipY), 0u) << "arm " << arm;
    }
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            if (!frame.at(x, y)) continue;
            double nearest = 1e9;
            for (int arm = 0; arm < 5; ++arm)
                nearest = std::min(nearest, OffRay(x, y, 160, 120, arm * 1.256636, length));
            EXPECT_LE(nearest, 2.0) << x << "," << y;
        }
    EXPECT_TRUE(frame.guardsUntouched());
}

TEST(OscilliscopeStarSilence, ArmZeroEndsAtCentrePlus118AtAngleZero) {
    GuardedFrame frame(320, 240);
    auto star = Star(1);
    star.render(Silence().data(), frame.pixels(), 320, 240);
    // 63 x 120 / 64 = 118.125; the thick pen's second word lies in the row below.
    for (int x = 161; x <= 278; ++x) {
        EXPECT_EQ(frame.at(x, 120), kLeft) << x;
        EXPECT_EQ(frame.at(x, 121), kLeft) << x;
    }
    EXPECT_EQ(frame.at(279, 120), 0u);
    EXPECT_EQ(frame.at(279, 121), 0u);
}

TEST(OscilliscopeStarSilence, EachChannelDrawsItsOwnStarInItsColour) {
    GuardedFrame left(320, 240), right(320, 240), both(320, 240);
    Star(1).render(Silence().data(), left.pixels(), 320, 240);
    Star(2).render(Silence().data(), right.pixels(), 320, 240);
    Star(3).render(Silence().data(), both.pixels(), 320, 240);
    EXPECT_GT(left.litCount(), 500);
    for (size_t i = 0; i < both.words.size(); ++i) {
        // Both stars start at angle 0, so on the first frame they cover the same pixels.
        EXPECT_EQ(right.words[i], left.words[i] << 8);
        EXPECT_EQ(both.words[i], left.words[i] + right.words[i]);
    }
}

TEST(OscilliscopeStarSwing, LowestSampleAtTheTipSwingsAcrossTheArm) {
    GuardedFrame frame(320, 240);
    auto samples = Silence();
    samples[kWaveformOffset0 + 63] = uint8_t(-128);
    auto star = Star(1);
    star.render(samples.data(), frame.pixels(), 320, 240);
    // -128 x 120 x 505 / 65536 = -118.36: the last point of arm 0 moves to (278, 2),
    // drawn with its right neighbour since the segment to (276, 120) is walked along y.
    EXPECT_EQ(frame.at(278, 2), kLeft);
    EXPECT_EQ(frame.at(279, 2), kLeft);
    EXPECT_EQ(frame.at(278, 1), 0u);
    // The segment walked along y ends at point 62, (276, 120), with its right neighbour.
    EXPECT_EQ(frame.at(277, 120), kLeft);
    EXPECT_EQ(frame.at(277, 121), 0u);
}

TEST(OscilliscopeStarTurning, BothAnglesTurnWhileNothingIsDrawn) {
    GuardedFrame frame(320, 240);
    auto star = Star(0);
    for (int i = 0; i < 3; ++i) star.render(Silence().data(), frame.pixels(), 320, 240);
    EXPECT_EQ(frame.litCount(), 0);
    EXPECT_DOUBLE_EQ(star.leftAngle, -0.09);
    EXPECT_DOUBLE_EQ(star.rightAngle, 0.09);

    // Enabled again, the stars continue from the turned angles.
    GuardedFrame resumed(320, 240), fresh(320, 240);
    star.enabledChannels = 3;
    star.render(Silence().data(), resumed.pixels(), 320, 240);
    auto reference = Star(3);
    reference.leftAngle = -0.09;
    reference.rightAngle = 0.09;
    reference.render(Silence().data(), fresh.pixels(), 320, 240);
    EXPECT_EQ(resumed.words, fresh.words);
}

TEST(OscilliscopeStarTurning, OnlyTheRisingAngleWraps) {
    GuardedFrame frame(64, 64);
    auto star = Star(3);
    star.leftAngle = -10.0;
    star.rightAngle = 6.27;
    star.render(Silence().data(), frame.pixels(), 64, 64);
    EXPECT_DOUBLE_EQ(star.leftAngle, -10.03);
    EXPECT_NEAR(star.rightAngle, 6.30 - 6.28318, 1e-12);
}

TEST(OscilliscopeStarChecksum, FixedSceneOverFiveFrames) {
    GuardedFrame frame(320, 240);
    OscilliscopeStarEffect star;
    star.leftColour = 0x204080;
    star.rightColour = 0x801020;
    SampleScene scene(7);
    std::vector<uint32_t> sums;
    for (int i = 0; i < 5; ++i) {
        star.render(scene.snapshot().data(), frame.pixels(), 320, 240);
        sums.push_back(frame.checksum());
    }
    EXPECT_EQ(sums, (std::vector<uint32_t>{2824326429, 3240981237, 3122789653, 4139517719, 2602665663}));
    EXPECT_TRUE(frame.guardsUntouched());
}
}  // namespace
