#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "apps/qelv/play/play_pacing.h"
#include "backends/native/playback_clock.h"
#include "backends/native/player_window.h"
#include "player/sample_stream.h"

struct Engine;
struct EffectChain;

// What full screen shows: a picture of the display mode's size, 0 x 0 for the screen's
// own, drawn with pixels of pixelSize x pixelSize.
struct FullscreenLook {
    FrameSize mode{0, 0};
    int32_t pixelSize = 1;
};

struct PlaySettings {
    int32_t fps = 50;         // the blocks' analysis rate
    int64_t blockCount = 0;   // how many of the blocks to play
    bool fixedSize = false;   // true: pictures keep frameSize; false: they follow the window
    FrameSize frameSize{640, 360};
    int32_t pixelSize = 1;    // the window's picture: the chain draws 1/n of it, each pixel n x n
    // Asked for at every frame in full screen, so that the display settings page's changes
    // show at once; empty: the screen's own size with pixels of one.
    std::function<FullscreenLook()> fullscreenLook;
    // N and P: read the preset that many places on into the given chain, which is empty;
    // false, leaving it alone, when it cannot be read. Empty when there is no preset folder.
    std::function<bool(int step, EffectChain& into)> stepPreset;
    // R, and the shuffle: the same with a preset picked at random; empty when there is none.
    std::function<bool(EffectChain& into)> randomPreset;
    // A change of preset fades from the old picture to the new over this many blocks; 0 cuts.
    int64_t transitionBlocks = 0;
    // With randomPreset: at the first beat once this many blocks have been played since
    // the last change of preset, change it; 0 never does.
    int64_t shuffleBlocks = 0;
    // Tab: show or hide the control panel; empty when there is none.
    std::function<void()> togglePanel;
    // After each frame the chain has drawn, with its size.
    std::function<void(int32_t width, int32_t height)> frameDrawn;
};

struct PlayResult {
    int64_t blocksFed = 0, framesShown = 0;
    int64_t beats = 0;      // frames drawn with the beat flag
    bool finished = false;  // reached the end rather than being closed
};

// Where a session's blocks come from, and when each comes due: a track analysed
// beforehand and played against a clock, or live sound analysed as it arrives.
class BlockSource {
public:
    virtual ~BlockSource() = default;
    // How many blocks, from the first, have come due; it never goes down.
    virtual int64_t Due() = 0;
    // A due block that has not been taken yet; blocks are taken in order, each once.
    virtual const SampleBlock& Block(int64_t index) = 0;
    // True once nothing more will come after the taken blocks.
    virtual bool Ended(int64_t taken) = 0;
    // Returns when the next block may be due, or within a few milliseconds.
    virtual void WaitForNext(int64_t taken) = 0;
    virtual void SetPaused(bool paused) = 0;
    // A short wait while paused, so that the window stays responsive.
    virtual void WaitPaused() = 0;
};

// Plays the source's blocks through the engine's chain, up to settings.blockCount, and
// shows the frames in the window until the source ends or the user closes it. The source
// starts paused and is left paused. Full screen is asked for as the display settings page
// asks for it, through the frame surface's display-mode request (F, Escape and the page's
// button are one switch); the window follows the request once a turn. The session starts
// windowed and leaves the window so.
PlayResult PlayInWindow(Engine& engine, PlayerWindow& window, BlockSource& source, const PlaySettings& settings);
// A track's blocks in step with its clock, which starts paused and is left paused.
PlayResult PlayInWindow(Engine& engine, PlayerWindow& window, PlaybackClock& clock, const std::vector<SampleBlock>& blocks,
                        const PlaySettings& settings);
