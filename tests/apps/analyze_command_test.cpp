#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "apps/qelv/analyze/beat_times.h"
#include "apps/qelv/commands.h"
#include "player/audio.h"
#include "tests/player/whole_track.h"

namespace {
int Analyze(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    return RunAnalyze(int(argv.size()), argv.data());
}

TEST(AnalyzeCommand, AnErrorIsOneLineAndAHint) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Analyze({"--fps", "0", "--demo", "-o", "x.qsb"}), 2);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "qelv analyze: --fps must be a whole number from 1 to 1000, not '0'\n"
              "Run 'qelv analyze --help' for the options.\n");
}

// A file is analysed piece by piece; what comes out is what the whole track in memory gives.
TEST(AnalyzeCommand, AFileGivesTheBlocksAndBeatsOfTheWholeTrack) {
    const auto dir = std::filesystem::temp_directory_path() / "qelv-analyze-command";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string wav = (dir / "demo.wav").string(), stream = (dir / "demo.qsb").string();
    StereoAudio demo = DemoTrack();
    demo.left.resize(size_t(demo.sampleRate) * 6);
    demo.right.resize(demo.left.size());
    std::string error;
    ASSERT_TRUE(WriteWav(wav, demo, error)) << error;
    StereoAudio decoded;
    ASSERT_TRUE(DecodeAudioFile(wav, decoded, error)) << error;
    const std::vector<SampleBlock> blocks = AnalyzeAudio(decoded, 50);
    std::string times;
    for (const double time : BeatTimes(blocks, 50)) {
        char line[32];
        std::snprintf(line, sizeof line, "%.3f\n", time);
        times += line;
    }
    ASSERT_GT(times.size(), 0u);

    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Analyze({wav, "--beats", "-o", stream}), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), times);
    ::testing::internal::GetCapturedStderr();
    std::ifstream in(stream, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    ASSERT_EQ(bytes.size(), blocks.size() * kBlockBytes);
    EXPECT_EQ(std::memcmp(bytes.data(), blocks.data(), bytes.size()), 0);
    std::filesystem::remove_all(dir);
}
}  // namespace
