#pragma once
#include <cstdint>
#include <vector>

#include "core/vis_module.h"

struct Engine;

// Offline rendering without threads or sleeps: every host block is one Render followed
// by exactly one frame of the chain, so the same blocks give the same frames on every
// build. The frame starts black.
class LockstepRenderer {
public:
    // Starts the engine's intake and particles as a freshly loaded library would; the
    // engine's chain draws the frames.
    LockstepRenderer(Engine& engine, int32_t width, int32_t height);

    // Hands one host block (spectrum of both channels, then waveform; 2304 bytes) to the
    // intake and draws one frame; the result stays in frame() until the next call.
    void RenderFrame(const uint8_t* block) {
        FeedBlock(block);
        DrawFrame();
    }
    // The two halves, for a live player that takes every block but may show fewer
    // frames: until the next frame the intake keeps each bin's peak and a latched beat.
    void FeedBlock(const uint8_t* block);
    // Returns the beat flag the frame was drawn with (0 or 1).
    int32_t DrawFrame();
    // Later frames have the new size and start black, as after a window resize.
    void Resize(int32_t width, int32_t height);

    const std::vector<uint32_t>& frame() const { return pixels; }
    // The samples the latest frame was drawn from, for another chain to draw the same.
    const uint8_t* samples() const { return snapshot; }
    int32_t width() const { return frameWidth; }
    int32_t height() const { return frameHeight; }

    Engine& engine() const { return owner; }

private:
    Engine& owner;
    int32_t frameWidth, frameHeight;
    std::vector<uint32_t> pixels;
    VisModule module{};
    uint8_t snapshot[kSnapshotBytes] = {};
};
