#include "effects/blitter_feedback.h"

#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>
#include <vector>

#include "core/effect_settings.h"
#include "tests/effects/packed_path.h"

namespace {

// Loads the payload words given (fewer than four make a short payload).
void LoadWords(BlitterFeedbackEffect& effect, std::initializer_list<int32_t> words) {
    std::vector<uint8_t> payload(words.size() * 4);
    size_t at = 0;
    for (int32_t word : words) WriteInt32LE(payload.data() + 4 * at++, word);
    effect.load(payload.data(), int32_t(payload.size()));
}

// Every pixel distinct, so that a different mapping shows somewhere.
std::vector<uint32_t> Numbered(int32_t width, int32_t height) {
    std::vector<uint32_t> frame(size_t(width) * size_t(height));
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = uint32_t(i + 1);
    return frame;
}

// Every Blitter of these tests shares one scratch frame, as the effects of one chain do.
RenderResources sharedResources;

std::vector<uint32_t> Render(BlitterFeedbackEffect& effect, std::vector<uint32_t> frame, int32_t width,
                             int32_t height, bool beat = false) {
    effect.beat = beat ? 1 : 0;
    effect.resources = &sharedResources;
    effect.render(nullptr, frame.data(), width, height);
    return frame;
}

// Wide enough that every direction 0..64 draws the numbered frame differently.
constexpr int32_t kProbeWidth = 256, kProbeHeight = 4;

// The direction a frame was drawn with, found by comparing against a fixed-direction
// effect; -1 when none matches.
int DirectionDrawn(const std::vector<uint32_t>& drawn) {
    static const std::vector<std::vector<uint32_t>> references = [] {
        std::vector<std::vector<uint32_t>> all;
        for (int32_t d = 0; d <= 64; ++d) {
            BlitterFeedbackEffect fixed;
            LoadWords(fixed, {d, d, 0, 0});
            all.push_back(Render(fixed, Numbered(kProbeWidth, kProbeHeight), kProbeWidth, kProbeHeight));
        }
        return all;
    }();
    for (int d = 0; d <= 64; ++d)
        if (references[d] == drawn) return d;
    return -1;
}

std::vector<int> DirectionsOverFrames(BlitterFeedbackEffect& effect, int frames, bool beatFirst) {
    std::vector<int> directions;
    for (int f = 0; f < frames; ++f)
        directions.push_back(DirectionDrawn(
            Render(effect, Numbered(kProbeWidth, kProbeHeight), kProbeWidth, kProbeHeight, beatFirst && f == 0)));
    return directions;
}

TEST(BlitterScaling, Direction32LeavesTheFrameButStillTakesAWorkBuffer) {
    BlitterFeedbackEffect effect;
    LoadWords(effect, {32, 32, 1, 1});
    const auto frame = Numbered(8, 8);
    EXPECT_EQ(Render(effect, frame, 8, 8, true), frame);
    EXPECT_NE(effect.workPixels(), nullptr);
}

TEST(BlitterScaling, StrongestZoomInEnlargesTheCentreHalf) {
    BlitterFeedbackEffect effect;
    LoadWords(effect, {0, 0});
    const auto frame = Numbered(8, 8);
    const auto drawn = Render(effect, frame, 8, 8);
    // Start 2.5 pixels in, half a pixel per step.
    const int source[8] = {2, 3, 3, 4, 4, 5, 5, 6};
    for (int r = 0; r < 8; ++r)
        for (int i = 0; i < 8; ++i) EXPECT_EQ(drawn[r * 8 + i], frame[source[r] * 8 + source[i]]) << i << "," << r;
}

TEST(BlitterScaling, StrongestZoomOutShrinksInto256x192AndLeavesTheBorder) {
    BlitterFeedbackEffect effect;
    LoadWords(effect, {64, 64});
    const auto frame = Numbered(320, 240);
    const auto drawn = Render(effect, frame, 320, 240);
    const auto at = [](int x, int y) { return size_t(y) * 320 + size_t(x); };
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            const bool border = x < 32 || x >= 288 || y < 24 || y >= 216;
            if (border) {
                ASSERT_EQ(drawn[at(x, y)], frame[at(x, y)]) << x << "," << y;
            }
        }
    }
    // 1.25 pixels per step from half a pixel in: columns 0, 1, 3, ... 319.
    EXPECT_EQ(drawn[at(32, 24)], frame[at(0, 0)]);
    EXPECT_EQ(drawn[at(33, 24)], frame[at(1, 0)]);
    EXPECT_EQ(drawn[at(34, 25)], frame[at(3, 1)]);
    EXPECT_EQ(drawn[at(287, 215)], frame[at(319, 239)]);
}

TEST(BlitterScaling, DirectionBelowZeroActsAsZero) {
    BlitterFeedbackEffect effect;
    LoadWords(effect, {-5, -5});
    EXPECT_EQ(DirectionsOverFrames(effect, 2, false), (std::vector<int>{0, 0}));
}

TEST(BlitterScaling, ExtremePresetDirectionsStayInsideTheFrame) {
    for (int32_t d : {INT32_MAX, INT32_MIN, 65, 4194207, 4194208}) {
        BlitterFeedbackEffect effect;
        LoadWords(effect, {d, ~d, 0, 1});  // the glide heads both ways
        auto frame = Numbered(16, 8);
        for (int f = 0; f < 3; ++f) frame = Render(effect, frame, 16, 8, f == 0);
    }
    BlitterFeedbackEffect farOut;
    LoadWords(farOut, {INT32_MAX, INT32_MAX});
    const auto frame = Numbered(16, 8);
    EXPECT_EQ(Render(farOut, frame, 16, 8), frame);  // shrunk to nothing
}

TEST(BlitterBlend, AveragesTheScaledPictureWithTheFrame) {
    BlitterFeedbackEffect effect;
    LoadWords(effect, {0, 0, 1});
    // Output (0, 0) reads source (2, 2) and averages it with what was at (0, 0).
    std::vector<uint32_t> frame(64, 0);
    frame[2 * 8 + 2] = 0x0000FF;
    EXPECT_EQ(Render(effect, frame, 8, 8)[0], 0x00007Fu);
    frame[2 * 8 + 2] = 0xFF0000;
    EXPECT_EQ(Render(effect, frame, 8, 8)[0], 0x7F0000u);
    // Blue is averaged exactly, green and red lose their low bit.
    EXPECT_EQ(Render(effect, std::vector<uint32_t>(64, 0x0000FF), 8, 8), std::vector<uint32_t>(64, 0x0000FF));
    EXPECT_EQ(Render(effect, std::vector<uint32_t>(64, 0x00FF00), 8, 8), std::vector<uint32_t>(64, 0x00FE00));
}

TEST(BlitterBlend, ZoomOutBlendsOnlyInsideTheRectangle) {
    BlitterFeedbackEffect effect;
    LoadWords(effect, {64, 64, 1});
    const auto drawn = Render(effect, std::vector<uint32_t>(320 * 240, 0x00FF00), 320, 240);
    EXPECT_EQ(drawn[24 * 320 + 32], 0x00FE00u);
    EXPECT_EQ(drawn[24 * 320 + 31], 0x00FF00u);
}

TEST(BlitterBlend, AnyNonzeroBlendValueBlends) {
    BlitterFeedbackEffect one, two;
    LoadWords(one, {10, 10, 1});
    LoadWords(two, {10, 10, 2});
    const auto frame = Numbered(16, 8);
    EXPECT_EQ(Render(two, frame, 16, 8), Render(one, frame, 16, 8));
}

// Rows that read themselves, the turn between the two passes, group and period edges and
// the ends of rows are all met across these sizes and directions.
TEST(BlitterPacked, GivesThePlainFrameForEveryDirectionAndBlend) {
    std::vector<int32_t> every;
    for (int32_t d = -1; d <= 66; ++d) every.push_back(d);
    for (int32_t d : {100, 160, 161, 1000, 4194207}) every.push_back(d);
    const std::vector<int32_t> some = {0, 1, 15, 16, 30, 31, 32, 33, 34, 47, 63, 64, 161};
    for (const FrameSize size : kTestSizes) {
        const bool big = size.width * size.height > 1 << 20;
        auto frames = TestFrames(size.width, size.height);
        if (big) frames.resize(1);
        for (const int32_t d : big ? some : every) {
            for (const int32_t blend : {0, 1}) {
                BlitterFeedbackEffect effect;
                effect.resources = &sharedResources;
                effect.blend = blend;
                for (const auto& frame : frames) {
                    effect.normalDirection = effect.onBeatDirection = effect.currentDirection = d;
                    const auto plain = RenderOnPath(effect, frame, size.width, size.height, false);
                    for (bool wide : {false, true}) {
                        effect.currentDirection = d;
                        ASSERT_EQ(RenderOnPath(effect, frame, size.width, size.height, true, wide), plain)
                            << size.width << "x" << size.height << " d " << d << " blend " << blend
                            << (wide ? " wide" : " sse2");
                    }
                }
            }
        }
    }
}

TEST(BlitterGlide, BeatJumpsToZeroThenGlidesUpToNormal) {
    BlitterFeedbackEffect effect;
    LoadWords(effect, {32, 0, 0, 1});
    EXPECT_EQ(DirectionsOverFrames(effect, 14, true),
              (std::vector<int>{0, 3, 6, 9, 12, 15, 18, 21, 24, 27, 30, 32, 32, 32}));
}

TEST(BlitterGlide, BeatJumpsTo64ThenGlidesDownToNormal) {
    BlitterFeedbackEffect effect;
    LoadWords(effect, {32, 64, 0, 1});
    EXPECT_EQ(DirectionsOverFrames(effect, 13, true),
              (std::vector<int>{64, 61, 58, 55, 52, 49, 46, 43, 40, 37, 34, 32, 32}));
}

TEST(BlitterGlide, BeatWithoutOnBeatChangesKeepsTheNormalDirection) {
    BlitterFeedbackEffect effect;
    LoadWords(effect, {20, 64, 0, 0});
    EXPECT_EQ(DirectionsOverFrames(effect, 2, true), (std::vector<int>{20, 20}));
}

TEST(BlitterGlide, TrackbarJumpGlidesBackWithoutABeat) {
    BlitterFeedbackEffect effect;
    LoadWords(effect, {40, 50});
    effect.onBeatDirection = effect.currentDirection = 46;  // the on-beat trackbar moved
    EXPECT_EQ(DirectionsOverFrames(effect, 4, false), (std::vector<int>{46, 43, 40, 40}));
}

TEST(BlitterGlide, CurrentDirectionIsHeldAtTheNormalOne) {
    BlitterFeedbackEffect effect;
    LoadWords(effect, {INT32_MAX, 0});
    for (int f = 0; f < 3; ++f) Render(effect, Numbered(8, 8), 8, 8);
    EXPECT_EQ(effect.currentDirection, INT32_MAX);
}

TEST(BlitterWorkBuffer, SameByteSizeKeepsTheBufferWhenWidthAndHeightSwap) {
    BlitterFeedbackEffect effect;
    Render(effect, Numbered(8, 16), 8, 16);
    const uint32_t* first = effect.workPixels();
    Render(effect, Numbered(16, 8), 16, 8);
    EXPECT_EQ(effect.workPixels(), first);
}

// The work buffer is scratch within one render, so a chain of many Blitters needs one.
TEST(BlitterWorkBuffer, IsSharedByEveryBlitter) {
    BlitterFeedbackEffect first, second;
    LoadWords(first, {0, 0});
    LoadWords(second, {64, 64});
    const auto frame = Numbered(16, 8);
    const auto both = Render(second, Render(first, frame, 16, 8), 16, 8);
    EXPECT_EQ(first.workPixels(), second.workPixels());
    BlitterFeedbackEffect alone;
    LoadWords(alone, {64, 64});
    EXPECT_EQ(both, Render(alone, Render(first, frame, 16, 8), 16, 8));
}

TEST(BlitterWorkBuffer, FollowsAGrowingFrame) {
    BlitterFeedbackEffect effect;
    LoadWords(effect, {0, 0});
    Render(effect, Numbered(8, 8), 8, 8);
    const auto frame = Numbered(320, 240);
    const auto drawn = Render(effect, frame, 320, 240);
    // The last pixel reads the bigger frame: 80.5 + 319 / 2 across, 60.5 + 239 / 2 down.
    EXPECT_EQ(drawn.back(), frame[size_t(180) * 320 + 240]);
}

TEST(BlitterSettings, ShortPayloadSetsOnlyItsFieldsAndRestartsTheGlide) {
    BlitterFeedbackEffect effect;
    effect.blend = 1;
    effect.currentDirection = 7;
    LoadWords(effect, {12, 50});
    EXPECT_EQ(effect.normalDirection, 12);
    EXPECT_EQ(effect.onBeatDirection, 50);
    EXPECT_EQ(effect.blend, 1);
    EXPECT_EQ(effect.onBeatChanges, 0);
    EXPECT_EQ(effect.currentDirection, 12);
}

TEST(BlitterSettings, SaveWritesTheFourSettings) {
    BlitterFeedbackEffect effect;
    LoadWords(effect, {1, 2, 1, 1});
    effect.currentDirection = 99;
    uint8_t out[20] = {};
    ASSERT_EQ(effect.save(out), 16);
    EXPECT_EQ(ReadInt32LE(out), 1);
    EXPECT_EQ(ReadInt32LE(out + 4), 2);
    EXPECT_EQ(ReadInt32LE(out + 8), 1);
    EXPECT_EQ(ReadInt32LE(out + 12), 1);
}

}  // namespace
