#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "apps/qelv/play/play_options.h"
#include "apps/qelv/play/preset_folder.h"

namespace {
struct Parsed {
    bool ok;
    PlayOptions options;
    std::string error;
};

Parsed Parse(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    Parsed p;
    p.ok = ParsePlayOptions(int(argv.size()), argv.data(), p.options, p.error);
    return p;
}

TEST(PlayOptions, DefaultToTheDemoWithSoundAndAFrameThatFollowsTheWindow) {
    const Parsed p = Parse({});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.options.sound);
    EXPECT_FALSE(p.options.fixedSize);
    EXPECT_EQ(p.options.input.source, SampleSource::DemoTrack);
    EXPECT_EQ(p.options.input.fps, 50);
}

TEST(PlayOptions, TakeTheRenderInputsAndNoSound) {
    const Parsed p = Parse({"--audio", "a.flac", "--no-sound", "--size=64x48", "--frames", "7", "--preset", "p.qlp",
                            "--threads", "2"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.playlist, std::vector<std::string>{"a.flac"});
    EXPECT_EQ(p.options.input.threads, 2);
    EXPECT_FALSE(p.options.sound);
    EXPECT_TRUE(p.options.fixedSize);
    EXPECT_EQ(p.options.input.source, SampleSource::AudioFile);
    EXPECT_EQ(p.options.input.inputPath, "a.flac");
    EXPECT_EQ(p.options.input.width, 64);
    EXPECT_EQ(p.options.input.frames, 7);
    EXPECT_EQ(p.options.input.presetPath, "p.qlp");
}

// Words that are no option's value are files to play, after --audio's.
TEST(PlayOptions, FilesAndFoldersMakeAPlaylist) {
    const Parsed p = Parse({"--preset", "p.qlp", "--audio", "a.wav", "b.flac", "--fps=30", "music/", "--loop"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.playlist, (std::vector<std::string>{"a.wav", "b.flac", "music/"}));
    EXPECT_EQ(p.options.input.presetPath, "p.qlp");
    EXPECT_EQ(p.options.input.source, SampleSource::AudioFile);
    EXPECT_TRUE(p.options.loop);
    EXPECT_FALSE(p.options.exitAtEnd);
    EXPECT_TRUE(Parse({"x.ogg", "--exit-at-end"}).options.exitAtEnd);
    EXPECT_TRUE(Parse({}).options.playlist.empty());
    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{"--demo", "a.wav"}, {"a.wav", "--samples", "s.qsb"}, {"--capture", "mic", "a.wav"}})
        EXPECT_FALSE(Parse(wrong).ok) << wrong[0] << " " << wrong[1];
}

TEST(PlayOptions, ShuffleTakesSecondsAboveZero) {
    EXPECT_EQ(Parse({}).options.shuffleSeconds, 0);
    EXPECT_EQ(Parse({"--shuffle", "30", "--demo"}).options.shuffleSeconds, 30);
    EXPECT_EQ(Parse({"--shuffle=2.5"}).options.shuffleSeconds, 2.5);
    for (const char* bad : {"0", "-3", "ten", "", "1e9", "nan"}) EXPECT_FALSE(Parse({"--shuffle", bad}).ok) << bad;
    EXPECT_FALSE(Parse({"--shuffle"}).ok);
}

TEST(PlayOptions, TransitionTakesSecondsFromZeroToAMinute) {
    EXPECT_EQ(Parse({}).options.transitionSeconds, 1);
    EXPECT_EQ(Parse({"--transition", "0", "--demo"}).options.transitionSeconds, 0);
    EXPECT_EQ(Parse({"--transition=2.5"}).options.transitionSeconds, 2.5);
    for (const char* bad : {"-0.5", "ten", "", "61", "nan", "1s"}) {
        const Parsed p = Parse({"--transition", bad});
        EXPECT_FALSE(p.ok) << bad;
        EXPECT_NE(p.error.find("--transition takes seconds from 0 to 60"), std::string::npos) << p.error;
    }
    EXPECT_EQ(Parse({"--transition"}).error, "--transition needs a number of seconds");
}

TEST(PlayOptions, CaptureTakesAnOptionalSourceInPlaceOfATrack) {
    struct Case {
        std::vector<std::string> arguments;
        std::string source;
    } const cases[] = {
        {{"--capture"}, ""},
        {{"--capture", "--frames", "5"}, ""},
        {{"--capture", "mic.front"}, "mic.front"},
        {{"--capture=alsa.monitor", "--no-sound"}, "alsa.monitor"},
    };
    for (const Case& c : cases) {
        const Parsed p = Parse(c.arguments);
        ASSERT_TRUE(p.ok) << p.error;
        EXPECT_TRUE(p.options.capture);
        EXPECT_EQ(p.options.captureSource, c.source);
    }
    EXPECT_EQ(Parse({"--capture", "--frames", "5"}).options.input.frames, 5);
    for (const char* track : {"--demo", "--audio=a.wav", "--samples"}) {
        const Parsed p = Parse({"--capture", track, "x"});
        EXPECT_FALSE(p.ok) << track;
        EXPECT_NE(p.error.find("--capture"), std::string::npos) << p.error;
    }
    EXPECT_TRUE(Parse({"--list-sources"}).options.listSources);
    EXPECT_FALSE(Parse({}).options.capture);
}

TEST(PlayOptions, RefuseAnOutputAndWhatTheRenderCommandRefuses) {
    Parsed p = Parse({"--out", "x.mp4"});
    EXPECT_FALSE(p.ok);
    EXPECT_NE(p.error.find("qelv render"), std::string::npos);
    EXPECT_FALSE(Parse({"--out=x.mp4"}).ok);
    EXPECT_FALSE(Parse({"--size", "4x4"}).ok);
    EXPECT_FALSE(Parse({"--audio", "a.wav", "--demo"}).ok);
    p = Parse({"--loud"});
    EXPECT_EQ(p.error, "unknown option '--loud'");
}

struct PresetFolderTest : ::testing::Test {
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("qelv-play-presets-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder / "d.qlp");  // a folder is no preset
        for (const char* name : {"b.qlp", "A.QLP", "c.txt", "e.qlp"}) std::ofstream(folder / name) << "x";
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string Path(const char* name) const { return (folder / name).string(); }
    std::filesystem::path folder;
};

TEST_F(PresetFolderTest, StepsThroughThePresetFilesByNameAndWrapsRound) {
    PresetFolder presets(Path("b.qlp"));
    EXPECT_EQ(presets.count(), 3u);
    EXPECT_EQ(presets.current(), Path("b.qlp"));
    EXPECT_EQ(presets.Step(1), Path("e.qlp"));
    EXPECT_EQ(presets.Step(1), Path("A.QLP"));
    EXPECT_EQ(presets.Step(-1), Path("e.qlp"));
    EXPECT_EQ(presets.Step(-5), Path("A.QLP"));
}

TEST_F(PresetFolderTest, KeepsTheGivenPresetEvenWhenItIsNotAPresetFile) {
    PresetFolder presets(Path("c.txt"));
    EXPECT_EQ(presets.count(), 4u);
    EXPECT_EQ(presets.Step(1), Path("e.qlp"));
}

TEST_F(PresetFolderTest, TheLibraryStartsBeforeItsFirstAndJumpsAwayFromTheCurrent) {
    EXPECT_EQ(PresetFolder::Library(Path("b.qlp")).count(), 0u);
    PresetFolder forward = PresetFolder::Library(folder.string());
    EXPECT_EQ(forward.Step(1), Path("A.QLP"));
    EXPECT_EQ(PresetFolder::Library(folder.string()).Step(-1), Path("e.qlp"));
    for (uint32_t draw = 0; draw < 6; ++draw) {
        const std::string before = forward.current();
        EXPECT_NE(forward.Jump(draw), before);
    }
}

TEST_F(PresetFolderTest, AMissingFolderLeavesJustTheGivenPreset) {
    PresetFolder presets(Path("none/x.qlp"));
    EXPECT_EQ(presets.count(), 1u);
    EXPECT_EQ(presets.Step(1), Path("none/x.qlp"));
}
}  // namespace
