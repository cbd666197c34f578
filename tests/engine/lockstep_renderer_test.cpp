#include <gtest/gtest.h>

#include <cstring>

#include "effects/simple_vis.h"
#include "engine/engine.h"
#include "engine/lockstep_renderer.h"
#include "tests/engine/test_effects.h"

namespace {
// The tests' engine, its members seen as their own.
struct Lockstep : ::testing::Test, Engine {
    void TearDown() override {
        chain.ClearChain();
        chain.framebufferClear = 1;
    }
    // The tests' factory table knows no real effect types; slot 0 is filled by hand.
    SimpleVisEffect* AddSimpleVis(uint32_t colour) {
        auto* effect = new SimpleVisEffect;
        effect->leftColour = int32_t(colour);
        effect->enabledChannels = 1;
        chain.effects[ChainLength(chain)] = effect;
        return effect;
    }
    uint8_t block[kSnapshotBytes] = {};
    void Spectrum(uint8_t raw) { std::memset(block, raw, 2 * kBins); }
};

TEST_F(Lockstep, StartsBlackAndDrawsTheBlockThroughTheSpectrumCurve) {
    AddSimpleVis(0xFFFFFF);
    LockstepRenderer renderer(*this, 8, 240);
    for (uint32_t p : renderer.frame()) ASSERT_EQ(p, 0u);
    Spectrum(64);  // the curve maps it to 163: 76 rows at 0.46875 rows per step
    renderer.RenderFrame(block);
    for (int y = 0; y < 240; ++y) EXPECT_EQ(renderer.frame()[y * 8 + 5], y >= 42 && y < 120 ? 0xFFFFFFu : 0u) << y;
}

TEST_F(Lockstep, ClearingStartsEveryFrameBlack) {
    AddSimpleVis(0x404040);
    LockstepRenderer renderer(*this, 8, 240);
    Spectrum(64);
    renderer.RenderFrame(block);
    Spectrum(0);
    renderer.RenderFrame(block);
    EXPECT_EQ(renderer.frame()[60 * 8], 0u);
    EXPECT_EQ(renderer.frame()[119 * 8], 0x404040u);
}

TEST_F(Lockstep, WithoutClearingFramesAddUp) {
    chain.framebufferClear = 0;
    AddSimpleVis(0x404040);
    LockstepRenderer renderer(*this, 8, 240);
    Spectrum(64);
    renderer.RenderFrame(block);
    Spectrum(0);
    renderer.RenderFrame(block);
    EXPECT_EQ(renderer.frame()[60 * 8], 0x404040u);
    EXPECT_EQ(renderer.frame()[119 * 8], 0x808080u);
}

TEST_F(Lockstep, EveryRendererDetectsBeatsAsAfterLoading) {
    chain.effects[0] = new CountingEffect;  // writes the beat it saw into pixel 1
    Spectrum(3);  // bins 8..299 of both channels: a sum of 1752, above 2.6 x 500
    for (int run = 0; run < 2; ++run) {
        LockstepRenderer renderer(*this, 8, 8);
        renderer.RenderFrame(block);
        EXPECT_EQ(renderer.frame()[1], 1u) << run;
        renderer.RenderFrame(block);
        EXPECT_EQ(renderer.frame()[1], 0u) << run;
    }
}

TEST_F(Lockstep, BlocksFedBetweenFramesKeepTheirPeaksAndBeat) {
    chain.effects[0] = new CountingEffect;
    AddSimpleVis(0xFFFFFF);
    LockstepRenderer renderer(*this, 8, 240);
    Spectrum(64);  // a beat, and the peak the frame shows
    renderer.FeedBlock(block);
    Spectrum(0);
    renderer.FeedBlock(block);
    renderer.DrawFrame();
    EXPECT_EQ(renderer.frame()[1], 1u);
    EXPECT_EQ(renderer.frame()[119 * 8 + 5], 0xFFFFFFu);
    EXPECT_EQ(renderer.frame()[42 * 8 + 5], 0xFFFFFFu);
}

TEST_F(Lockstep, ResizedFramesStartBlackAtTheNewSize) {
    chain.framebufferClear = 0;
    AddSimpleVis(0x404040);
    LockstepRenderer renderer(*this, 8, 240);
    Spectrum(64);
    renderer.RenderFrame(block);
    renderer.Resize(12, 240);
    EXPECT_EQ(renderer.width(), 12);
    ASSERT_EQ(renderer.frame().size(), 12u * 240u);
    for (uint32_t p : renderer.frame()) ASSERT_EQ(p, 0u);
    Spectrum(0);
    renderer.RenderFrame(block);
    EXPECT_EQ(renderer.frame()[119 * 12], 0x404040u);
}
}  // namespace
