#include "effects/fadeout.h"

#include <gtest/gtest.h>

#include "core/effect_settings.h"
#include "tests/effects/packed_path.h"

namespace {

// 12 pixels: one packed group of 8, then a tail of 4 that goes through the table.
constexpr int32_t kWidth = 4, kHeight = 3, kCount = 12;

void LoadAmount(FadeoutEffect& effect, int32_t amount) {
    uint8_t payload[4];
    WriteInt32LE(payload, amount);
    effect.load(payload, 4);
}

std::vector<uint32_t> Uniform(uint32_t word) { return std::vector<uint32_t>(kCount, word); }

TEST(FadeoutFading, AmountZeroLeavesEveryWordOnBothPaths) {
    FadeoutEffect effect;
    LoadAmount(effect, 0);
    const auto frame = VariedFrame(kCount);
    EXPECT_EQ(RenderOnPath(effect, frame, kWidth, kHeight, false), frame);
    EXPECT_EQ(RenderOnPath(effect, frame, kWidth, kHeight, true), frame);
}

TEST(FadeoutFading, ChannelEqualToAmountBecomesZeroAndOneAboveBecomesOne) {
    FadeoutEffect effect;  // default amount 16
    for (bool packed : {false, true})
        EXPECT_EQ(RenderOnPath(effect, Uniform(0x00100F11), kWidth, kHeight, packed), Uniform(0x00000001));
}

TEST(FadeoutFading, PackedGroupsFadeByte3ButTheTableTailKeepsIt) {
    FadeoutEffect effect;
    const auto packed = RenderOnPath(effect, Uniform(0x20404040), kWidth, kHeight, true);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(packed[i], 0x10303030u) << i;
    for (int i = 8; i < kCount; ++i) EXPECT_EQ(packed[i], 0x20303030u) << i;
    EXPECT_EQ(RenderOnPath(effect, Uniform(0x20404040), kWidth, kHeight, false), Uniform(0x20303030));
}

TEST(FadeoutFading, PathsAgreeOnColourChannelsForEveryUsableAmount) {
    const auto frame = VariedFrame(8 * 8 + 5);
    for (int32_t amount = 0; amount < 256; ++amount) {
        FadeoutEffect effect;
        LoadAmount(effect, amount);
        const auto plain = RenderOnPath(effect, frame, 23, 3, false);
        const auto packed = RenderOnPath(effect, frame, 23, 3, true);
        for (size_t i = 0; i < frame.size(); ++i)
            ASSERT_EQ(plain[i] & 0xFFFFFF, packed[i] & 0xFFFFFF) << "amount " << amount << " pixel " << i;
    }
}

// Every channel value meets every usable amount: each channel stops at 0, alpha stays.
TEST(FadeoutFading, PlainPathSubtractsWithSaturationForEveryValueAndAmount) {
    std::vector<uint32_t> frame(256);
    for (uint32_t v = 0; v < 256; ++v) frame[v] = (255 - v) << 24 | v << 16 | (v * 7 & 255) << 8 | (v * 13 & 255);
    for (int32_t amount = 0; amount < 256; ++amount) {
        FadeoutEffect effect;
        LoadAmount(effect, amount);
        const auto faded = RenderOnPath(effect, frame, 16, 16, false);
        for (size_t i = 0; i < frame.size(); ++i) {
            uint32_t expected = frame[i] & 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                const int32_t channel = int32_t(frame[i] >> shift & 255) - amount;
                expected |= uint32_t(channel > 0 ? channel : 0) << shift;
            }
            ASSERT_EQ(faded[i], expected) << "amount " << amount << " pixel " << i;
        }
    }
}

TEST(FadeoutPresetAmounts, Amount256BlackensThePlainPathButPackedGroupsSubtractNothing) {
    FadeoutEffect effect;
    LoadAmount(effect, 256);
    EXPECT_EQ(RenderOnPath(effect, Uniform(0x01FFFFFF), kWidth, kHeight, false), Uniform(0x01000000));
    const auto packed = RenderOnPath(effect, Uniform(0x01FFFFFF), kWidth, kHeight, true);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(packed[i], 0x01FFFFFFu) << i;
    for (int i = 8; i < kCount; ++i) EXPECT_EQ(packed[i], 0x01000000u) << i;
}

TEST(FadeoutPresetAmounts, NegativeAmountWrapsOnThePlainPathAndSubtractsItsLowByteWhenPacked) {
    FadeoutEffect effect;
    LoadAmount(effect, -16);  // low byte 0xF0
    // Table: (v + 16) truncated to 8 bits.
    EXPECT_EQ(RenderOnPath(effect, Uniform(0x00F81000), kWidth, kHeight, false), Uniform(0x00082010));
    const auto packed = RenderOnPath(effect, Uniform(0xF1F81000), kWidth, kHeight, true);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(packed[i], 0x01080000u) << i;
    for (int i = 8; i < kCount; ++i) EXPECT_EQ(packed[i], 0xF1082010u) << i;
}

TEST(FadeoutPresetAmounts, MostNegativeAmountBuildsItsTableWithoutOverflow) {
    FadeoutEffect effect;
    LoadAmount(effect, INT32_MIN);  // v - INT32_MIN truncates to v
    const auto frame = VariedFrame(kCount);
    EXPECT_EQ(RenderOnPath(effect, frame, kWidth, kHeight, false), frame);
}

TEST(FadeoutSettings, ShortPayloadKeepsTheAmountAndRebuildsTheTable) {
    FadeoutEffect effect;
    effect.fadeAmount = 40;  // as a page would store it, table not yet rebuilt
    const uint8_t payload[3] = {1, 2, 3};
    effect.load(payload, 3);
    EXPECT_EQ(effect.fadeAmount, 40);
    EXPECT_EQ(RenderOnPath(effect, Uniform(0x00282929), kWidth, kHeight, false), Uniform(0x00000101));
}

TEST(FadeoutSettings, LoadTakesTheFirstWordAndSaveWritesIt) {
    FadeoutEffect effect;
    const uint8_t payload[6] = {0x5C, 0, 0, 0, 0xFF, 0xFF};
    effect.load(payload, 6);
    EXPECT_EQ(effect.fadeAmount, 92);
    EXPECT_EQ(RenderOnPath(effect, Uniform(0x005D5C5B), kWidth, kHeight, false), Uniform(0x00010000));
    uint8_t out[8] = {};
    EXPECT_EQ(effect.save(out), 4);
    EXPECT_EQ(ReadInt32LE(out), 92);
}

}  // namespace
