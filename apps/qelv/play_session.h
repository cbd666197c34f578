#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "apps/qelv/play_pacing.h"
#include "backends/native/playback_clock.h"
#include "backends/native/player_window.h"
#include "player/sample_stream.h"

struct Engine;

struct PlaySettings {
    int32_t fps = 50;         // the blocks' analysis rate
    int64_t blockCount = 0;   // how many of the blocks to play
    bool fixedSize = false;   // true: frames keep frameSize; false: they follow the window
    FrameSize frameSize{640, 360};
    // N and P: load the preset that many places on; empty when there is no preset folder.
    std::function<void(int step)> stepPreset;
    // R, and the shuffle: load another preset picked at random; empty when there is none.
    std::function<void()> randomPreset;
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
    bool finished = false;  // reached the end rather than being closed
};

// Plays the blocks through the engine's chain in step with the clock and shows the frames
// in the window until the end of the track or until the user closes it. The clock starts
// paused and is left paused.
PlayResult PlayInWindow(Engine& engine, PlayerWindow& window, PlaybackClock& clock, const std::vector<SampleBlock>& blocks,
                        const PlaySettings& settings);
