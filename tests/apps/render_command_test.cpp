#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "apps/qelv/commands.h"
#include "host/default_chain.h"
#include "apps/qelv/render/frame_sink.h"
#include "core/mmx.h"
#include "engine/engine.h"
#include "core/effect_settings.h"
#include "engine/preset_bytes.h"
#include "player/audio.h"
#include "player/sample_stream.h"
#include "player/external_program.h"
#include "tests/player/whole_track.h"

namespace fs = std::filesystem;

namespace {
struct RenderCommand : ::testing::Test {
    fs::path directory;
    void SetUp() override {
        directory = fs::temp_directory_path() /
                    ("qelv-render-" + std::to_string(getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(directory);
    }
    void TearDown() override { fs::remove_all(directory); }
    std::string At(const char* name) const { return (directory / name).string(); }

    int Run(std::vector<std::string> arguments) {
        std::vector<char*> argv;
        for (std::string& a : arguments) argv.push_back(a.data());
        return RunRender(int(argv.size()), argv.data());
    }
    static std::vector<uint8_t> Contents(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }
    static void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
};

// A stream of one silent block: quicker than analysing the demo track.
std::string SilentStream(const std::string& path) {
    std::string error;
    EXPECT_TRUE(WriteSampleStream(path, std::vector<SampleBlock>(1), error)) << error;
    return path;
}

// A preset holding one SimpleVis (type id 0) as solid oscilloscopes, frames cleared.
std::vector<uint8_t> OscilloscopePreset() {
    std::vector<uint8_t> bytes(kPresetHeader, kPresetHeader + kPresetHeaderBytes);
    bytes.push_back(1);
    for (int32_t word : {0, 16, 3, 0xFFFFFF, 0xFFFFFF, 3}) {
        bytes.resize(bytes.size() + 4);
        WriteInt32LE(bytes.data() + bytes.size() - 4, word);
    }
    return bytes;
}

TEST_F(RenderCommand, WritesThreeFramesOfTheDemoAsRawWords) {
    const std::string out = At("demo.rgb");
    ASSERT_EQ(Run({"--demo", "--frames", "3", "--size", "40x30", "--out", out}), 0);
    const std::vector<uint8_t> frames = Contents(out);
    ASSERT_EQ(frames.size(), 3u * 40 * 30 * 4);
    bool lit = false;
    for (uint8_t b : frames) lit = lit || b;
    EXPECT_TRUE(lit);
}

TEST_F(RenderCommand, DrawsTheSameFramesOnAnyNumberOfThreads) {
    std::vector<std::vector<uint8_t>> frames;
    for (const char* threads : {"1", "3"}) {
        ::testing::internal::CaptureStderr();
        ASSERT_EQ(Run({"--demo", "--frames", "12", "--size", "200x120", "--threads", threads, "--out", At("t.rgb")}),
                  0);
        ::testing::internal::GetCapturedStderr();
        frames.push_back(Contents(At("t.rgb")));
    }
    ASSERT_EQ(frames[0].size(), 12u * 200 * 120 * 4);
    EXPECT_EQ(frames[0], frames[1]);
}

// --pixel-size N draws what a render at 1/N of the size draws, each pixel an NxN block;
// a side that is not a multiple of N is drawn rounded up and cut.
TEST_F(RenderCommand, BiggerPixelsAreASmallerRenderEnlarged) {
    const struct {
        int32_t width, height, n;
    } cases[] = {{200, 120, 2}, {199, 121, 3}};
    for (const auto& c : cases) {
        const int32_t smallWidth = (c.width + c.n - 1) / c.n, smallHeight = (c.height + c.n - 1) / c.n;
        const auto size = [](int32_t w, int32_t h) { return std::to_string(w) + "x" + std::to_string(h); };
        ::testing::internal::CaptureStderr();
        ASSERT_EQ(Run({"--demo", "--frames", "6", "--size", size(c.width, c.height), "--pixel-size",
                       std::to_string(c.n), "--out", At("big.rgb")}),
                  0);
        ASSERT_EQ(Run({"--demo", "--frames", "6", "--size", size(smallWidth, smallHeight), "--out", At("small.rgb")}),
                  0);
        ::testing::internal::GetCapturedStderr();
        const std::vector<uint8_t> small = Contents(At("small.rgb"));
        std::vector<uint8_t> enlarged;
        for (size_t frame = 0; frame < 6; ++frame)
            for (int32_t y = 0; y < c.height; ++y)
                for (int32_t x = 0; x < c.width; ++x) {
                    const size_t from = ((frame * smallHeight + size_t(y / c.n)) * smallWidth + size_t(x / c.n)) * 4;
                    enlarged.insert(enlarged.end(), small.begin() + long(from), small.begin() + long(from) + 4);
                }
        EXPECT_TRUE(Contents(At("big.rgb")) == enlarged) << size(c.width, c.height) << " with " << c.n;
    }
}

TEST_F(RenderCommand, RepeatsTheLastBlockOfAShortStream) {
    Write(At("scope.qlp"), OscilloscopePreset());
    std::vector<SampleBlock> blocks(2);
    std::memset(blocks[0].bytes + 1152, 0x7F, 1152);  // loudest positive samples
    std::memset(blocks[1].bytes + 1152, 0x80, 1152);  // loudest negative samples
    std::string error;
    ASSERT_TRUE(WriteSampleStream(At("two.qsb"), blocks, error)) << error;
    ASSERT_EQ(Run({"--preset", At("scope.qlp"), "--samples", At("two.qsb"), "--frames", "4", "--size", "16x64",
                   "--out", At("four.rgb")}),
              0);
    const std::vector<uint8_t> bytes = Contents(At("four.rgb"));
    const size_t frame = 16 * 64 * 4;
    ASSERT_EQ(bytes.size(), 4 * frame);
    auto row0 = [&](int f) { return bytes[f * frame]; };  // blue byte of pixel (0, 0)
    EXPECT_EQ(row0(0), 0);     // rising from row 16 to 31
    EXPECT_EQ(row0(1), 0xFF);  // reaching up to row 0
    for (int f = 2; f < 4; ++f)
        EXPECT_TRUE(std::equal(bytes.begin() + frame, bytes.begin() + 2 * frame, bytes.begin() + f * frame)) << f;
}

// A track is decoded and analysed as its frames are drawn, and draws what its whole
// analysed stream draws: to its end, cut short, or held on its last block.
TEST_F(RenderCommand, DrawsATrackAsItsWholeAnalysedStream) {
    StereoAudio track = DemoTrack();
    track.left.resize(size_t(track.sampleRate) * 3 / 2);
    track.right.resize(track.left.size());
    std::string error;
    ASSERT_TRUE(WriteWav(At("track.wav"), track, error)) << error;
    StereoAudio decoded;
    ASSERT_TRUE(DecodeAudioFile(At("track.wav"), decoded, error)) << error;
    const std::vector<SampleBlock> blocks = AnalyzeAudio(decoded, 50);
    ASSERT_TRUE(WriteSampleStream(At("track.qsb"), blocks, error)) << error;
    for (const char* frames : {"", "7", "90"}) {
        std::vector<std::string> common = {"--size", "24x16", "--out"};
        auto run = [&](std::vector<std::string> input, const char* out) {
            input.insert(input.end(), common.begin(), common.end());
            input.push_back(At(out));
            if (*frames) input.insert(input.end(), {"--frames", frames});
            return Run(input);
        };
        ASSERT_EQ(run({"--audio", At("track.wav")}, "audio.rgb"), 0);
        ASSERT_EQ(run({"--samples", At("track.qsb")}, "stream.rgb"), 0);
        const size_t count = *frames ? size_t(std::atoi(frames)) : blocks.size();
        EXPECT_EQ(Contents(At("audio.rgb")).size(), count * 24 * 16 * 4) << frames;
        EXPECT_EQ(Contents(At("audio.rgb")), Contents(At("stream.rgb"))) << frames;
    }
}

TEST_F(RenderCommand, ReadsOnlyTheBlocksItRendersOfAHugeStream) {
    Write(At("huge.qsb"), {});
    fs::resize_file(At("huge.qsb"), uintmax_t(1) << 40);  // sparse
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Run({"--samples", At("huge.qsb"), "--frames", "3", "--size", "8x8", "--out", At("x.rgb")}), 0);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(fs::file_size(At("x.rgb")), 3u * 8 * 8 * 4);
}

TEST_F(RenderCommand, ReportsADamagedPresetAndFails) {
    Write(At("bad.qlp"), {'n', 'o', 't', ' ', 'a', ' ', 'p', 'r', 'e', 's', 'e', 't'});
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Run({"--preset", At("bad.qlp"), "--frames", "1", "--out", At("x.rgb")}), 1);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("Invalid Preset"), std::string::npos);
    EXPECT_FALSE(fs::exists(At("x.rgb")));
}

TEST_F(RenderCommand, FailsOnMissingFilesAndBadArguments) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Run({"--preset", At("none.qlp"), "--out", At("x.rgb")}), 1);
    EXPECT_EQ(Run({"--samples", At("none.qsb"), "--out", At("x.rgb")}), 1);
    EXPECT_EQ(Run({"--audio", At("none.wav"), "--out", At("x.rgb")}), 1);
    EXPECT_EQ(Run({"--size", "4x4"}), 2);
    EXPECT_EQ(Run({"--out", At("x.bmp")}), 2);
    const std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("none.qsb"), std::string::npos);
    EXPECT_NE(messages.find("--size"), std::string::npos);
}

TEST_F(RenderCommand, ChoosesThePackedPathsAsAsked) {
    Write(At("scope.qlp"), OscilloscopePreset());
    const std::vector<std::string> common = {"--preset", At("scope.qlp"), "--samples", SilentStream(At("s.qsb")),
                                             "--out", At("x.rgb")};
    std::vector<std::string> off = common, on = common;
    off.insert(off.end(), {"--simd", "off"});
    on.insert(on.end(), {"--simd", "on"});
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(Run(off), 0);
    EXPECT_EQ(mmxAvailable, 0);
    ASSERT_EQ(Run(on), 0);
    const int32_t chosen = mmxAvailable;
    ::testing::internal::GetCapturedStderr();
    ProbeMmx();
    EXPECT_EQ(chosen, mmxAvailable);
}

TEST_F(RenderCommand, WritesNumberedPngFiles) {
    Write(At("scope.qlp"), OscilloscopePreset());
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(Run({"--preset", At("scope.qlp"), "--samples", SilentStream(At("s.qsb")), "--frames", "2", "--size",
                   "9x9", "--out", At("shots") + "/"}),
              0);
    ::testing::internal::GetCapturedStderr();
    for (const char* name : {"shots/frame-000000.png", "shots/frame-000001.png"}) {
        const std::vector<uint8_t> png = Contents(At(name));
        ASSERT_GE(png.size(), 8u) << name;
        EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0) << name;
    }
    EXPECT_FALSE(fs::exists(At("shots/frame-000002.png")));
}

TEST_F(RenderCommand, MakesAVideoWithFfmpeg) {
    if (!FindOnPath("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Run({"--frames", "3", "--size", "33x17", "--out", At("clip.mp4")}), 0);
    ::testing::internal::GetCapturedStderr();
    EXPECT_GT(fs::file_size(At("clip.mp4")), 0u);
}

TEST_F(RenderCommand, ExplainsThatAVideoNeedsFfmpeg) {
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", At("nothing-here").c_str(), 1);
    ::testing::internal::CaptureStderr();
    const int result = Run({"--frames", "1", "--out", At("clip.webm")});
    const std::string messages = ::testing::internal::GetCapturedStderr();
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(result, 1);
    EXPECT_NE(messages.find("ffmpeg"), std::string::npos);
}

TEST(DefaultChain, NamesOnlySettingsTheEffectsHave) {
    for (const DefaultEffect& entry : DefaultChainTable()) {
        Effect* effect = CreateEffect(entry.typeId);
        if (!effect) continue;  // not in this build yet
        for (const DefaultSetting& setting : entry.settings)
            EXPECT_TRUE(SetSettingByName(*effect, setting.name, setting.value))
                << "type " << entry.typeId << " has no setting '" << setting.name << "'";
        delete effect;
    }
}

TEST(DefaultChain, HoldsEveryTypeOfThisBuild) {
    Engine engine;
    BuildDefaultChain(engine.chain);
    int expected = 0;
    for (const DefaultEffect& entry : DefaultChainTable()) {
        Effect* effect = CreateEffect(entry.typeId);
        expected += effect != nullptr;
        delete effect;
    }
    EXPECT_EQ(ChainLength(engine.chain), expected);
}
}  // namespace
