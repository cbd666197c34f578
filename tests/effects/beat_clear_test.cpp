#include "effects/beat_clear.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/effect_settings.h"
#include "tests/effects/packed_path.h"

namespace {

constexpr int32_t kWidth = 4, kHeight = 2;

std::vector<uint32_t> Uniform(uint32_t word) { return std::vector<uint32_t>(kWidth * kHeight, word); }

// Blue, green and red only: the packed blend may leave a different byte 3.
std::vector<uint32_t> Shown(std::vector<uint32_t> frame) {
    for (uint32_t& word : frame) word &= 0xFFFFFF;
    return frame;
}

std::vector<uint32_t> Frame(BeatClearEffect& effect, std::vector<uint32_t> frame, bool beat, bool packed = false) {
    effect.beat = beat ? 1 : 0;
    return RenderOnPath(effect, std::move(frame), kWidth, kHeight, packed);
}

TEST(BeatClearCounting, DefaultsTurnTheFrameWhiteOnEveryBeat) {
    BeatClearEffect effect;
    for (int beat = 0; beat < 3; ++beat) EXPECT_EQ(Frame(effect, Uniform(0x123456), true), Uniform(0x00FFFFFF));
}

TEST(BeatClearCounting, NoBeatNeverClears) {
    BeatClearEffect effect;
    effect.beatCounter = 5;
    EXPECT_EQ(Frame(effect, Uniform(0x123456), false), Uniform(0x123456));
    EXPECT_EQ(effect.beatCounter, 5);
}

TEST(BeatClearCounting, IntervalZeroNeverClearsAndNeverCounts) {
    BeatClearEffect effect;
    effect.interval = 0;
    for (int beat = 0; beat < 3; ++beat) EXPECT_EQ(Frame(effect, Uniform(0x123456), true), Uniform(0x123456));
    EXPECT_EQ(effect.beatCounter, 0);
}

TEST(BeatClearCounting, ClearsOnEveryIntervalThBeat) {
    BeatClearEffect effect;
    effect.interval = 3;
    std::vector<bool> cleared;
    for (int beat = 0; beat < 7; ++beat) cleared.push_back(Frame(effect, Uniform(0), true) != Uniform(0));
    EXPECT_EQ(cleared, (std::vector<bool>{false, false, true, false, false, true, false}));
}

TEST(BeatClearCounting, ASmallerIntervalClearsOnTheNextBeatWithoutResettingTheCounter) {
    BeatClearEffect effect;
    effect.interval = 10;
    for (int beat = 0; beat < 4; ++beat) Frame(effect, Uniform(0), true);
    effect.interval = 2;  // counter already at 4
    EXPECT_EQ(Frame(effect, Uniform(0), true), Uniform(0x00FFFFFF));
    EXPECT_EQ(effect.beatCounter, 0);
}

TEST(BeatClearFill, ReplacesEveryWordWithTheColour) {
    BeatClearEffect effect;
    effect.colour = 0x01234567;  // byte 3 too, as stored
    for (bool packed : {false, true}) EXPECT_EQ(Frame(effect, Uniform(0x00ABCDEF), true, packed), Uniform(0x01234567));
}

// The packed fill starts on any word and stops exactly at the frame's end.
TEST(BeatClearFill, PackedFillCoversExactlyTheFrameFromAnyStart) {
    for (const FrameSize size : kTestSizes) {
        if (size.width * size.height > 1 << 20) continue;
        const size_t count = size_t(size.width) * size_t(size.height);
        for (size_t start = 0; start < 4; ++start) {
            std::vector<uint32_t> words(count + 8, 0x00ABCDEF);
            BeatClearEffect effect;
            effect.colour = 0x01234567;
            effect.beat = 1;
            const int32_t saved = mmxAvailable;
            mmxAvailable = 1;
            effect.render(nullptr, words.data() + start, size.width, size.height);
            mmxAvailable = saved;
            for (size_t i = 0; i < words.size(); ++i) {
                const bool inside = i >= start && i < start + count;
                ASSERT_EQ(words[i], inside ? 0x01234567u : 0x00ABCDEFu) << size.width << "x" << size.height << " at " << i;
            }
        }
    }
}

TEST(BeatClearBlend, WhiteHalvesOverBlackAndOverWhite) {
    BeatClearEffect effect;
    effect.blend = 1;
    for (bool packed : {false, true}) {
        EXPECT_EQ(Shown(Frame(effect, Uniform(0), true, packed)), Uniform(0x7F7F7F)) << packed;
        EXPECT_EQ(Shown(Frame(effect, Uniform(0xFFFFFF), true, packed)), Uniform(0xFEFEFE)) << packed;
    }
}

TEST(BeatClearBlend, PathsAgreeOnBlueGreenAndRed) {
    BeatClearEffect effect;
    effect.blend = 1;
    effect.colour = 0x00C0FFEE;
    const auto frame = VariedFrame(kWidth * kHeight);
    EXPECT_EQ(Shown(Frame(effect, frame, true, true)), Shown(Frame(effect, frame, true, false)));
}

TEST(BeatClearBlend, PackedPairsShiftBlueBit0OfTheSecondPixelIntoByte3OfTheFirst) {
    BeatClearEffect effect;
    effect.blend = 1;
    effect.colour = 0x000001;
    // Pixel 1 of each pair has blue bit 0 set; so has the colour in both halves.
    const std::vector<uint32_t> frame = {0, 1, 0, 1, 0, 1, 0, 1};
    EXPECT_EQ(Frame(effect, frame, true, true), (std::vector<uint32_t>(8, 0x00000000)));
    // 0x80 + 0x80 wraps within byte 3; blue halves to 0 + 0.
    effect.colour = 0x000000;
    EXPECT_EQ(Frame(effect, frame, true, true), (std::vector<uint32_t>{0x80000000, 0, 0x80000000, 0, 0x80000000, 0,
                                                                       0x80000000, 0}));
}

TEST(BeatClearBlend, OddPixelCountBlendsTheLastPixelToo) {
    BeatClearEffect effect;
    effect.blend = 1;
    effect.beat = 1;
    for (bool packed : {false, true})
        EXPECT_EQ(Shown(RenderOnPath(effect, std::vector<uint32_t>(9, 0), 3, 3, packed)), std::vector<uint32_t>(9, 0x7F7F7F))
            << packed;
}

TEST(BeatClearSettings, PayloadOf4To7BytesSetsOnlyTheColour) {
    for (int32_t length : {4, 7}) {
        BeatClearEffect effect;
        const uint8_t payload[8] = {0x33, 0x22, 0x11, 0x00, 1, 0, 0, 0};
        effect.load(payload, length);
        EXPECT_EQ(effect.colour, 0x112233);
        EXPECT_EQ(effect.blend, 0);
    }
    BeatClearEffect effect;
    const uint8_t tooShort[3] = {1, 2, 3};
    effect.load(tooShort, 3);
    EXPECT_EQ(effect.colour, 0xFFFFFF);
}

TEST(BeatClearSettings, LoadingStartsAtIntervalOne) {
    BeatClearEffect effect;
    effect.interval = 40;
    const uint8_t payload[8] = {0, 0, 0, 0, 1, 0, 0, 0};
    effect.load(payload, 8);
    EXPECT_EQ(effect.interval, 1);
    EXPECT_EQ(effect.blend, 1);
}

TEST(BeatClearSettings, SaveWritesColourAndBlendButNotTheInterval) {
    BeatClearEffect effect;
    effect.colour = 0x445566;
    effect.blend = 1;
    effect.interval = 7;
    uint8_t out[16] = {};
    ASSERT_EQ(effect.save(out), 8);
    EXPECT_EQ(ReadInt32LE(out), 0x445566);
    EXPECT_EQ(ReadInt32LE(out + 4), 1);
}

}  // namespace
