#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "apps/qelv/play/playlist.h"
#include "apps/qelv/play/playlist_source.h"
#include "engine/engine.h"
#include "tests/player/whole_track.h"

namespace fs = std::filesystem;

namespace {
// A path of this process's own in the temporary folder: test binaries may run side by side.
fs::path Scratch(const std::string& name) {
    return fs::temp_directory_path() / ("qelv-playlist-" + std::to_string(getpid()) + "-" + name);
}

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

// Whether it is what the analysis makes of silence: what plays while no track is ready,
// and after a list.
bool Silent(const SampleBlock& block) {
    static const SampleBlock silence = [] {
        StereoAudio quiet;
        quiet.left = quiet.right = {0.0f};
        return AnalyzeAudio(quiet, 50).front();
    }();
    return std::memcmp(block.bytes, silence.bytes, kBlockBytes) == 0;
}

// Entry e of a list: `lengths[e]` blocks marked 10 e + k + 1 (never silence's 0), or a
// failure when the length is 0.
struct Scripted {
    std::vector<int> lengths;
    std::vector<std::string> log;
    int maxLoads = 1000;
    std::atomic<int> loads{0};
    std::vector<std::atomic<int>> loadsOf = std::vector<std::atomic<int>>(lengths.size());

    PlaylistSource::Hooks Hooks() {
        PlaylistSource::Hooks hooks;
        hooks.load = [this](size_t e, PlaylistTrack& track, std::string& error) {
            ++loadsOf[e];
            if (++loads > maxLoads || lengths[e] == 0) {
                error = "bad " + std::to_string(e);
                return false;
            }
            std::vector<SampleBlock> blocks(size_t(lengths[e]));
            for (int k = 0; k < lengths[e]; ++k) blocks[size_t(k)].bytes[0] = uint8_t(10 * e + k + 1);
            const std::string path = Scratch(std::to_string(e) + ".qsb").string();
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

// Plays as a session does, for ten seconds at most, until it ends or `most` blocks of
// tracks have been heard: the blocks in order. The first track is waited for before
// any block is taken, so that no silence comes before it.
std::vector<SampleBlock> Drain(PlaylistSource& source, int64_t most) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (source.tracksStarted() == 0 && !source.Ended(0) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    std::vector<SampleBlock> blocks;
    source.SetPaused(false);
    int64_t taken = 0, heard = 0;
    while (heard < most && std::chrono::steady_clock::now() < deadline) {
        for (const int64_t due = source.Due(); taken < due && heard < most; ++taken) {
            blocks.push_back(source.Block(taken));
            heard += !Silent(blocks.back());
        }
        if (source.Ended(taken)) break;
        source.WaitForNext(taken);
    }
    return blocks;
}

// The marks of the tracks' blocks: silence, which fills in while the next track is still
// being looked for, is left out.
std::vector<int> Marks(const std::vector<SampleBlock>& blocks) {
    std::vector<int> marks;
    for (const SampleBlock& block : blocks)
        if (!Silent(block)) marks.push_back(block.bytes[0]);
    return marks;
}

TEST(PlaylistSource, PlaysTheTracksInTurnAndWhatTheEndAsks) {
    // Silence between tracks counts towards a limit, and how much there is depends on
    // how busy the machine is.
    constexpr int64_t kNoLimit = 1000000;
    struct Case {
        const char* name;
        std::vector<int> lengths;
        PlaylistSource::AtEnd atEnd;
        int64_t limit, most;  // most: the track blocks heard before the player stops
        std::vector<int> marks;
        std::vector<std::string> log;
        std::vector<int> loadsOf;  // empty: as many as the timing gives
        std::string problem;
        size_t silentAfter = 0;  // blocks of silence after the tracks
    };
    const std::vector<Case> cases = {
        {"a failed entry is passed over", {3, 0, 2}, PlaylistSource::AtEnd::Stop, kNoLimit, 100, {1, 2, 3, 21, 22},
         {"start 0", "skip 1: bad 1", "start 2"}, {1, 1, 1}},
        {"a loop starts again", {2, 1}, PlaylistSource::AtEnd::Loop, kNoLimit, 7, {1, 2, 11, 1, 2, 11, 1},
         {"start 0", "start 1", "start 0", "start 1", "start 0"}},
        {"one track loops, opened again each time", {2}, PlaylistSource::AtEnd::Loop, kNoLimit, 5, {1, 2, 1, 2, 1},
         {"start 0", "start 0", "start 0"}},
        {"a failed entry is not tried again on the next pass", {2, 0, 1}, PlaylistSource::AtEnd::Loop, kNoLimit, 8,
         {1, 2, 21, 1, 2, 21, 1, 2}, {"start 0", "skip 1: bad 1", "start 2", "start 0", "start 2", "start 0"}},
        {"silence follows the list, up to the limit", {2}, PlaylistSource::AtEnd::Silence, 6, 100, {1, 2},
         {"start 0"}, {1}, "", 4},
        {"the first loads", {0, 1}, PlaylistSource::AtEnd::Stop, kNoLimit, 100, {11}, {"skip 0: bad 0", "start 1"}, {1, 1}},
        {"a list of which nothing loads ends", {0, 0}, PlaylistSource::AtEnd::Silence, kNoLimit, 100, {},
         {"skip 0: bad 0", "skip 1: bad 1"}, {1, 1}, "none of the files could be played"},
        {"a loop of which nothing loads ends", {0, 0}, PlaylistSource::AtEnd::Loop, kNoLimit, 100, {},
         {"skip 0: bad 0", "skip 1: bad 1"}, {1, 1}, "none of the files could be played"},
        {"a list of one gives its own message", {0}, PlaylistSource::AtEnd::Loop, kNoLimit, 100, {}, {}, {1}, "bad 0"},
    };
    for (const Case& c : cases) {
        Scripted script{c.lengths};
        std::vector<SampleBlock> played;
        {
            PlaylistSource source(c.lengths.size(), 10, c.atEnd, c.limit, script.Hooks());
            source.Start();
            played = Drain(source, c.most);
            EXPECT_EQ(source.problem(), c.problem) << c.name;
        }  // the finder's thread is done once the source is gone
        EXPECT_EQ(Marks(played), c.marks) << c.name;
        EXPECT_EQ(script.log, c.log) << c.name;
        for (size_t e = 0; e < c.loadsOf.size(); ++e) EXPECT_EQ(script.loadsOf[e].load(), c.loadsOf[e]) << c.name << ", " << e;
        if (c.silentAfter) {
            EXPECT_EQ(played.size(), c.marks.size() + c.silentAfter) << c.name;
            EXPECT_TRUE(Silent(played.back())) << c.name;
        }
    }
}

TEST(PlaylistSource, ALoopWhoseEntriesAllFailLaterEnds) {
    // Every load after the first fails: the loop plays the track once and stops.
    Scripted once{{2, 3}};
    once.maxLoads = 1;
    PlaylistSource looping(2, 10, PlaylistSource::AtEnd::Loop, 1000, once.Hooks());
    looping.Start();
    EXPECT_EQ(Marks(Drain(looping, 1000)), (std::vector<int>{1, 2}));
    EXPECT_EQ(looping.problem(), "none of the files can be played any more");
    EXPECT_EQ(once.log, (std::vector<std::string>{"start 0", "skip 1: bad 1", "skip 0: bad 0"}));
}

// An audio track is decoded as it plays, each pass of a loop anew.
TEST(PlaylistSource, DecodesAudioTracksAsTheyPlay) {
    const std::string wav = Scratch("stream.wav").string();
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
    std::atomic<int> loads{0};
    PlaylistSource::Hooks hooks;
    hooks.load = [&](size_t, PlaylistTrack& entry, std::string& problem) {
        ++loads;
        entry = std::make_unique<TrackStream>(10, 0.2);
        return entry->Open(wav, false, problem);
    };
    hooks.openClock = [](const PlaylistTrack&) { return std::make_unique<StepClock>(); };
    const int64_t most = int64_t(blocks.size()) * 2 + 3;
    {
        PlaylistSource source(1, 10, PlaylistSource::AtEnd::Loop, 1000000, hooks);
        source.Start();
        std::vector<SampleBlock> played = Drain(source, most);
        played.erase(std::remove_if(played.begin(), played.end(),
                                    Silent),
                     played.end());
        ASSERT_EQ(played.size(), size_t(most));
        for (size_t k = 0; k < played.size(); ++k)
            ASSERT_EQ(std::memcmp(played[k].bytes, blocks[k % blocks.size()].bytes, kBlockBytes), 0) << "block " << k;
    }  // its finder's thread is done
    EXPECT_GE(loads, 3);  // three passes begun
    fs::remove(wav);
}

// Names that give no track are passed over with the reason, as files that do not decode
// are, and the rest of the list stands.
TEST(Playlist, FoldersGiveTheirAudioFilesInNameOrderAndWhatGivesNoneIsPassedOver) {
    const fs::path dir = Scratch("names");
    fs::remove_all(dir);
    fs::create_directories(dir / "album" / "inner");
    fs::create_directories(dir / "empty");
    for (const char* name : {"album/b.FLAC", "album/a.wav", "album/cover.jpg", "album/inner/x.wav", "single.weird"})
        std::ofstream(dir / name) << "x";
    fs::create_symlink(dir / "loop-b", dir / "loop-a");
    fs::create_symlink(dir / "loop-a", dir / "loop-b");
    fs::create_symlink(dir / "gone.wav", dir / "dangling.wav");
    auto in = [&](const char* name) { return (dir / name).string(); };
    std::vector<std::string> tracks;
    std::vector<PassedOver> passedOver;
    ExpandPlaylist({in("missing.wav"), in("single.weird"), in("loop-a"), in("album"), in("dangling.wav"), in("empty")},
                   tracks, passedOver);
    EXPECT_EQ(tracks, (std::vector<std::string>{in("single.weird"), in("album/a.wav"), in("album/b.FLAC")}));
    const std::vector<std::pair<std::string, std::string>> expected = {
        {in("missing.wav"), "no such file or folder"},
        {in("loop-a"), "its symbolic links go round in a loop"},
        {in("dangling.wav"), "it is a symbolic link to nothing"},
        {in("empty"), "it holds no audio files"},
    };
    ASSERT_EQ(passedOver.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(passedOver[i].name, expected[i].first);
        EXPECT_EQ(passedOver[i].reason, expected[i].second);
    }
    fs::remove_all(dir);
}

// A window that closes once told to, or after very many turns so that a fault cannot hang
// the test.
struct ClosingWindow final : PlayerWindow {
    bool NextEvent(PlayerEvent& event) override {
        if (!close && ++turns < 1000000) return false;
        event = {PlayerEvent::Kind::Close};
        return true;
    }
    void Show(const uint32_t*, int32_t, int32_t) override {}
    bool SetFullscreen(bool) override { return true; }
    void InsideSize(int32_t& width, int32_t& height) const override { width = height = 8; }
    std::atomic<bool> close{false};
    int turns = 0;
};

// Files that do not decode, ahead of one that does, are tried on a thread of their own
// while the picture goes on: each is held back until three more frames have been drawn
// (it used to be tried on the window's thread, which drew nothing meanwhile). Looping,
// they are not tried again.
TEST(PlaylistSource, FramesAreDrawnWhileJunkIsTriedAndJunkIsNotTriedAgain) {
    const fs::path dir = Scratch("junk");
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::vector<std::string> files;
    for (const char* name : {"junk-1.wav", "junk-2.mp3"}) {
        files.push_back((dir / name).string());
        std::mt19937 noise(uint32_t(files.size()));
        std::ofstream junk(files.back(), std::ios::binary);
        for (int i = 0; i < 4096; ++i) junk.put(char(noise()));
    }
    files.push_back((dir / "good.wav").string());
    StereoAudio track;
    track.sampleRate = 1000;  // the step clock's rate
    for (int n = 0; n < 450; ++n) track.left.push_back(track.right.emplace_back(float(n % 40) / 40.0f - 0.5f));
    std::string error;
    ASSERT_TRUE(WriteWav(files.back(), track, error)) << error;

    std::atomic<int64_t> frames{0};
    std::vector<int64_t> framesWhileTried(files.size(), -1);
    std::vector<std::atomic<int>> loads(files.size());
    std::vector<std::string> log;
    ClosingWindow window;
    PlaylistSource::Hooks hooks;
    hooks.load = [&](size_t e, PlaylistTrack& entry, std::string& problem) {
        ++loads[e];
        const int64_t before = frames;
        if (e + 1 < files.size()) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
            while (frames < before + 3 && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            framesWhileTried[e] = frames - before;
        }
        entry = std::make_unique<TrackStream>(10, 0.2);
        return entry->Open(files[e], false, problem);
    };
    hooks.openClock = [](const PlaylistTrack&) { return std::make_unique<StepClock>(); };
    hooks.started = [&](size_t e) {
        log.push_back("start " + std::to_string(e));
        if (log.size() == files.size() + 1) window.close = true;  // the good one twice
    };
    hooks.failed = [&](size_t e, const std::string& problem) {
        log.push_back("skip " + std::to_string(e) + (problem.find(files[e]) != std::string::npos ? ", named" : ""));
    };
    Engine engine;
    PlaySettings settings;
    settings.fps = 10;
    settings.blockCount = 100000;
    settings.fixedSize = true;
    settings.frameSize = {8, 8};
    settings.frameDrawn = [&frames](int32_t, int32_t) { ++frames; };
    {
        PlaylistSource source(files.size(), 10, PlaylistSource::AtEnd::Loop, settings.blockCount, hooks);
        source.Start();
        PlayInWindow(engine, window, source, settings);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"skip 0, named", "skip 1, named", "start 2", "start 2"}));
    for (size_t e = 0; e + 1 < files.size(); ++e) {
        EXPECT_GE(framesWhileTried[e], 3) << files[e];
        EXPECT_EQ(loads[e].load(), 1) << files[e];
    }
    fs::remove_all(dir);
}
}  // namespace
