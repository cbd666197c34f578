#include <gtest/gtest.h>

#include <cstring>

#include "engine/sample_intake.h"

namespace {
// The tests see the intake's members as their own.
struct SampleIntake : ::testing::Test, ::SampleIntake {
    VisModule module{};
    uint8_t frame[kSnapshotBytes];

    void SetUp() override {
        BuildSpectrumCurve();
        beatSensitivity = 32;
        beatBand = 0x012C0008;
        previousBeatSum = 500;
        intakeOpen = 1;
        TakeSnapshot(frame);
    }
    void TearDown() override { intakeOpen = 0; }
    // Puts a raw sum into the default band (bins 8..299) of channel 0.
    void SetBandSum(int sum) {
        std::memset(module.spectrum, 0, sizeof module.spectrum);
        for (int i = 8; i < 300 && sum > 0; ++i) {
            module.spectrum[i] = uint8_t(sum > 255 ? 255 : sum);
            sum -= module.spectrum[i];
        }
    }
};

TEST_F(SampleIntake, CurveRisesLogarithmicallyAndNeverReaches255) {
    const int entries[][2] = {{0, 0},    {1, 6},     {2, 15},    {3, 23},    {4, 30},    {8, 53},
                              {16, 84},  {32, 121},  {64, 163},  {128, 208}, {192, 235}, {255, 254}};
    for (auto [i, v] : entries) EXPECT_EQ(spectrumCurve[i], v) << "entry " << i;
    for (int i = 0; i < 256; ++i) EXPECT_NE(spectrumCurve[i], 255);
}

TEST_F(SampleIntake, BlocksBetweenFramesKeepThePerBinMaximumAndTheLastWaveform) {
    module.spectrum[5] = 10;
    module.waveform[0] = 1;
    Render(&module);
    module.spectrum[5] = 5;
    module.waveform[0] = 2;
    Render(&module);
    TakeSnapshot(frame);
    EXPECT_EQ(frame[5], spectrumCurve[10]);
    EXPECT_EQ(frame[kWaveformOffset0], 2);

    // After the snapshot was taken, smaller values replace larger ones.
    Render(&module);
    TakeSnapshot(frame);
    EXPECT_EQ(frame[5], spectrumCurve[5]);
}

TEST_F(SampleIntake, BlocksOutsideInitAndQuitChangeNothing) {
    intakeOpen = 0;
    std::memset(module.spectrum, 255, sizeof module.spectrum);
    previousBeatSum = 0;
    Render(&module);
    EXPECT_EQ(TakeSnapshot(frame), 0);
    EXPECT_EQ(frame[0], 0);
    EXPECT_EQ(previousBeatSum, 0);
}

TEST_F(SampleIntake, FirstBlockComparesAgainst500) {
    SetBandSum(1300);
    Render(&module);
    EXPECT_EQ(TakeSnapshot(frame), 0);
    previousBeatSum = 500;
    SetBandSum(1301);
    Render(&module);
    EXPECT_EQ(TakeSnapshot(frame), 1);
    EXPECT_EQ(previousBeatSum, 1301);
}

TEST_F(SampleIntake, EmptyBandNeverBeats) {
    beatBand = (8 << 16) | 300;
    previousBeatSum = 0;
    SetBandSum(0);
    for (int i = 0; i < 576; ++i) module.spectrum[i] = 255;
    Render(&module);
    EXPECT_EQ(TakeSnapshot(frame), 0);
    EXPECT_EQ(previousBeatSum, 0);
}

TEST_F(SampleIntake, AfterSilenceAnySoundIsABeatWhateverTheSensitivity) {
    beatSensitivity = 256;
    SetBandSum(0);
    Render(&module);
    SetBandSum(1);
    Render(&module);
    EXPECT_EQ(TakeSnapshot(frame), 1);
}

TEST_F(SampleIntake, BeatLatchesUntilTheNextFrameOnly) {
    SetBandSum(5000);
    Render(&module);
    SetBandSum(5000);
    Render(&module);
    Render(&module);
    EXPECT_EQ(TakeSnapshot(frame), 1);
    EXPECT_EQ(TakeSnapshot(frame), 0);
}

// The meter's reading tells the beat as the rule does, at its edges and at the largest sums.
TEST_F(SampleIntake, TheReadingShowsTheSumAndTheThresholdItMustExceed) {
    struct Case {
        int32_t sensitivity, previous, sum, threshold;
        bool beat;
    } const cases[] = {
        {32, 500, 1300, 1300, false}, {32, 500, 1301, 1300, true}, {1, 1000, 1340, 1340, false},
        {1, 1000, 1341, 1340, true},  {256, 0, 1, 0, true},         {256, 3, 35, 35, false},
        {256, 293760, 293760, 3436992, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sum);
        beatSensitivity = c.sensitivity;
        previousBeatSum = c.previous;
        if (c.sum == 293760) {
            std::memset(module.spectrum, 255, sizeof module.spectrum);
            beatBand = 576 << 16;
        } else {
            SetBandSum(c.sum);
        }
        const uint32_t beatsBefore = beatReading.beats;
        Render(&module);
        EXPECT_EQ(TakeSnapshot(frame), int32_t(c.beat));
        EXPECT_EQ(beatReading.sum, c.sum);
        EXPECT_EQ(beatReading.threshold, c.threshold);
        EXPECT_EQ(beatReading.beats - beatsBefore, uint32_t(c.beat));
    }
}

TEST_F(SampleIntake, LargestSumsFitTheTest) {
    beatSensitivity = 256;
    beatBand = 576 << 16;
    std::memset(module.spectrum, 255, sizeof module.spectrum);
    previousBeatSum = 293760;
    Render(&module);
    EXPECT_EQ(TakeSnapshot(frame), 0);
    EXPECT_EQ(previousBeatSum, 2 * 255 * 576);
    // A band whose end lies past the last bin stops at bin 576.
    beatBand = int32_t(0x7FFF0000);
    Render(&module);
    EXPECT_EQ(previousBeatSum, 2 * 255 * 576);
}
}  // namespace
