#include "effects/dot_plane.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "tests/effects/effect_test_frame.h"

namespace {
std::vector<uint8_t> Spectrum(uint8_t v) {
    std::vector<uint8_t> s(kSnapshotBytes, 0);
    for (int bin = 0; bin < kBins; ++bin) s[kSpectrumOffset0 + bin] = v;
    return s;
}

TEST(DotPlaneRamp, DefaultColoursGiveTheKnownEntries) {
    DotPlaneEffect plane;
    EXPECT_EQ(plane.ramp[0], 0x1C6B18u);
    EXPECT_EQ(plane.ramp[1], 0x2A6418u);  // green 107 - 97/16 = 100.9375 rounds down
    EXPECT_EQ(plane.ramp[16], 0xFF0A23u);
    EXPECT_EQ(plane.ramp[32], 0x2A1D74u);
    EXPECT_EQ(plane.ramp[48], 0x9036D9u);
    EXPECT_EQ(plane.ramp[63], 0x6D82FCu);
}

TEST(DotPlaneRamp, AFallingChannelStepsDownEarly) {
    DotPlaneEffect plane;
    plane.bottomColour = 0xFF0000;
    plane.lowColour = 0x000000;
    plane.settingsChanged();
    EXPECT_EQ(plane.ramp[0], 0xFF0000u);
    for (int m = 1; m < 16; ++m) EXPECT_EQ(plane.ramp[m], uint32_t(255 - 16 * m) << 16) << m;
}

TEST(DotPlaneSettings, LoadSetsTheWordsItReachesAndRebuildsTheRamp) {
    DotPlaneEffect plane;
    const uint8_t twelve[] = {0xFB, 0xFF, 0xFF, 0xFF, 0x30, 0x20, 0x10, 0, 0x60, 0x50, 0x40, 0};
    plane.load(twelve, 12);
    EXPECT_EQ(plane.rotationSpeed, -5);
    EXPECT_EQ(plane.ramp[0], 0x102030u);
    EXPECT_EQ(plane.ramp[16], 0x405060u);
    EXPECT_EQ(plane.ramp[32], 0x2A1D74u);
    uint8_t out[kPayloadScratchBytes];
    ASSERT_EQ(plane.save(out), 24);
    EXPECT_EQ(out[20], 0xFF);  // top colour 0x6B88FF last
    EXPECT_EQ(out[22], 0x6B);
}

TEST(DotPlaneRows, TheFrontRowTakesTheLargestOfEachBinTriple) {
    GuardedFrame frame(64, 64);
    DotPlaneEffect plane;
    auto samples = Spectrum(0);
    samples[0] = 10;
    samples[1] = 200;
    samples[2] = 30;
    samples[5] = 7;
    plane.render(samples.data(), frame.pixels(), 64, 64);
    EXPECT_EQ(plane.heights[0][0], 200.0f);
    EXPECT_EQ(plane.dotColours[0][0], plane.ramp[50]);
    EXPECT_EQ(plane.speeds[0][0], 200 * 0.011111111380159855f);
    EXPECT_EQ(plane.heights[0][1], 7.0f);
    EXPECT_EQ(plane.dotColours[0][1], plane.ramp[1]);
    EXPECT_EQ(plane.heights[0][2], 0.0f);
}

TEST(DotPlaneRows, ASteadySpectrumStartsOneWaveThatTravelsBack) {
    GuardedFrame frame(64, 64);
    DotPlaneEffect plane;
    const auto steady = Spectrum(90);
    plane.render(steady.data(), frame.pixels(), 64, 64);
    const float entrySpeed = plane.speeds[0][7];
    EXPECT_NEAR(entrySpeed, 1.0f, 1e-6f);  // 90 / 90
    plane.render(steady.data(), frame.pixels(), 64, 64);
    EXPECT_EQ(plane.speeds[0][7], 0.0f);
    EXPECT_EQ(plane.heights[1][7], 90.0f + entrySpeed);
    EXPECT_NEAR(plane.speeds[1][7], 1.0f - 91.0f / 255 * 0.15f, 1e-6f);
    EXPECT_EQ(plane.heights[2][7], 0.0f);
}

float AngleAfterOneFrame(int32_t speed, float angle) {
    GuardedFrame frame(64, 64);
    DotPlaneEffect plane;
    plane.rotationSpeed = speed;
    plane.rotationAngle = angle;
    plane.render(Spectrum(0).data(), frame.pixels(), 64, 64);
    return plane.rotationAngle;
}

TEST(DotPlaneRotation, TurnsByAFifthOfADegreePerSpeedStepWithinOneTurn) {
    EXPECT_EQ(AngleAfterOneFrame(0, 123.0f), 123.0f);
    EXPECT_EQ(AngleAfterOneFrame(50, 0.0f), 10.0f);
    EXPECT_EQ(AngleAfterOneFrame(-50, 0.0f), 350.0f);
    EXPECT_NEAR(AngleAfterOneFrame(16, 359.0f), 2.2f, 1e-4f);
}

TEST(DotPlaneRotation, TheTiltTakesOnlyTheRangeRule) {
    GuardedFrame frame(64, 64);
    DotPlaneEffect plane;
    EXPECT_EQ(plane.rotationAngle, 0.0f);
    for (int i = 0; i < 3; ++i) {
        plane.render(Spectrum(0).data(), frame.pixels(), 64, 64);
        EXPECT_EQ(plane.tiltAngle, 340.0f);
    }
}

TEST(DotPlaneRotation, PresetSpeedsBeyondThePageStillKeepTheAngleInOneTurn) {
    for (int32_t speed : {INT32_MAX, INT32_MIN, 5000, -5000}) {
        GuardedFrame frame(64, 64);
        DotPlaneEffect plane;
        plane.rotationSpeed = speed;
        for (int i = 0; i < 4; ++i) {
            plane.render(Spectrum(100).data(), frame.pixels(), 64, 64);
            EXPECT_GE(plane.rotationAngle, 0.0f) << speed;
            EXPECT_LT(plane.rotationAngle, 360.0f) << speed;
        }
        EXPECT_TRUE(frame.guardsUntouched());
    }
}

TEST(DotPlaneDots, TheFrontRowOfASilentFirstFrameIsTwoPixelsTall) {
    // Angle 0, tilt -20: the front row (depth -175) projects to row 85.45 below the
    // centre row, at these columns of a 320-wide frame.
    const int columns[64] = {10,  15,  19,  24,  29,  33,  38,  43,  47,  52,  57,  61,  66,  71,  75,  80,
                             85,  89,  94,  99,  103, 108, 113, 117, 122, 127, 131, 136, 141, 145, 150, 155,
                             160, 164, 169, 174, 178, 183, 188, 192, 197, 202, 206, 211, 216, 220, 225, 230,
                             234, 239, 244, 248, 253, 258, 262, 267, 272, 276, 281, 286, 290, 295, 300, 304};
    GuardedFrame frame(320, 174);
    DotPlaneEffect plane;
    plane.render(Spectrum(0).data(), frame.pixels(), 320, 174);
    EXPECT_EQ(frame.litCount(), 128);
    for (int x : columns) {
        EXPECT_EQ(frame.at(x, 172), 0x1C6B18u) << x;
        EXPECT_EQ(frame.at(x, 173), 0x1C6B18u) << x;
    }
    EXPECT_TRUE(frame.guardsUntouched());
}

TEST(DotPlaneDots, DotsOnTheLastRowAreNotDrawn) {
    // Two rows less: the same dots fall on row 171, the frame's last.
    GuardedFrame frame(320, 172);
    DotPlaneEffect plane;
    plane.render(Spectrum(0).data(), frame.pixels(), 320, 172);
    EXPECT_EQ(frame.litCount(), 0);
    EXPECT_TRUE(frame.guardsUntouched());
}

TEST(DotPlaneDots, UncolouredDotsOnlyCopyTheirPixelDownwards) {
    GuardedFrame frame(96, 80);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 96; ++x) frame.at(x, y) = uint32_t(y * 96 + x + 1);
    DotPlaneEffect plane;
    for (int32_t* colour :
         {&plane.bottomColour, &plane.lowColour, &plane.midColour, &plane.highColour, &plane.topColour})
        *colour = 0;
    plane.settingsChanged();
    plane.render(Spectrum(120).data(), frame.pixels(), 96, 80);
    int changed = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 96; ++x) {
            const uint32_t now = frame.at(x, y);
            if (now == uint32_t(y * 96 + x + 1)) continue;
            ++changed;
            // Some pixel higher up in the same column.
            EXPECT_EQ(now % 96, uint32_t(x + 1) % 96) << x << "," << y;
            EXPECT_LT(now, uint32_t(y * 96 + x + 1));
        }
    EXPECT_GT(changed, 50);
    EXPECT_TRUE(frame.guardsUntouched());
}

TEST(DotPlaneChecksum, FixedSceneOverSixFrames) {
    GuardedFrame frame(320, 240);
    DotPlaneEffect plane;
    plane.rotationSpeed = 37;
    SampleScene scene(3);
    std::vector<uint32_t> sums;
    for (int i = 0; i < 6; ++i) {
        plane.render(scene.snapshot().data(), frame.pixels(), 320, 240);
        sums.push_back(frame.checksum());
    }
    EXPECT_EQ(sums,
              (std::vector<uint32_t>{4095723009, 616297187, 537121647, 488737408, 3782835240, 2066146540}));
}
}  // namespace
