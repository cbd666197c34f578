#include <gtest/gtest.h>

#include <cstring>

#include "engine/effect_chain.h"
#include "engine/effect_factory.h"
#include "engine/frame_rate.h"
#include "tests/engine/test_effects.h"

namespace {
// The tests see the chain's members as their own.
struct Chain : ::testing::Test, EffectChain {
    void TearDown() override { ClearChain(); }
    uint8_t samples[kSnapshotBytes] = {};
    uint32_t frame[64] = {};
};

TEST_F(Chain, FactoriesNameWithoutCreating) {
    char name[kEffectNameBytes];
    std::memset(name, 'x', sizeof name);
    const int before = CountingEffect::alive;
    EXPECT_EQ(effectFactories[0](name), nullptr);
    EXPECT_STREQ(name, "Counting");
    EXPECT_EQ(name[9], 'x');  // nothing beyond the NUL
    EXPECT_EQ(CountingEffect::alive, before);
    EXPECT_EQ(EffectTypeCount(), 2);
}

TEST_F(Chain, AppendFillsAPrefixUpTo256AndThenRefuses) {
    for (int i = 0; i < kChainSlots; ++i) ASSERT_EQ(AppendEffect(i % 2), i);
    EXPECT_EQ(AppendEffect(0), -1);
    EXPECT_EQ(ChainLength(*this), kChainSlots);
    RenderChain(samples, frame, 8, 8, 1);
    EXPECT_EQ(frame[0], 128u);  // every counting effect drew once
    RemoveEffect(255);
    EXPECT_EQ(ChainLength(*this), 255);
    EXPECT_EQ(effects[255], nullptr);
}

TEST_F(Chain, UnknownTypeIdsAddNothing) {
    EXPECT_EQ(AppendEffect(2), -1);
    EXPECT_EQ(AppendEffect(-1), -1);
    EXPECT_EQ(ChainLength(*this), 0);
}

TEST_F(Chain, RemoveMovesLaterSlotsForwardWithTheirTypeIds) {
    AppendEffect(0);
    AppendEffect(1);
    AppendEffect(0);
    Effect* second = effects[1];
    Effect* third = effects[2];
    const int alive = CountingEffect::alive;
    RemoveEffect(0);
    EXPECT_EQ(CountingEffect::alive, alive - 1);
    EXPECT_EQ(effects[0], second);
    EXPECT_EQ(typeIds[0], 1);
    EXPECT_EQ(effects[1], third);
    EXPECT_EQ(typeIds[1], 0);
    EXPECT_EQ(effects[2], nullptr);
}

TEST_F(Chain, SwapExchangesEffectsAndTypeIdsTogether) {
    AppendEffect(0);
    AppendEffect(1);
    Effect* first = effects[0];
    SwapEffects(0);
    EXPECT_EQ(effects[1], first);
    EXPECT_EQ(typeIds[0], 1);
    EXPECT_EQ(typeIds[1], 0);
}

TEST_F(Chain, EveryEffectSeesTheFramesBeat) {
    AppendEffect(0);
    RenderChain(samples, frame, 8, 8, 1);
    EXPECT_EQ(frame[1], 1u);
    RenderChain(samples, frame, 8, 8, 0);
    EXPECT_EQ(frame[1], 0u);
}

TEST_F(Chain, ClearAndDeleteAllDestroyEveryEffect) {
    const int alive = CountingEffect::alive;
    AppendEffect(0);
    AppendEffect(0);
    ClearChain();
    EXPECT_EQ(CountingEffect::alive, alive);
    AppendEffect(0);
    DeleteAllEffects();
    EXPECT_EQ(CountingEffect::alive, alive);
    EXPECT_EQ(ChainLength(*this), 0);
}

TEST_F(Chain, TakeEffectsMovesThemWithTheirTypeIdsAndClearFlagAndDeletesItsOwn) {
    const int alive = CountingEffect::alive;
    AppendEffect(0);
    EffectChain other;
    other.AppendEffect(1);
    other.AppendEffect(0);
    other.framebufferClear = 0;
    Effect* taken = other.effects[0];
    TakeEffects(other);
    EXPECT_EQ(CountingEffect::alive, alive + 1);  // this chain's counting effect is gone, the other's is here
    EXPECT_EQ(effects[0], taken);
    EXPECT_EQ(typeIds[0], 1);
    EXPECT_EQ(typeIds[1], 0);
    EXPECT_EQ(framebufferClear, 0);
    EXPECT_EQ(ChainLength(other), 0);
}

TEST(FrameRate, RoundsHalfAwayFromZeroAndSurvivesAZeroInterval) {
    EXPECT_EQ(FramesPerSecond(21, 600), 35);
    EXPECT_EQ(FramesPerSecond(21, 700), 30);
    EXPECT_EQ(FramesPerSecond(21, 650), 32);
    EXPECT_EQ(FramesPerSecond(21, 840), 25);  // exactly 25
    EXPECT_EQ(FramesPerSecond(21, 0), 21000);
}
}  // namespace
