#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "apps/qelv/render/render_options.h"
#include "apps/qelv/render/time_text.h"

namespace {
struct Parsed {
    bool ok;
    RenderOptions options;
    std::string error;
};

Parsed Parse(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    Parsed p;
    p.ok = ParseRenderOptions(int(argv.size()), argv.data(), p.options, p.error);
    return p;
}

TEST(RenderOptions, DefaultToTheDemoAtItsOwnLength) {
    const Parsed p = Parse({});
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.options.source, SampleSource::DemoTrack);
    EXPECT_EQ(p.options.width, 640);
    EXPECT_EQ(p.options.height, 360);
    EXPECT_EQ(p.options.frames, 0);
    EXPECT_EQ(p.options.fps, 50);
    EXPECT_TRUE(p.options.simd);
    EXPECT_EQ(p.options.threads, CoresAvailable());
    EXPECT_GE(p.options.threads, 1);
    EXPECT_TRUE(p.options.presetPath.empty());
    EXPECT_TRUE(p.options.outPath.empty());
}

TEST(RenderOptions, TakeValuesAfterTheNameOrAnEqualsSign) {
    const Parsed p = Parse({"--preset", "a.qlp", "--samples=b.qsb", "--size", "64X48", "--frames=3", "--fps", "25",
                            "--simd=off", "--threads", "3", "--out", "c.rgb"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.presetPath, "a.qlp");
    EXPECT_EQ(p.options.source, SampleSource::SampleStream);
    EXPECT_EQ(p.options.inputPath, "b.qsb");
    EXPECT_EQ(p.options.width, 64);
    EXPECT_EQ(p.options.height, 48);
    EXPECT_EQ(p.options.frames, 3);
    EXPECT_EQ(p.options.fps, 25);
    EXPECT_FALSE(p.options.simd);
    EXPECT_EQ(p.options.threads, 3);
    EXPECT_EQ(p.options.output, OutputKind::RawFrames);
}

TEST(RenderOptions, AcceptSidesFrom8To8192) {
    EXPECT_TRUE(Parse({"--size", "8x8"}).ok);
    EXPECT_TRUE(Parse({"--size", "8192x8192"}).ok);
    EXPECT_TRUE(Parse({"--size", "333x97"}).ok);
    for (const char* bad : {"7x8", "8x7", "8193x100", "100x8193", "640x", "x360", "640", "-8x8", "+8x8", "8x 8",
                            "64x48x2", "99999999999999999999x8"}) {
        const Parsed p = Parse({"--size", bad});
        EXPECT_FALSE(p.ok) << bad;
        EXPECT_NE(p.error.find("--size"), std::string::npos) << bad;
    }
}

TEST(RenderOptions, RefuseBadNumbersAndSwitches) {
    EXPECT_FALSE(Parse({"--frames", "0"}).ok);
    EXPECT_FALSE(Parse({"--frames", "-5"}).ok);
    EXPECT_FALSE(Parse({"--frames", "3.5"}).ok);
    EXPECT_FALSE(Parse({"--fps", "0"}).ok);
    EXPECT_FALSE(Parse({"--fps", "1001"}).ok);
    EXPECT_FALSE(Parse({"--simd", "yes"}).ok);
    EXPECT_EQ(Parse({"--threads=64"}).options.threads, 64);
    for (const char* bad : {"0", "65", "-1", "two", "1.5"}) {
        const Parsed p = Parse({"--threads", bad});
        EXPECT_FALSE(p.ok) << bad;
        EXPECT_EQ(p.error, std::string("--threads wants a whole number from 1 to 64, not '") + bad + "'");
    }
    EXPECT_FALSE(Parse({"--frames"}).ok);         // no value
    EXPECT_FALSE(Parse({"--preset="}).ok);        // empty value
    EXPECT_FALSE(Parse({"--demo=1"}).ok);         // a switch with a value
    EXPECT_FALSE(Parse({"--colour", "red"}).ok);  // unknown
    EXPECT_FALSE(Parse({"a.wav", "stray"}).ok);  // a second input
}

// Every side drawn must be one the effects can take, whatever the pixel size.
TEST(RenderOptions, PixelSizeFrom1To8WithSidesDrawnOf8AtLeast) {
    EXPECT_EQ(Parse({}).options.pixelSize, 0);
    EXPECT_EQ(Parse({"--pixel-size", "1"}).options.pixelSize, 1);
    EXPECT_EQ(Parse({"--pixel-size=8", "--size", "64x64"}).options.pixelSize, 8);
    EXPECT_TRUE(Parse({"--size", "57x57", "--pixel-size", "8"}).ok);  // 8x8 drawn, the last blocks cut
    for (const char* bad : {"0", "9", "-2", "two", "1.5"}) {
        const Parsed p = Parse({"--pixel-size", bad});
        EXPECT_FALSE(p.ok) << bad;
        EXPECT_EQ(p.error, std::string("--pixel-size wants a whole number from 1 to 8, not '") + bad + "'");
    }
    const Parsed small = Parse({"--pixel-size", "8", "--size", "56x400"});
    EXPECT_FALSE(small.ok);
    EXPECT_EQ(small.error, "--pixel-size 8 would draw 56x400 at 7x50; each side drawn must be at least 8");
}

TEST(RenderOptions, QualityIsGoodUnlessNamed) {
    EXPECT_EQ(Parse({}).options.quality, VideoQuality::Good);
    EXPECT_EQ(Parse({"--quality", "draft"}).options.quality, VideoQuality::Draft);
    EXPECT_EQ(Parse({"--quality=best"}).options.quality, VideoQuality::Best);
    EXPECT_FALSE(Parse({"--quality", "fast"}).ok);
}

TEST(RenderTimes, ReadSecondsAndClockFormsOnly) {
    const struct {
        const char* text;
        double seconds;
    } good[] = {{"0", 0},         {"12", 12},           {"12.5", 12.5},       {"007", 7},         {"1:05", 65},
                {"1:05.25", 65.25}, {"90:00", 5400},    {"1:02:03", 3723},    {"0:00:00.5", 0.5}, {"2:59:59", 10799}};
    for (const auto& row : good) {
        double seconds = -1;
        EXPECT_TRUE(ParseTime(row.text, seconds)) << row.text;
        EXPECT_DOUBLE_EQ(seconds, row.seconds) << row.text;
        // What the progress bar shows reads back as its whole seconds.
        double shown = -1;
        EXPECT_TRUE(ParseTime(ClockText(row.seconds), shown)) << ClockText(row.seconds);
        EXPECT_EQ(shown, double(int64_t(row.seconds))) << row.text;
    }
    for (const char* bad : {"", "-1", "+1", "1e3", "abc", "7.", ".5", "1.2.3", " 1", "0x10", "inf", "nan", "1:5",
                            "1:60", "1:2:3", "1:60:00", ":30", "1::30", "1:30:", "1.5:30", "1:02:03:04"}) {
        double seconds = -1;
        EXPECT_FALSE(ParseTime(bad, seconds)) << bad;
        EXPECT_EQ(seconds, -1) << bad;
    }
}

TEST(RenderOptions, CountTimesAsFramesAtTheChosenRate) {
    const Parsed cut = Parse({"--start=1:10.5", "--duration", "1:30", "--fps", "25"});
    ASSERT_TRUE(cut.ok) << cut.error;
    EXPECT_DOUBLE_EQ(cut.options.startSeconds, 70.5);
    EXPECT_EQ(cut.options.frames, 2250);
    EXPECT_EQ(cut.options.preRollSeconds, 10);
    EXPECT_EQ(Parse({"--pre-roll", "all"}).options.preRollSeconds, kWholePreRoll);
    EXPECT_EQ(Parse({"--pre-roll=0"}).options.preRollSeconds, 0);
    const struct {
        std::vector<std::string> arguments;
        const char* error;
    } bad[] = {
        {{"--start", "-1"}, "--start wants a time: seconds (12.5), m:ss or h:mm:ss, not '-1'"},
        {{"--duration", "soon"}, "--duration wants a time: seconds (12.5), m:ss or h:mm:ss, not 'soon'"},
        {{"--pre-roll", "whole"}, "--pre-roll wants a time: seconds (12.5), m:ss or h:mm:ss, or all, not 'whole'"},
        {{"--duration", "0"}, "--duration 0 is shorter than one frame at 50 frames a second"},
        {{"--duration", "0.01", "--fps", "25"}, "--duration 0.01 is shorter than one frame at 25 frames a second"},
        {{"--frames", "3", "--duration", "3"}, "give --frames or --duration, not both"},
        {{"--duration", "99999999"}, "--duration 99999999 is more than the 2147483647 frames a render can have at 50 frames a second"},
        {{"--start", "99999999"}, "--start is past the 2147483647 frames a render can reach at 50 frames a second"},
    };
    for (const auto& row : bad) {
        const Parsed p = Parse(row.arguments);
        EXPECT_FALSE(p.ok) << row.error;
        EXPECT_EQ(p.error, row.error);
    }
}

TEST(RenderOptions, AllowOneSampleSource) {
    EXPECT_TRUE(Parse({"--demo"}).ok);
    EXPECT_EQ(Parse({"--audio", "x.flac"}).options.source, SampleSource::AudioFile);
    // A file on its own, as play takes it: audio, or a sample stream by its extension.
    const Parsed file = Parse({"x.flac", "--frames", "3"});
    EXPECT_TRUE(file.ok) << file.error;
    EXPECT_EQ(file.options.source, SampleSource::AudioFile);
    EXPECT_EQ(file.options.inputPath, "x.flac");
    EXPECT_EQ(Parse({"s.qsb"}).options.source, SampleSource::SampleStream);
    for (const auto& twice : {std::vector<std::string>{"--demo", "--audio", "x.flac"}, {"x.flac", "--demo"}}) {
        const Parsed p = Parse(twice);
        EXPECT_FALSE(p.ok);
        EXPECT_NE(p.error.find("at most one"), std::string::npos) << p.error;
    }
}

TEST(RenderOptions, HelpWinsOverEverythingAfterIt) {
    EXPECT_TRUE(Parse({"--help", "--bogus"}).options.help);
    EXPECT_TRUE(Parse({"-h"}).options.help);
}

OutputKind Kind(const std::string& path) {
    OutputKind kind = OutputKind::Video;
    std::string error;
    EXPECT_TRUE(ClassifyOutput(path, kind, error)) << path << ": " << error;
    return kind;
}

TEST(RenderOutput, FollowsTheExtension) {
    EXPECT_EQ(Kind("frames.rgb"), OutputKind::RawFrames);
    EXPECT_EQ(Kind("out/a.MP4"), OutputKind::Video);
    EXPECT_EQ(Kind("a.webm"), OutputKind::Video);
    EXPECT_EQ(Kind("a.gif"), OutputKind::Video);
    EXPECT_EQ(Kind("shots/"), OutputKind::PngFrames);
    EXPECT_EQ(Kind("shots.rgb/"), OutputKind::PngFrames);
    EXPECT_EQ(Kind("shots"), OutputKind::PngFrames);
    EXPECT_EQ(Kind("release.v2/shots"), OutputKind::PngFrames);
    EXPECT_EQ(Kind(".hidden"), OutputKind::PngFrames);
}

TEST(RenderOutput, AnExistingDirectoryTakesPngFramesWhateverItsName) {
    const std::filesystem::path directory = std::filesystem::temp_directory_path() / "qelv-render-test.mp4";
    std::filesystem::create_directories(directory);
    EXPECT_EQ(Kind(directory.string()), OutputKind::PngFrames);
    std::filesystem::remove(directory);
}

TEST(RenderOutput, RefusesUnknownExtensions) {
    OutputKind kind;
    std::string error;
    EXPECT_FALSE(ClassifyOutput("a.png", kind, error));
    EXPECT_NE(error.find(".png"), std::string::npos);
    EXPECT_FALSE(Parse({"--out", "a.avi"}).ok);
}

TEST(RenderOutput, DefaultsToAVideoOnlyWithFfmpeg) {
    EXPECT_EQ(DefaultOutputPath(true), "out/qelv-demo.mp4");
    EXPECT_EQ(DefaultOutputPath(false), "out/qelv-demo/");
}
}  // namespace
