#include "engine/lockstep_renderer.h"

#include <algorithm>
#include <cstring>

#include "engine/engine.h"

LockstepRenderer::LockstepRenderer(Engine& engine, int32_t width, int32_t height)
    : owner(engine), frameWidth(width), frameHeight(height), pixels(size_t(width) * size_t(height), 0) {
    SampleIntake& intake = engine.intake;
    intake.BuildSpectrumCurve();
    // Earlier renders in the same process must not leak into this one: no latched beat,
    // no held peaks, the beat detector's first comparison and the particle's flight as
    // after loading.
    engine.chain.resources.particleRandom.Reset();
    std::lock_guard<std::mutex> lock(intake.sampleLock);
    std::memset(intake.sharedSnapshot, 0, sizeof intake.sharedSnapshot);
    intake.snapshotTaken = 1;
    intake.beatFlag = 0;
    intake.previousBeatSum = kInitialBeatSum;
    intake.intakeOpen = 1;
}

void LockstepRenderer::FeedBlock(const uint8_t* block) {
    std::memcpy(module.spectrum, block, sizeof module.spectrum);
    std::memcpy(module.waveform, block + sizeof module.spectrum, sizeof module.waveform);
    owner.intake.Render(&module);
}

int32_t LockstepRenderer::DrawFrame() {
    const int32_t beat = owner.intake.TakeSnapshot(snapshot);
    if (owner.chain.framebufferClear) std::fill(pixels.begin(), pixels.end(), 0u);
    owner.chain.RenderChain(snapshot, pixels.data(), frameWidth, frameHeight, beat);
    return beat;
}

void LockstepRenderer::Resize(int32_t width, int32_t height) {
    frameWidth = width;
    frameHeight = height;
    pixels.assign(size_t(width) * size_t(height), 0u);
}
