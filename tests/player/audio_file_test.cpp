#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "player/audio.h"
#include "player/external_program.h"
#include "tests/player/temp_dir.h"
#include "tests/player/whole_track.h"

namespace {
// Writes interleaved 16-bit frames with libsndfile; false if this build cannot.
bool WriteWithSndfile(const std::string& path, int format, int rate, int channels, const std::vector<short>& samples) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    if (!sf_format_check(&info)) return false;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return false;
    const sf_count_t frames = sf_count_t(samples.size()) / channels;
    const bool written = sf_writef_short(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && written;
}

// Frame n of channel c holds this 16-bit sample.
short Value(int n, int channel) { return short((n * 7 + channel * 1000) % 30000); }
float Expected(int n, int channel) { return float(Value(n, channel)) / 32768.0f; }

std::vector<short> Frames(int channels, int frames) {
    std::vector<short> samples;
    for (int n = 0; n < frames; ++n)
        for (int c = 0; c < channels; ++c) samples.push_back(Value(n, c));
    return samples;
}

TEST(AudioDecoding, MonoWavIsDuplicatedToBothChannels) {
    TempDir dir;
    ASSERT_TRUE(WriteWithSndfile(dir.File("mono.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1, Frames(1, 300)));
    StereoAudio audio;
    std::string error;
    ASSERT_TRUE(DecodeAudioFile(dir.File("mono.wav"), audio, error)) << error;
    EXPECT_EQ(audio.sampleRate, 22050);
    ASSERT_EQ(audio.left.size(), 300u);
    EXPECT_EQ(audio.left, audio.right);
    EXPECT_FLOAT_EQ(audio.left[299], Expected(299, 0));
}

TEST(AudioDecoding, StereoFlacKeepsItsChannelsAndRate) {
    TempDir dir;
    ASSERT_TRUE(WriteWithSndfile(dir.File("two.flac"), SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 48000, 2, Frames(2, 5000)));
    StereoAudio audio;
    std::string error;
    ASSERT_TRUE(DecodeAudioFile(dir.File("two.flac"), audio, error)) << error;
    EXPECT_EQ(audio.sampleRate, 48000);
    ASSERT_EQ(audio.left.size(), 5000u);
    ASSERT_EQ(audio.right.size(), 5000u);
    // Past the 4096-frame read chunk, too.
    for (int n : {0, 1, 4095, 4096, 4999}) {
        EXPECT_FLOAT_EQ(audio.left[size_t(n)], Expected(n, 0)) << n;
        EXPECT_FLOAT_EQ(audio.right[size_t(n)], Expected(n, 1)) << n;
    }
}

TEST(AudioDecoding, MoreThanTwoChannelsKeepsTheFirstTwo) {
    TempDir dir;
    ASSERT_TRUE(WriteWithSndfile(dir.File("four.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 4, Frames(4, 10)));
    StereoAudio audio;
    std::string error;
    ASSERT_TRUE(DecodeAudioFile(dir.File("four.wav"), audio, error)) << error;
    ASSERT_EQ(audio.left.size(), 10u);
    EXPECT_FLOAT_EQ(audio.left[9], Expected(9, 0));
    EXPECT_FLOAT_EQ(audio.right[9], Expected(9, 1));
}

// Lossy formats come back close in length; the encoder may pad a little.
void ExpectLossyRoundTrip(const std::string& path, int format) {
    std::vector<short> samples(2 * 44100);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = short((i / 2) % 200 * 50 - 5000);
    if (!WriteWithSndfile(path, format, 44100, 2, samples)) GTEST_SKIP() << "this libsndfile cannot write " << path;
    StereoAudio audio;
    std::string error;
    ASSERT_TRUE(DecodeAudioFile(path, audio, error)) << error;
    EXPECT_EQ(audio.sampleRate, 44100);
    EXPECT_NEAR(double(audio.left.size()), 44100.0, 2048.0);
}

TEST(AudioDecoding, OggVorbisWhereSupported) {
    TempDir dir;
    ExpectLossyRoundTrip(dir.File("a.ogg"), SF_FORMAT_OGG | SF_FORMAT_VORBIS);
}

TEST(AudioDecoding, Mp3WhereSupported) {
    TempDir dir;
    ExpectLossyRoundTrip(dir.File("a.mp3"), SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
}

// What libsndfile cannot read (AAC here) comes through libavformat, at its own rate.
TEST(AudioDecoding, FormatsLibsndfileLacksComeThroughLibav) {
    if (!FindOnPath("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    TempDir dir;
    StereoAudio sine;
    sine.sampleRate = 48000;
    for (int n = 0; n < 2 * sine.sampleRate; ++n) sine.left.push_back(0.5f * float(std::sin(n * 0.0576)));
    sine.right = sine.left;
    std::string error;
    ASSERT_TRUE(WriteWav(dir.File("sine.wav"), sine, error)) << error;
    const std::string command = "ffmpeg -v quiet -nostdin -i " + ShellQuote(dir.File("sine.wav")) + " -c:a aac " +
                                ShellQuote(dir.File("it's.m4a"));
    ASSERT_EQ(std::system(command.c_str()), 0);
    StereoAudio audio;
    ASSERT_TRUE(DecodeAudioFile(dir.File("it's.m4a"), audio, error)) << error;
    EXPECT_EQ(audio.sampleRate, 48000);
    EXPECT_NEAR(double(audio.left.size()), 2.0 * 48000, 0.05 * 48000);
    float loudest = 0;
    for (const float v : audio.right) loudest = std::max(loudest, std::fabs(v));
    EXPECT_NEAR(loudest, 0.5f, 0.05f);
}

TEST(AudioDecoding, MissingAndUnreadableFilesFailClearly) {
    TempDir dir;
    StereoAudio audio;
    std::string error;
    EXPECT_FALSE(DecodeAudioFile(dir.File("missing.wav"), audio, error));
    EXPECT_NE(error.find("missing.wav"), std::string::npos) << error;
    EXPECT_NE(error.find("no such file"), std::string::npos) << error;

    std::ofstream(dir.File("text.wav")) << "this is not audio at all, just some words in a file";
    EXPECT_FALSE(DecodeAudioFile(dir.File("text.wav"), audio, error));
    EXPECT_NE(error.find("cannot read"), std::string::npos) << error;

    EXPECT_FALSE(DecodeAudioFile(dir.Path(), audio, error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;

    // A file cut off after its header.
    ASSERT_TRUE(WriteWithSndfile(dir.File("cut.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 2, Frames(2, 1000)));
    std::filesystem::resize_file(dir.File("cut.wav"), 30);
    EXPECT_FALSE(DecodeAudioFile(dir.File("cut.wav"), audio, error));

    // A header that says 0 Hz, mono, 16-bit PCM, and no data.
    const char zeroHertz[] = "RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\0\0\0\0\0\0\0\0\x02\0\x10\0data\0\0\0\0";
    std::ofstream(dir.File("0hz.wav"), std::ios::binary).write(zeroHertz, sizeof zeroHertz - 1);
    EXPECT_FALSE(DecodeAudioFile(dir.File("0hz.wav"), audio, error));
    EXPECT_NE(error.find("0 Hz"), std::string::npos) << error;
}

TEST(WavWriting, SixteenBitStereoRoundTripsAndSaturates) {
    TempDir dir;
    StereoAudio audio;
    audio.sampleRate = 32000;
    audio.left = {0.0f, 0.5f, -0.5f, 2.0f, -2.0f};
    audio.right = {0.25f, 0.0f, 0.0f, 0.0f, 0.0f};
    std::string error;
    ASSERT_TRUE(WriteWav(dir.File("out.wav"), audio, error)) << error;

    SF_INFO info{};
    SNDFILE* file = sf_open(dir.File("out.wav").c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.samplerate, 32000);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    std::vector<short> frames(10);
    EXPECT_EQ(sf_readf_short(file, frames.data(), 5), 5);
    sf_close(file);
    EXPECT_EQ(frames, (std::vector<short>{0, 8192, 16384, 0, -16384, 0, 32767, 0, -32767, 0}));

}

TEST(WavWriting, UnwritablePathOrNoRateFailsClearly) {
    TempDir dir;
    StereoAudio audio;
    audio.left = audio.right = {0.0f};
    std::string error;
    EXPECT_FALSE(WriteWav(dir.File("no/such/dir.wav"), audio, error));
    EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
    audio.sampleRate = 0;
    EXPECT_FALSE(WriteWav(dir.File("rate.wav"), audio, error));
    EXPECT_NE(error.find("sample rate"), std::string::npos) << error;
}
// A write that fails never removes what the path named: here a link to a full device.
TEST(WavWriting, AFailedWriteLeavesThePathAsItWas) {
    TempDir dir;
    StereoAudio audio;
    audio.left = audio.right = std::vector<float>(100000, 0.5f);
    std::filesystem::create_symlink("/dev/full", dir.File("full.wav"));
    std::string error;
    EXPECT_FALSE(WriteWav(dir.File("full.wav"), audio, error));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("full.wav")));
    EXPECT_EQ(std::filesystem::read_symlink(dir.File("full.wav")), "/dev/full");
}
}  // namespace
