#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <map>
#include <random>
#include <vector>

#include "host/blend_frames.h"
#include "apps/qelv/play/play_session.h"
#include "core/effect.h"
#include "engine/engine.h"

namespace {
// 1000 samples a second at 10 blocks a second: 100 samples a block.
constexpr int kRate = 1000;

// Playback that moves only when the player waits, by a fixed step per wait.
struct SteppingClock final : PlaybackClock {
    explicit SteppingClock(int64_t step) : step(step) {}
    int64_t Position() override { return position; }
    void SetPaused(bool pause) override { paused = pause; }
    void WaitFor(int64_t) override {
        ++waits;
        if (!paused) position += step;
    }
    int sampleRate() const override { return kRate; }
    int64_t step, position = 0, waits = 0;
    bool paused = true;
};

// Delivers scripted events when the player looks at events for the nth time; closes
// after many rounds so that a fault cannot hang the test. Round n comes after n - 1
// waits, at position (n - 1) x step while playing.
struct ScriptedWindow final : PlayerWindow {
    bool NextEvent(PlayerEvent& event) override {
        if (!inRound) {
            inRound = true;
            ++round;
            if (auto it = script.find(round); it != script.end()) pending.assign(it->second.begin(), it->second.end());
            if (round > 1000) pending.push_back({PlayerEvent::Kind::Close});
        }
        if (pending.empty()) {
            inRound = false;
            return false;
        }
        event = pending.front();
        pending.pop_front();
        return true;
    }
    void Show(const uint32_t* pixels, int32_t width, int32_t height) override {
        shown.push_back({width, height});
        lastPixels.assign(pixels, pixels + size_t(width) * size_t(height));
        if (keepPictures) pictures.push_back(lastPixels);
        // A chooser opened from the panel after this frame waits that many turns.
        if (int(shown.size()) == chooserAfterFrame)
            for (int turn = 0; turn < chooserTurns && modalTurn; ++turn) modalTurn();
    }
    void SetModalTurn(std::function<void()> turn) override { modalTurn = std::move(turn); }
    bool SetFullscreen(bool on) override {
        fullscreen = on && !fullscreenRefused;
        return fullscreen == on;
    }
    bool Animating() const override { return animating; }
    void InsideSize(int32_t& width, int32_t& height) const override {
        width = insideWidth;
        height = insideHeight;
    }

    static PlayerEvent Key(PlayerKey key) { return {PlayerEvent::Kind::Key, key}; }
    static PlayerEvent Resized(int32_t width, int32_t height) {
        return {PlayerEvent::Kind::Resized, PlayerKey::Other, width, height};
    }

    std::map<int, std::vector<PlayerEvent>> script;
    std::deque<PlayerEvent> pending;
    int round = 0;
    bool inRound = false;
    std::vector<FrameSize> shown;
    std::vector<uint32_t> lastPixels;
    bool keepPictures = false;
    std::vector<std::vector<uint32_t>> pictures;
    bool fullscreen = false, animating = false, fullscreenRefused = false;
    std::function<void()> modalTurn;
    int chooserAfterFrame = 0, chooserTurns = 0;
    int32_t insideWidth = 641, insideHeight = 40;
};

// Notes, for every frame, the beat and the first spectrum byte it was given.
struct FrameRecorder final : Effect {
    void render(const uint8_t* samples, uint32_t*, int32_t, int32_t) override {
        beats.push_back(beat);
        peaks.push_back(samples[0]);
    }
    const char* name() const override { return "Recorder"; }
    std::vector<int32_t> beats, peaks;
};

// Every pixel a colour of its own, so that a picture shows where each came from.
struct PixelNoise final : Effect {
    void render(const uint8_t*, uint32_t* frame, int32_t width, int32_t height) override {
        for (int32_t i = 0; i < width * height; ++i) frame[i] = uint32_t(i) * 2654435761u;
    }
    const char* name() const override { return "Noise"; }
};

struct PlaySession : ::testing::Test {
    Engine engine;
    PlayResult Play(int64_t clockStep, int64_t blockCount = 10) {
        clock.step = clockStep;
        settings.fps = 10;
        settings.blockCount = blockCount;
        return PlayInWindow(engine, window, clock, blocks, settings);
    }
    std::vector<SampleBlock> blocks = std::vector<SampleBlock>(10);
    ScriptedWindow window;
    SteppingClock clock{100};
    PlaySettings settings;
};

TEST_F(PlaySession, ShowsOneFramePerBlockWhenTheDisplayKeepsUp) {
    const PlayResult result = Play(100);
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.blocksFed, 10);
    EXPECT_EQ(result.framesShown, 10);
    EXPECT_TRUE(clock.paused);  // the sound stops with the picture
    EXPECT_EQ(clock.position, 1000);  // until the last block's time is over
}

TEST_F(PlaySession, ASlowDisplayDropsFramesButNoBlocks) {
    const PlayResult result = Play(250);
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.blocksFed, 10);
    EXPECT_EQ(result.framesShown, 5);  // at 0, 250, 500, 750, 1000: 1, 2, 3, 2 and 2 blocks
}

TEST_F(PlaySession, ABeatBetweenTwoFramesReachesTheNextFrame) {
    auto* recorder = new FrameRecorder;
    engine.chain.effects[0] = recorder;
    std::memset(blocks[1].bytes, 200, 2 * 576);  // only block 1 is loud; no frame is drawn for it
    Play(250);
    EXPECT_EQ(recorder->beats, (std::vector<int32_t>{0, 1, 0, 0, 0}));
    EXPECT_EQ(recorder->peaks[0], 0);
    EXPECT_GT(recorder->peaks[1], 200);  // the curve lifts it
    EXPECT_EQ(recorder->peaks[2], 0);
}

TEST_F(PlaySession, StopsAfterTheBlocksAskedFor) {
    const PlayResult result = Play(100, 4);
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.blocksFed, 4);
    EXPECT_EQ(clock.position, 400);
}

TEST_F(PlaySession, FramesFollowTheWindowRoundedUp) {
    window.script[3] = {ScriptedWindow::Resized(99, 7)};
    Play(100);
    ASSERT_GE(window.shown.size(), 4u);
    EXPECT_EQ(window.shown.front(), (FrameSize{644, 40}));
    EXPECT_EQ(window.shown.back(), (FrameSize{100, 8}));
    EXPECT_EQ(window.lastPixels.size(), 800u);
}

TEST_F(PlaySession, AGivenSizeStaysWhateverTheWindowDoes) {
    settings.fixedSize = true;
    settings.frameSize = {16, 12};
    window.script[3] = {ScriptedWindow::Resized(99, 7)};
    Play(100);
    for (const FrameSize& size : window.shown) EXPECT_EQ(size, (FrameSize{16, 12}));
}

TEST_F(PlaySession, PauseHoldsPlaybackAndTheBlocks) {
    window.script[3] = {ScriptedWindow::Key(PlayerKey::Space)};
    window.script[50] = {ScriptedWindow::Key(PlayerKey::Q)};
    const PlayResult result = Play(100);
    EXPECT_FALSE(result.finished);
    EXPECT_EQ(clock.position, 200);
    EXPECT_EQ(result.blocksFed, 2);
    EXPECT_GE(clock.waits, 48);  // it kept waiting, and looking at events, while paused
}

TEST_F(PlaySession, SpaceAgainResumes) {
    window.script[3] = {ScriptedWindow::Key(PlayerKey::Space)};
    window.script[6] = {ScriptedWindow::Key(PlayerKey::Space)};
    const PlayResult result = Play(100);
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.blocksFed, 10);
}

TEST_F(PlaySession, EscapeLeavesFullScreenThenQuits) {
    window.script[2] = {ScriptedWindow::Key(PlayerKey::F11)};
    window.script[3] = {ScriptedWindow::Key(PlayerKey::Escape)};
    window.script[4] = {ScriptedWindow::Key(PlayerKey::F)};
    window.script[5] = {ScriptedWindow::Key(PlayerKey::F), ScriptedWindow::Key(PlayerKey::Escape)};
    const PlayResult result = Play(100);
    EXPECT_FALSE(result.finished);
    EXPECT_FALSE(window.fullscreen);
    EXPECT_EQ(result.blocksFed, 4);
}

// The window is shown a picture of its own size (or in full screen of the display
// settings' mode) and the chain draws 1/n of it, each pixel shown as an n x n block.
TEST_F(PlaySession, BiggerPixelsInTheWindowAndInFullScreen) {
    settings.pixelSize = 2;
    settings.fullscreenLook = [] { return FullscreenLook{{320, 240}, 4}; };
    std::vector<FrameSize> drawn;
    settings.frameDrawn = [&](int32_t width, int32_t height) { drawn.push_back({width, height}); };
    window.keepPictures = true;
    engine.chain.effects[0] = new PixelNoise;
    window.script[3] = {ScriptedWindow::Key(PlayerKey::F)};
    window.script[6] = {ScriptedWindow::Key(PlayerKey::Escape)};
    Play(100);
    EXPECT_FALSE(window.fullscreen);
    ASSERT_EQ(drawn.size(), window.shown.size());
    const std::vector<FrameSize> windowed{{322, 20}, {644, 40}}, full{{80, 60}, {320, 240}};
    bool sawFull = false;
    for (size_t i = 0; i < drawn.size(); ++i) {
        const bool isFull = drawn[i] == full[0];
        sawFull = sawFull || isFull;
        const std::vector<FrameSize>& look = isFull ? full : windowed;
        EXPECT_EQ(drawn[i], look[0]) << i;
        EXPECT_EQ(window.shown[i], look[1]) << i;
        const int32_t n = isFull ? 4 : 2, width = look[1].width;
        const std::vector<uint32_t>& picture = window.pictures[i];
        for (size_t p = 0; p < picture.size(); ++p) {
            const size_t x = p % size_t(width), y = p / size_t(width);
            ASSERT_EQ(picture[p], picture[(y - y % n) * width + x - x % n]) << i << ": " << x << "," << y;
        }
    }
    EXPECT_TRUE(sawFull);
    EXPECT_EQ(drawn.back(), windowed[0]);
}

// As in the plug-in, a switch that fails withdraws its request: the picture stays the
// window's and Escape quits.
TEST_F(PlaySession, AFullScreenTheWindowCannotEnterIsWithdrawn) {
    window.fullscreenRefused = true;
    settings.fullscreenLook = [] { return FullscreenLook{{320, 240}, 1}; };
    window.script[2] = {ScriptedWindow::Key(PlayerKey::F)};
    window.script[4] = {ScriptedWindow::Key(PlayerKey::Escape)};
    const PlayResult result = Play(100);
    EXPECT_FALSE(result.finished);
    EXPECT_EQ(result.blocksFed, 3);
    for (const FrameSize& size : window.shown) EXPECT_EQ(size, (FrameSize{644, 40}));
}

TEST_F(PlaySession, ClosingTheWindowStops) {
    window.script[2] = {{PlayerEvent::Kind::Close}};
    const PlayResult result = Play(100);
    EXPECT_FALSE(result.finished);
    EXPECT_EQ(result.blocksFed, 1);
}

TEST_F(PlaySession, NAndPStepThroughThePresets) {
    std::vector<int> steps;
    settings.stepPreset = [&](int step, EffectChain&) {
        steps.push_back(step);
        return false;  // as a preset that cannot be read: the chain stays
    };
    window.script[2] = {ScriptedWindow::Key(PlayerKey::N), ScriptedWindow::Key(PlayerKey::N)};
    window.script[4] = {ScriptedWindow::Key(PlayerKey::P)};
    Play(100);
    EXPECT_EQ(steps, (std::vector<int>{1, 1, -1}));
}

// Loud blocks 1 and 5 after silence are beats; the shuffle waits four blocks from the
// start or from the last change by key.
TEST_F(PlaySession, TheShuffleChangesOnABeatOnceItsTimeIsUp) {
    auto* recorder = new FrameRecorder;
    engine.chain.effects[0] = recorder;
    std::vector<size_t> changedAfterFrame;
    settings.randomPreset = [&](EffectChain&) {
        changedAfterFrame.push_back(recorder->beats.size());
        return false;
    };
    settings.shuffleBlocks = 4;
    for (const int loud : {1, 5}) std::memset(blocks[size_t(loud)].bytes, 200, 2 * 576);
    Play(100);
    ASSERT_EQ(recorder->beats[1], 1);
    ASSERT_EQ(recorder->beats[5], 1);
    EXPECT_EQ(changedAfterFrame, (std::vector<size_t>{6}));  // not at the first beat: too early

    engine.chain.ClearChain();
    recorder = new FrameRecorder;
    engine.chain.effects[0] = recorder;
    changedAfterFrame.clear();
    clock.position = 0;
    window.round = 0;
    window.script[4] = {ScriptedWindow::Key(PlayerKey::R)};
    Play(100);
    EXPECT_EQ(changedAfterFrame, (std::vector<size_t>{3}));  // R, and the beat comes too soon after it
}

TEST_F(PlaySession, NWithoutPresetsDoesNothing) {
    window.script[2] = {ScriptedWindow::Key(PlayerKey::N)};
    EXPECT_TRUE(Play(100).finished);
}
TEST_F(PlaySession, TabTogglesThePanelAndEveryDrawnFrameIsCounted) {
    int toggles = 0;
    std::vector<FrameSize> drawn;
    settings.togglePanel = [&] { ++toggles; };
    settings.frameDrawn = [&](int32_t width, int32_t height) { drawn.push_back({width, height}); };
    window.script[2] = {ScriptedWindow::Key(PlayerKey::Tab)};
    window.script[3] = {ScriptedWindow::Key(PlayerKey::Tab)};
    const PlayResult result = Play(100);
    EXPECT_EQ(toggles, 2);
    ASSERT_EQ(int64_t(drawn.size()), result.framesShown);
    EXPECT_EQ(drawn.front(), (FrameSize{644, 40}));
}

TEST_F(PlaySession, ALiveOverlayIsShownEveryTurnWhilePaused) {
    window.animating = true;
    window.script[2] = {ScriptedWindow::Key(PlayerKey::Space)};
    window.script[12] = {ScriptedWindow::Key(PlayerKey::Q)};
    const PlayResult result = Play(100);
    EXPECT_EQ(result.framesShown, 1);
    // The frame once, then once per paused turn: rounds 2 to 11.
    EXPECT_GE(window.shown.size(), 10u);
}

// Presets with a history (no clearing, zooms, fades) that draw differently from the
// same sound.
const std::vector<int32_t> kPresetEffects[] = {{0, 4}, {2, 3, 6}, {7, 6}};

// Shows where its chain's particle generator is, which the particles' slow flight hides.
struct GeneratorPixel final : Effect {
    void render(const uint8_t*, uint32_t* frame, int32_t, int32_t) override {
        if (beat) frame[0] = uint32_t(resources->particleRandom.Next());
    }
    const char* name() const override { return "Generator"; }
};

struct Session {
    PlayResult result;
    std::vector<std::vector<uint32_t>> pictures;
    std::vector<int64_t> fedAt;  // blocks played when each picture was drawn
};

// Twenty varied blocks at 2.5 blocks a frame, R pressed in the given rounds, each press
// loading the next of kPresetEffects; the window resized in resizeRound unless it is 0.
Session PlayChanges(const std::vector<int>& rounds, int64_t transitionBlocks, int resizeRound) {
    std::vector<SampleBlock> blocks(20);
    // Every third block loud: beats, which move the particles, before and during a fade.
    std::mt19937 bytes(7);
    for (size_t i = 0; i < blocks.size(); ++i)
        for (uint8_t& byte : blocks[i].bytes) byte = uint8_t(bytes() % (i % 3 == 1 ? 256 : 32));
    Engine engine;
    engine.chain.framebufferClear = 0;
    for (const int32_t type : kPresetEffects[0]) engine.chain.AppendEffect(type);
    engine.chain.effects[kPresetEffects[0].size()] = new GeneratorPixel;
    ScriptedWindow window;
    window.keepPictures = true;
    for (const int round : rounds) window.script[round] = {ScriptedWindow::Key(PlayerKey::R)};
    window.insideWidth = 32;
    window.insideHeight = 24;
    if (resizeRound) window.script[resizeRound] = {ScriptedWindow::Resized(40, 16)};
    SteppingClock clock(250);
    Session session;
    size_t next = 1;
    PlaySettings settings;
    settings.fps = 10;
    settings.blockCount = 20;
    settings.transitionBlocks = transitionBlocks;
    settings.randomPreset = [&](EffectChain& into) {
        for (const int32_t type : kPresetEffects[next]) into.AppendEffect(type);
        into.framebufferClear = 0;
        ++next;
        return true;
    };
    settings.frameDrawn = [&](int32_t, int32_t) { session.fedAt.push_back(std::min<int64_t>(20, clock.position / 100 + 1)); };
    session.result = PlayInWindow(engine, window, clock, blocks, settings);
    session.pictures = window.pictures;
    return session;
}

// Against sessions that cut at once, after none, one, two... of the changes: while a fade
// is on, each picture is exactly the blend of what the outgoing and the incoming preset
// draw alone, weighted by the blocks since the change; after it, the new preset's own.
TEST(PlaySessionTransition, FadesBlockByBlockBetweenWhatEachPresetDrawsAlone) {
    struct Case {
        const char* name;
        std::vector<int> rounds;
        int64_t length;
        int resizeRound = 0;
    } const cases[] = {
        {"one change, over two frames", {3}, 6},
        {"no length: a cut", {3}, 0},
        {"a second change in the first half keeps the old picture", {3, 4}, 10},
        {"a second change from halfway on keeps the incoming one", {3, 5}, 8},
        {"a new size during the fade starts both pictures black", {3}, 10, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Session> cut;
        for (size_t n = 0; n <= c.rounds.size(); ++n)
            cut.push_back(PlayChanges(std::vector<int>(c.rounds.begin(), c.rounds.begin() + long(n)), 0, c.resizeRound));
        ASSERT_NE(cut[0].pictures.back(), cut[1].pictures.back());  // the presets differ
        const Session soft = PlayChanges(c.rounds, c.length, c.resizeRound);
        EXPECT_EQ(soft.result.blocksFed, 20);  // no block of sound is dropped
        EXPECT_EQ(soft.result.framesShown, cut[0].result.framesShown);
        EXPECT_EQ(soft.result.beats, cut[0].result.beats);  // one detector's beats
        ASSERT_EQ(soft.pictures.size(), cut[0].pictures.size());
        size_t outgoing = 0, shown = 0;
        int64_t start = 0;
        bool fading = false;
        for (size_t frame = 0; frame < soft.pictures.size(); ++frame) {
            // Round r's key comes after frame r - 2 is drawn.
            for (const int round : c.rounds) {
                if (size_t(round) != frame + 1) continue;
                const int64_t fed = soft.fedAt[frame - 1];
                if (!fading || 2 * (fed - start) >= c.length) outgoing = shown;
                ++shown;
                start = fed;
                fading = c.length > 0;
            }
            const int64_t k = soft.fedAt[frame] - start;
            fading = fading && k < c.length;
            std::vector<uint32_t> expected = cut[shown].pictures[frame];
            if (fading)
                BlendFrames(cut[outgoing].pictures[frame].data(), cut[shown].pictures[frame].data(), expected.data(),
                            expected.size(), k, c.length);
            EXPECT_EQ(soft.pictures[frame], expected) << "frame " << frame << ", " << k << " blocks after the change";
        }
    }
}

TEST_F(PlaySession, ThePictureGoesOnWhileAChooserWaits) {
    auto* recorder = new FrameRecorder;
    engine.chain.effects[0] = recorder;
    for (size_t i = 0; i < blocks.size(); ++i) blocks[i].bytes[0] = uint8_t(10 + 20 * i);
    window.chooserAfterFrame = 2;
    window.chooserTurns = 5;
    const PlayResult result = Play(100);
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.blocksFed, 10);
    // Every turn behind the chooser was shown, and each after the first (which came before
    // the next block was due) drew a frame of its own block: 2 + 4 + 3 frames.
    EXPECT_EQ(window.shown.size(), 10u);
    EXPECT_EQ(result.framesShown, 9);
    ASSERT_EQ(recorder->peaks.size(), 9u);
    for (size_t i = 1; i < recorder->peaks.size(); ++i) EXPECT_GT(recorder->peaks[i], recorder->peaks[i - 1]);
    EXPECT_TRUE(window.modalTurn == nullptr);  // let go when playing ends
}
}  // namespace
