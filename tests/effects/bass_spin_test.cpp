#include "effects/bass_spin.h"

#include <gtest/gtest.h>

#include <vector>

#include "effects/line_drawing.h"
#include "tests/effects/effect_test_frame.h"

namespace {
constexpr uint32_t kLeft = 0x000001, kRight = 0x000100;

// Both channels' 44 bass bins at 100: a sum of 4400 each.
std::vector<uint8_t> Bass(uint8_t level = 100) {
    std::vector<uint8_t> s(kSnapshotBytes, 0);
    for (int bin = 0; bin < 44; ++bin) s[kSpectrumOffset0 + bin] = s[kSpectrumOffset1 + bin] = level;
    return s;
}

BassSpinEffect Spin(int32_t style, int32_t enabled = 3) {
    BassSpinEffect spin;
    spin.style = style;
    spin.enabledChannels = enabled;
    spin.leftColour = kLeft;
    spin.rightColour = kRight;
    return spin;
}

TEST(BassSpinLevel, TheSecondChannelIsMeasuredAgainstTheFirstChannelsSum) {
    GuardedFrame frame(320, 240);
    auto spin = Spin(0);
    spin.render(Bass().data(), frame.pixels(), 320, 240);
    // Left: 4400 x 512 / 7680 = 293, capped at 255, boost 151. Right: 4400 x 512 / 12080 =
    // 186, boost 82. The first speed is boost / 96 x 0.7.
    EXPECT_DOUBLE_EQ(spin.spinners[0].speed, 151 * 0.7 / 96);
    EXPECT_DOUBLE_EQ(spin.spinners[1].speed, 82 * 0.7 / 96);
    EXPECT_EQ(spin.previousBassSum, 4400);
}

TEST(BassSpinLevel, ALoneChannelIsMeasuredAgainstItsOwnPreviousSum) {
    GuardedFrame frame(320, 240);
    auto spin = Spin(0, 2);
    spin.render(Bass().data(), frame.pixels(), 320, 240);
    spin.render(Bass().data(), frame.pixels(), 320, 240);
    // Levels 255 then 186: boosts 151 then 82.
    EXPECT_NEAR(spin.spinners[1].speed, 82 * 0.7 / 96 + 0.3 * (151 * 0.7 / 96), 1e-15);
    // The disabled channel's state stays as it was created.
    EXPECT_EQ(spin.spinners[0].angle, 3.14159);
    EXPECT_EQ(spin.spinners[0].speed, 0.0);
    EXPECT_EQ(spin.spinners[0].previousPlus.x, 0);
}

TEST(BassSpinLines, TheFirstFrameDrawsOnlyTheFourSpokes) {
    GuardedFrame frame(320, 240), expected(320, 240);
    auto spin = Spin(0);
    spin.render(Bass().data(), frame.pixels(), 320, 240);
    // Centres (100, 120) and (220, 120) at 320 x 240, where r = 120. Worked out from the
    // level, speed and angle rules: left arm 119.53 at angle 2.5651, right 87.19 at 0.3131.
    const auto& left = spin.spinners[0];
    const auto& right = spin.spinners[1];
    EXPECT_EQ(std::make_pair(left.previousPlus.x, left.previousPlus.y), std::make_pair(0, 185));
    EXPECT_EQ(std::make_pair(left.previousMinus.x, left.previousMinus.y), std::make_pair(200, 55));
    EXPECT_EQ(std::make_pair(right.previousPlus.x, right.previousPlus.y), std::make_pair(302, 146));
    EXPECT_EQ(std::make_pair(right.previousMinus.x, right.previousMinus.y), std::make_pair(138, 94));
    AddLineThick(expected.pixels(), 100, 120, 0, 185, 320, 240, kLeft);
    AddLineThick(expected.pixels(), 100, 120, 200, 55, 320, 240, kLeft);
    AddLineThick(expected.pixels(), 220, 120, 302, 146, 320, 240, kRight);
    AddLineThick(expected.pixels(), 220, 120, 138, 94, 320, 240, kRight);
    EXPECT_EQ(frame.words, expected.words);
}

TEST(BassSpinTriangles, TheFirstFrameDrawsNothingAndTheSecondSweeps) {
    GuardedFrame frame(320, 240);
    auto spin = Spin(1);
    spin.render(Bass().data(), frame.pixels(), 320, 240);
    EXPECT_EQ(frame.litCount(), 0);
    spin.render(Bass().data(), frame.pixels(), 320, 240);
    EXPECT_GT(frame.litCount(), 1000);
    EXPECT_TRUE(frame.guardsUntouched());
}

TEST(BassSpinStyles, AnUnknownStyleDrawsNothingButKeepsTurning) {
    GuardedFrame frame(320, 240);
    auto spin = Spin(2);
    spin.render(Bass().data(), frame.pixels(), 320, 240);
    EXPECT_EQ(frame.litCount(), 0);
    EXPECT_EQ(spin.spinners[1].previousPlus.x, 0);
    EXPECT_GT(spin.spinners[1].angle, 0.0);
}

TEST(BassSpinSilence, SettlesOnTheCentresAndStopsDrawing) {
    for (int32_t style : {0, 1}) {
        GuardedFrame frame(320, 240);
        auto spin = Spin(style);
        spin.render(Bass().data(), frame.pixels(), 320, 240);
        for (int i = 0; i < 40; ++i) spin.render(Bass(0).data(), frame.pixels(), 320, 240);
        frame.words.assign(frame.words.size(), 0);
        spin.render(Bass(0).data(), frame.pixels(), 320, 240);
        EXPECT_EQ(frame.litCount(), 0) << "style " << style;
        EXPECT_EQ(spin.spinners[0].previousPlus.x, 100);
        EXPECT_EQ(spin.spinners[1].previousMinus.y, 120);
        // The minimum boost of 12 turns the bar by 12 / 96 x 0.7 / 0.7 = 0.125 per frame.
        EXPECT_NEAR(spin.spinners[1].speed, 0.125, 1e-12);
    }
}

TEST(BassSpinSettings, APayloadSetsTheFourSavedWordsAndNothingElse) {
    GuardedFrame frame(320, 240);
    auto spin = Spin(0);
    spin.render(Bass().data(), frame.pixels(), 320, 240);
    const double angle = spin.spinners[0].angle;
    const uint8_t payload[] = {2, 0, 0, 0, 3, 2, 1, 0, 6, 5, 4, 0, 1, 0, 0, 0};
    spin.load(payload, 16);
    EXPECT_EQ(spin.enabledChannels, 2);
    EXPECT_EQ(spin.leftColour, 0x010203);
    EXPECT_EQ(spin.rightColour, 0x040506);
    EXPECT_EQ(spin.style, 1);
    EXPECT_EQ(spin.spinners[0].angle, angle);
    EXPECT_EQ(spin.spinners[0].previousPlus.y, 185);
    uint8_t out[kPayloadScratchBytes];
    ASSERT_EQ(spin.save(out), 16);
    EXPECT_TRUE(std::equal(payload, payload + 16, out));
}

TEST(BassSpinChecksum, FixedScenesOverFiveFrames) {
    std::vector<uint32_t> sums;
    for (int32_t style : {0, 1}) {
        GuardedFrame frame(320, 240);
        BassSpinEffect spin;
        spin.style = style;
        spin.leftColour = 0x203040;
        spin.rightColour = 0x402010;
        SampleScene scene(11);
        for (int i = 0; i < 5; ++i) {
            spin.render(scene.snapshot().data(), frame.pixels(), 320, 240);
            sums.push_back(frame.checksum());
        }
        EXPECT_TRUE(frame.guardsUntouched());
    }
    EXPECT_EQ(sums, (std::vector<uint32_t>{671412357, 3531094925, 21024683, 1969607659, 3043541376,
                                           3053477317, 2226681029, 3838178805, 1665081797, 4188687693}));
}
}  // namespace
