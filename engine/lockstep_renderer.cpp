#include "engine/lockstep_renderer.h"

#include <algorithm>
#include <cstring>

#include "core/particle_random.h"
#include "engine/sample_intake.h"
#include "engine/effect_chain.h"

LockstepRenderer::LockstepRenderer(int32_t width, int32_t height)
    : frameWidth(width), frameHeight(height), pixels(size_t(width) * size_t(height), 0) {
    BuildSpectrumCurve();
    // Earlier renders in the same process must not leak into this one: no latched beat,
    // no held peaks, the beat detector's first comparison and the particle's flight as
    // after loading.
    ResetParticleRandom();
    std::lock_guard<std::mutex> lock(sampleLock);
    std::memset(sharedSnapshot, 0, sizeof sharedSnapshot);
    snapshotTaken = 1;
    beatFlag = 0;
    previousBeatSum = kInitialBeatSum;
    intakeOpen = 1;
}

void LockstepRenderer::FeedBlock(const uint8_t* block) {
    std::memcpy(module.spectrum, block, sizeof module.spectrum);
    std::memcpy(module.waveform, block + sizeof module.spectrum, sizeof module.waveform);
    Render(&module);
}

int32_t LockstepRenderer::DrawFrame() {
    const int32_t beat = TakeSnapshot(snapshot);
    if (framebufferClear) std::fill(pixels.begin(), pixels.end(), 0u);
    RenderChain(snapshot, pixels.data(), frameWidth, frameHeight, beat);
    return beat;
}

void LockstepRenderer::Resize(int32_t width, int32_t height) {
    frameWidth = width;
    frameHeight = height;
    pixels.assign(size_t(width) * size_t(height), 0u);
}
