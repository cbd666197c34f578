#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/sample_intake.h"
#include "player/audio.h"
#include "player/spectrum_scale.h"

namespace {
constexpr double kPi = 3.14159265358979323846;

StereoAudio Silence(int rate, size_t frames) {
    StereoAudio audio;
    audio.sampleRate = rate;
    audio.left.assign(frames, 0.0f);
    audio.right.assign(frames, 0.0f);
    return audio;
}

StereoAudio Sine(int rate, double frequency, double amplitude, double seconds = 0.5) {
    StereoAudio audio = Silence(rate, size_t(seconds * rate));
    for (size_t n = 0; n < audio.left.size(); ++n)
        audio.left[n] = audio.right[n] = float(amplitude * std::sin(2.0 * kPi * frequency * double(n) / rate));
    return audio;
}

double BinCentre(int bin, int rate) { return bin * double(rate) / 1152.0; }

const uint8_t* Spectrum(const SampleBlock& block, int channel) { return block.bytes + channel * 576; }
int8_t Waveform(const SampleBlock& block, int channel, int index) {
    return int8_t(block.bytes[1152 + channel * 576 + index]);
}

TEST(SpectrumBins, ASineAtABinCentrePeaksInThatBin) {
    for (int rate : {44100, 48000}) {
        for (int bin : {1, 37, 200, 575}) {
            const auto blocks = AnalyzeAudio(Sine(rate, BinCentre(bin, rate), 0.5), 50);
            ASSERT_GT(blocks.size(), 10u);
            for (int channel : {0, 1}) {
                const uint8_t* spectrum = Spectrum(blocks[10], channel);
                const int peak = int(std::max_element(spectrum, spectrum + 576) - spectrum);
                EXPECT_EQ(peak, bin) << rate << " Hz, channel " << channel;
                if (bin > 1) {
                    EXPECT_LT(spectrum[bin - 1], spectrum[bin]) << rate << " Hz bin " << bin;
                }
                if (bin < 575) {
                    EXPECT_LT(spectrum[bin + 1], spectrum[bin]) << rate << " Hz bin " << bin;
                }
            }
        }
    }
}

TEST(SpectrumBins, TheShownHeightIsLinearInDecibelsBetweenFloorAndCeiling) {
    SampleIntake intake;
    intake.BuildSpectrumCurve();
    const uint8_t* spectrumCurve = intake.spectrumCurve;
    // After the intake's curve, a level L dB shows as 254 * (L - floor) / (ceiling - floor).
    for (double levelDb : {-10.0, -40.0, -60.0}) {
        const auto blocks = AnalyzeAudio(Sine(44100, BinCentre(100, 44100), std::pow(10.0, levelDb / 20.0)), 50);
        const double expected = 254.0 * (levelDb - SpectrumScale::kFloorDb) /
                                (SpectrumScale::kCeilingDb - SpectrumScale::kFloorDb);
        EXPECT_NEAR(spectrumCurve[Spectrum(blocks[10], 0)[100]], expected, 2.0) << levelDb << " dB";
    }
    // Below the floor nothing shows, not even the peak.
    const auto quiet = AnalyzeAudio(Sine(44100, BinCentre(100, 44100), std::pow(10.0, -75.0 / 20.0)), 50);
    EXPECT_EQ(*std::max_element(Spectrum(quiet[10], 0), Spectrum(quiet[10], 0) + 576), 0);
}

TEST(SpectrumBins, FullScaleSignalsDoNotPinTheBins) {
    // A full-scale sine reaches 255 in its own bin only.
    const auto sine = AnalyzeAudio(Sine(44100, BinCentre(50, 44100), 1.0), 50);
    const uint8_t* spectrum = Spectrum(sine[10], 0);
    EXPECT_EQ(spectrum[50], 255);
    EXPECT_EQ(std::count(spectrum, spectrum + 576, 255), 1);

    // Full-scale noise spreads over every bin and stays in the middle of the range.
    StereoAudio noise = Silence(44100, 22050);
    uint32_t state = 1;
    for (size_t n = 0; n < noise.left.size(); ++n) {
        state = state * 1664525u + 1013904223u;
        noise.left[n] = noise.right[n] = float(int32_t(state) / 2147483648.0);
    }
    const auto blocks = AnalyzeAudio(noise, 50);
    long total = 0, pinned = 0, count = 0;
    for (size_t b = 2; b < blocks.size(); ++b)
        for (int i = 0; i < 1152; ++i, ++count) {
            total += blocks[b].bytes[i];
            pinned += blocks[b].bytes[i] == 255;
        }
    EXPECT_EQ(pinned, 0);
    EXPECT_GT(total / count, 20);
    EXPECT_LT(total / count, 120);
}

TEST(SpectrumBins, ByteScaleEndsAndNonsense) {
    const SpectrumScale scale(1.0);
    EXPECT_EQ(scale.ByteForPower(0.0), 0);
    EXPECT_EQ(scale.ByteForPower(1.0), 255);
    EXPECT_EQ(scale.ByteForPower(1e9), 255);
    EXPECT_EQ(scale.ByteForPower(std::numeric_limits<double>::quiet_NaN()), 0);
    for (int b = 1; b < 256; ++b)
        EXPECT_LE(scale.ByteForPower(std::pow(10.0, -7.0 * (256 - b) / 256.0)),
                  scale.ByteForPower(std::pow(10.0, -7.0 * (255 - b) / 256.0)));
}

TEST(Analysis, SilenceGivesZeroSpectrumAndWaveform) {
    for (const SampleBlock& block : AnalyzeAudio(Silence(44100, 44100), 50))
        ASSERT_EQ(std::count(block.bytes, block.bytes + kBlockBytes, 0), long(kBlockBytes));
}

TEST(Analysis, WaveformEndsWithTheSampleAtTheBlocksTime) {
    // Sample n is worth the byte (n % 255) - 127 on the left and its negation on the right.
    StereoAudio audio = Silence(44100, 44100);
    for (size_t n = 0; n < audio.left.size(); ++n) {
        audio.left[n] = float(int(n % 255) - 127) / 127.0f;
        audio.right[n] = -audio.left[n];
    }
    const auto blocks = AnalyzeAudio(audio, 50);
    // Block 3 at 50 blocks a second shows time 0.06 s: sample 2646 is the newest.
    for (int i : {575, 574, 0}) {
        const int n = 2646 - 575 + i;
        EXPECT_EQ(Waveform(blocks[3], 0, i), n % 255 - 127) << i;
        EXPECT_EQ(Waveform(blocks[3], 1, i), 127 - n % 255) << i;
    }
    // Before the start is silence.
    EXPECT_EQ(Waveform(blocks[0], 0, 575), -127);
    for (int i = 0; i < 575; ++i) ASSERT_EQ(Waveform(blocks[0], 0, i), 0) << i;
}

TEST(Analysis, WaveformBytesSaturateAndIgnoreNonFiniteSamples) {
    StereoAudio audio = Silence(1000, 4);
    audio.left = {1.5f, -3.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()};
    const auto blocks = AnalyzeAudio(audio, 1000);
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_EQ(Waveform(blocks[3], 0, 572), 127);
    EXPECT_EQ(Waveform(blocks[3], 0, 573), -127);
    EXPECT_EQ(Waveform(blocks[3], 0, 574), 0);
    EXPECT_EQ(Waveform(blocks[3], 0, 575), 0);
}

TEST(Analysis, OneBlockPerFramePeriodWhileThereIsMusic) {
    EXPECT_EQ(AnalyzeAudio(Silence(44100, 44100), 50).size(), 50u);
    EXPECT_EQ(AnalyzeAudio(Silence(44100, 44101), 50).size(), 51u);
    EXPECT_EQ(AnalyzeAudio(Silence(48000, 48000), 30).size(), 30u);
    EXPECT_EQ(AnalyzeAudio(Silence(44100, 1), 50).size(), 1u);
    EXPECT_TRUE(AnalyzeAudio(Silence(44100, 0), 50).empty());
}

TEST(Analysis, NonsenseRatesGiveNoBlocks) {
    const StereoAudio audio = Silence(8000, 8000);
    for (double fps : {0.0, -5.0, 8001.0, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()})
        EXPECT_TRUE(AnalyzeAudio(audio, fps).empty()) << fps;
    StereoAudio noRate = audio;
    noRate.sampleRate = 0;
    EXPECT_TRUE(AnalyzeAudio(noRate, 50).empty());
}

TEST(Analysis, ChannelsAreAnalysedApartAndAShortChannelIsPaddedWithSilence) {
    StereoAudio audio = Sine(44100, BinCentre(20, 44100), 0.5);
    audio.right.resize(100);
    std::fill(audio.right.begin(), audio.right.end(), 0.0f);
    const auto blocks = AnalyzeAudio(audio, 50);
    EXPECT_EQ(blocks.size(), 25u);
    EXPECT_GT(Spectrum(blocks[10], 0)[20], 150);
    for (int i = 0; i < 576; ++i) ASSERT_EQ(Spectrum(blocks[10], 1)[i], 0) << i;
}
}  // namespace
