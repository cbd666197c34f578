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
// analysed stream draws: to its end, cut short, or going on in silence past it.
TEST_F(RenderCommand, DrawsATrackAsItsWholeAnalysedStream) {
    StereoAudio track = DemoTrack();
    track.left.resize(size_t(track.sampleRate) * 3 / 2);
    track.right.resize(track.left.size());
    std::string error;
    ASSERT_TRUE(WriteWav(At("track.wav"), track, error)) << error;
    StereoAudio decoded;
    ASSERT_TRUE(DecodeAudioFile(At("track.wav"), decoded, error)) << error;
    const size_t trackBlocks = AnalyzeAudio(decoded, 50).size();
    // The stream of the track followed by silence, to draw all three from.
    decoded.left.resize(decoded.left.size() + size_t(decoded.sampleRate));
    decoded.right.resize(decoded.left.size());
    ASSERT_TRUE(WriteSampleStream(At("track.qsb"), AnalyzeAudio(decoded, 50), error)) << error;
    ASSERT_EQ(Run({"--samples", At("track.qsb"), "--frames", "90", "--size", "24x16", "--out", At("stream.rgb")}), 0);
    const std::vector<uint8_t> stream = Contents(At("stream.rgb"));
    const struct {
        const char* frames;
        size_t count;
        bool silent;  // past the end
    } cases[] = {{"", trackBlocks, false}, {"7", 7, false}, {"90", 90, true}};
    for (const auto& c : cases) {
        std::vector<std::string> arguments = {"--audio", At("track.wav"), "--size", "24x16", "--out", At("audio.rgb")};
        if (*c.frames) arguments.insert(arguments.end(), {"--frames", c.frames});
        ::testing::internal::CaptureStderr();
        ASSERT_EQ(Run(arguments), 0);
        const std::string messages = ::testing::internal::GetCapturedStderr();
        const std::vector<uint8_t> audio = Contents(At("audio.rgb"));
        ASSERT_EQ(audio.size(), c.count * 24 * 16 * 4) << c.frames;
        EXPECT_TRUE(std::equal(audio.begin(), audio.end(), stream.begin())) << c.frames;
        const std::string silence = "'" + At("track.wav") + "' ends after 1.5 s; the last 0.3 s go on in silence";
        EXPECT_EQ(messages.find(silence) != std::string::npos, c.silent) << messages;
    }
}

// With a pre-roll reaching back to the beginning, a part of a render is exactly those
// frames of the whole render: the blocks before it were made and analysed alike.
TEST_F(RenderCommand, WritesFromTheStartThePartOfTheWholeRender) {
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(Run({"--demo", "--duration", "15", "--size", "24x16", "--out", At("whole.rgb")}), 0);
    const std::vector<uint8_t> whole = Contents(At("whole.rgb"));
    const size_t frame = 24 * 16 * 4;
    ASSERT_EQ(whole.size(), 750 * frame);
    const std::vector<std::vector<std::string>> parts = {
        {"--start", "10", "--duration", "5"},  // the default pre-roll reaches back to 0
        {"--start", "0:10", "--duration", "0:05.00", "--pre-roll", "all"},
        {"--start", "10", "--frames", "250", "--pre-roll", "10"},
    };
    for (std::vector<std::string> part : parts) {
        part.insert(part.end(), {"--demo", "--size", "24x16", "--out", At("part.rgb")});
        ASSERT_EQ(Run(part), 0) << part[1];
        EXPECT_TRUE(Contents(At("part.rgb")) ==
                    std::vector<uint8_t>(whole.begin() + 500 * frame, whole.begin() + 750 * frame))
            << part[1] << " " << part[3];
    }
    // A shorter pre-roll starts the picture afresh later: other frames.
    ASSERT_EQ(Run({"--demo", "--start", "10", "--duration", "5", "--pre-roll", "1", "--size", "24x16", "--out",
                   At("part.rgb")}),
              0);
    EXPECT_EQ(Contents(At("part.rgb")).size(), 250 * frame);
    EXPECT_FALSE(Contents(At("part.rgb")) ==
                 std::vector<uint8_t>(whole.begin() + 500 * frame, whole.begin() + 750 * frame));
    EXPECT_EQ(Run({"--demo", "--start", "25.1", "--out", At("late.rgb")}), 1);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("--start 25.1 s is past the end of the demo track (25 s)"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(At("late.rgb")));
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

// What ffprobe finds in a video: its picture's size and length, and its sound's length
// (-1 when it has none).
struct Probed {
    int width = 0, height = 0;
    double video = -1, audio = -1;
};

Probed Probe(const std::string& path) {
    const std::string command = "ffprobe -v error -show_entries stream=codec_type,width,height,duration "
                                "-of default=noprint_wrappers=1 '" + path + "'";
    Probed probed;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return probed;
    std::string type;
    for (char line[256]; std::fgets(line, sizeof line, pipe);) {
        const std::string text(line);
        const std::string value = text.substr(text.find('=') + 1);
        if (text.rfind("codec_type=", 0) == 0) type = value.substr(0, value.size() - 1);
        if (text.rfind("width=", 0) == 0) probed.width = std::atoi(value.c_str());
        if (text.rfind("height=", 0) == 0) probed.height = std::atoi(value.c_str());
        if (text.rfind("duration=", 0) == 0 && value != "N/A\n")
            (type == "audio" ? probed.audio : probed.video) = std::atof(value.c_str());
    }
    pclose(pipe);
    return probed;
}

// Each video carries the sound of the frames written, silence past the end of a track,
// and a size its codec takes, which the messages tell.
TEST_F(RenderCommand, MakesVideosWithTheirSoundAtSizesTheCodecsTake) {
    if (!FindOnPath("ffmpeg") || !FindOnPath("ffprobe")) GTEST_SKIP() << "ffmpeg is not installed";
    StereoAudio track = DemoTrack();
    track.left.resize(size_t(track.sampleRate) * 3 / 2);
    track.right.resize(track.left.size());
    std::string error;
    ASSERT_TRUE(WriteWav(At("track.wav"), track, error)) << error;
    const struct {
        std::vector<std::string> arguments;
        const char* out;
        int width, height;
        double seconds;  // of the picture and of the sound, where the streams tell it
        const char* message;
    } cases[] = {
        {{"--frames", "3", "--size", "33x17"}, "odd.mp4", 32, 16, 0.06, ".mp4 video takes even sides only: drawing 32x16, not 33x17"},
        {{"--frames", "3", "--size", "17x9"}, "odd.webm", 16, 8, -1, "3 frames of 16x8 written"},
        {{"--frames", "3", "--size", "17x9"}, "odd.gif", 17, 9, -1, "3 frames of 17x9 written"},
        {{"--demo", "--start", "10", "--duration", "5", "--size", "32x18"}, "part.mp4", 32, 18, 5.0, "250 frames of 32x18"},
        {{"--audio", At("track.wav"), "--duration", "3", "--size", "32x18"}, "long.mp4", 32, 18, 3.0, "in silence"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(), {"--out", At(c.out)});
        ::testing::internal::CaptureStderr();
        ASSERT_EQ(Run(arguments), 0) << c.out;
        const std::string messages = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(messages.find(c.message), std::string::npos) << c.out << ": " << messages;
        const Probed probed = Probe(At(c.out));
        EXPECT_EQ(probed.width, c.width) << c.out;
        EXPECT_EQ(probed.height, c.height) << c.out;
        if (c.seconds < 0) continue;
        EXPECT_NEAR(probed.video, c.seconds, 0.03) << c.out;
        EXPECT_NEAR(probed.audio, c.seconds, 0.03) << c.out;
    }
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
