#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "apps/qelv/playlist.h"
#include "apps/qelv/playlist_source.h"
#include "tests/player/whole_track.h"

namespace fs = std::filesystem;

namespace {
// 1000 samples a second at 10 blocks a second; every wait moves on by one block, and
// gives the stream's reading thread a moment.
struct StepClock final : PlaybackClock {
    int64_t Position() override { return position; }
    void SetPaused(bool pause) override { paused = pause; }
    void WaitFor(int64_t) override {
        position += paused ? 0 : 100;
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    int sampleRate() const override { return 1000; }
    int64_t position = 0;
    bool paused = true;
};

// Entry e of a list: `lengths[e]` blocks marked (e, k), or a failure when the length is 0.
struct Scripted {
    std::vector<int> lengths;
    std::vector<std::string> log;
    int loads = 0, maxLoads = 1000;

    PlaylistSource::Hooks Hooks() {
        PlaylistSource::Hooks hooks;
        hooks.load = [this](size_t e, PlaylistTrack& track, std::string& error) {
            if (++loads > maxLoads || lengths[e] == 0) {
                error = "bad " + std::to_string(e);
                return false;
            }
            std::vector<SampleBlock> blocks(size_t(lengths[e]));
            for (int k = 0; k < lengths[e]; ++k) blocks[size_t(k)].bytes[0] = uint8_t(10 * e + k);
            const std::string path = (fs::temp_directory_path() / ("qelv-playlist-" + std::to_string(e) + ".qsb")).string();
            track = std::make_unique<TrackStream>(10, 0.2);
            const bool opened = WriteSampleStream(path, blocks, error) && track->OpenSampleStream(path, 1000, error);
            fs::remove(path);  // the stream reads on from the open file
            return opened;
        };
        hooks.openClock = [](const PlaylistTrack&) { return std::make_unique<StepClock>(); };
        hooks.started = [this](size_t e) { log.push_back("start " + std::to_string(e)); };
        hooks.failed = [this](size_t e, const std::string& error) { log.push_back("skip " + std::to_string(e) + ": " + error); };
        return hooks;
    }
};

// Plays as a session does, up to `most` blocks, for ten seconds at most: the blocks in order.
std::vector<SampleBlock> Drain(PlaylistSource& source, int64_t most) {
    std::vector<SampleBlock> blocks;
    source.SetPaused(false);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int64_t taken = 0;
    while (taken < most && std::chrono::steady_clock::now() < deadline) {
        for (const int64_t due = source.Due(); taken < due && taken < most; ++taken) blocks.push_back(source.Block(taken));
        if (source.Ended(taken)) break;
        source.WaitForNext(taken);
    }
    return blocks;
}

std::vector<int> Marks(const std::vector<SampleBlock>& blocks) {
    std::vector<int> marks;
    for (const SampleBlock& block : blocks) marks.push_back(block.bytes[0]);
    return marks;
}

TEST(PlaylistSource, PlaysTheTracksInTurnAndWhatTheEndAsks) {
    const uint8_t silent = [] {
        StereoAudio quiet;
        quiet.left = quiet.right = {0.0f};
        return AnalyzeAudio(quiet, 50).front().bytes[0];
    }();
    struct Case {
        const char* name;
        std::vector<int> lengths;
        PlaylistSource::AtEnd atEnd;
        int64_t limit;
        std::vector<int> marks;
        std::vector<std::string> log;
        int loads;
    };
    const int s = silent;
    const std::vector<Case> cases = {
        {"a failed entry is passed over", {3, 0, 2}, PlaylistSource::AtEnd::Stop, 100, {0, 1, 2, 20, 21},
         {"start 0", "skip 1: bad 1", "start 2"}, 3},
        {"a loop starts again, up to the limit", {2, 1}, PlaylistSource::AtEnd::Loop, 7, {0, 1, 10, 0, 1, 10, 0},
         {"start 0", "start 1", "start 0", "start 1", "start 0"}, 6},
        {"one track loops, opened again each time", {2}, PlaylistSource::AtEnd::Loop, 5, {0, 1, 0, 1, 0},
         {"start 0", "start 0", "start 0"}, 4},
        {"silence follows the list", {2}, PlaylistSource::AtEnd::Silence, 6, {0, 1, s, s, s, s}, {"start 0"}, 1},
        {"the first loads", {0, 1}, PlaylistSource::AtEnd::Stop, 100, {10}, {"skip 0: bad 0", "start 1"}, 2},
    };
    for (const Case& c : cases) {
        Scripted script{c.lengths, {}};
        {
            PlaylistSource source(c.lengths.size(), 10, c.atEnd, c.limit, script.Hooks());
            std::string error;
            ASSERT_TRUE(source.Start(error)) << c.name << ": " << error;
            EXPECT_EQ(Marks(Drain(source, 1000)), c.marks) << c.name;
        }  // the loading thread is done once the source is gone
        EXPECT_EQ(script.log, c.log) << c.name;
        EXPECT_EQ(script.loads, c.loads) << c.name;
    }
}

TEST(PlaylistSource, ALoopOfFailuresEndsAndNoTrackIsAnError) {
    // Every load after the first fails: the loop plays the track once and stops.
    Scripted once{{2, 3}, {}};
    once.maxLoads = 1;
    PlaylistSource looping(2, 10, PlaylistSource::AtEnd::Loop, 1000, once.Hooks());
    std::string error;
    ASSERT_TRUE(looping.Start(error));
    EXPECT_EQ(Marks(Drain(looping, 1000)), (std::vector<int>{0, 1}));

    Scripted none{{0, 0}, {}};
    PlaylistSource nothing(2, 10, PlaylistSource::AtEnd::Stop, 1000, none.Hooks());
    EXPECT_FALSE(nothing.Start(error));
    EXPECT_EQ(error, "bad 1");
}

// An audio track is decoded as it plays, each pass of a loop anew.
TEST(PlaylistSource, DecodesAudioTracksAsTheyPlay) {
    const std::string wav = (fs::temp_directory_path() / "qelv-playlist-stream.wav").string();
    StereoAudio track;
    track.sampleRate = 1000;  // the step clock's rate
    for (int n = 0; n < 650; ++n) {
        track.left.push_back(float((n * 37) % 200 - 100) / 100.0f);
        track.right.push_back(float(n % 50) / 50.0f);
    }
    std::string error;
    ASSERT_TRUE(WriteWav(wav, track, error)) << error;
    ASSERT_TRUE(DecodeAudioFile(wav, track, error)) << error;  // as 16-bit samples
    const std::vector<SampleBlock> blocks = AnalyzeAudio(track, 10);
    ASSERT_GE(blocks.size(), 5u);
    int loads = 0;
    PlaylistSource::Hooks hooks;
    hooks.load = [&](size_t, PlaylistTrack& entry, std::string& problem) {
        ++loads;
        entry = std::make_unique<TrackStream>(10, 0.2);
        return entry->Open(wav, false, problem);
    };
    hooks.openClock = [](const PlaylistTrack&) { return std::make_unique<StepClock>(); };
    const int64_t limit = int64_t(blocks.size()) * 2 + 3;
    {
        PlaylistSource source(1, 10, PlaylistSource::AtEnd::Loop, limit, hooks);
        ASSERT_TRUE(source.Start(error)) << error;
        const std::vector<SampleBlock> played = Drain(source, limit + 10);
        ASSERT_EQ(played.size(), size_t(limit));
        for (size_t k = 0; k < played.size(); ++k)
            ASSERT_EQ(std::memcmp(played[k].bytes, blocks[k % blocks.size()].bytes, kBlockBytes), 0) << "block " << k;
    }  // its loading thread is done
    EXPECT_EQ(loads, 4);  // three passes begun, and the fourth's preloaded
    fs::remove(wav);
}

TEST(Playlist, FoldersGiveTheirAudioFilesInNameOrder) {
    const fs::path dir = fs::temp_directory_path() / "qelv-playlist";
    fs::remove_all(dir);
    fs::create_directories(dir / "album" / "inner");
    fs::create_directories(dir / "empty");
    for (const char* name : {"album/b.FLAC", "album/a.wav", "album/cover.jpg", "album/inner/x.wav", "single.weird"})
        std::ofstream(dir / name) << "x";
    std::vector<std::string> tracks;
    std::string error;
    ASSERT_TRUE(ExpandPlaylist({(dir / "single.weird").string(), (dir / "album").string()}, tracks, error)) << error;
    EXPECT_EQ(tracks, (std::vector<std::string>{(dir / "single.weird").string(), (dir / "album/a.wav").string(),
                                                 (dir / "album/b.FLAC").string()}));
    EXPECT_FALSE(ExpandPlaylist({(dir / "missing.wav").string()}, tracks, error));
    EXPECT_NE(error.find("no such file or folder"), std::string::npos) << error;
    fs::create_symlink("loop", dir / "loop");
    EXPECT_FALSE(ExpandPlaylist({(dir / "loop").string()}, tracks, error));
    EXPECT_NE(error.find("levels of symbolic links"), std::string::npos) << error;
    EXPECT_FALSE(ExpandPlaylist({(dir / "empty").string()}, tracks, error));
    EXPECT_NE(error.find("holds no audio files"), std::string::npos) << error;
    fs::remove_all(dir);
}
}  // namespace
