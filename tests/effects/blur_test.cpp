#include "effects/blur.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/effects/packed_path.h"

namespace {

std::vector<uint32_t> Blurred(std::vector<uint32_t> frame, int32_t width, int32_t height) {
    BlurEffect effect;
    effect.render(nullptr, frame.data(), width, height);
    return frame;
}

TEST(BlurPass, SingleWhitePixelSpreadsTowardsTheLowerRight) {
    constexpr int32_t w = 9, h = 9, x = 4, y = 4;
    std::vector<uint32_t> frame(w * h, 0);
    frame[y * w + x] = 0xFFFFFF;
    const auto drawn = Blurred(frame, w, h);
    const uint32_t expected[5][5] = {
        {0x000000, 0x000000, 0x000000, 0x000000, 0x000000},
        {0x000000, 0x000000, 0x3F3F3F, 0x0F0F0F, 0x030303},
        {0x000000, 0x3F3F3F, 0x1E1E1E, 0x0A0A0A, 0x020202},
        {0x000000, 0x0F0F0F, 0x0A0A0A, 0x040404, 0x010101},
        {0x000000, 0x030303, 0x020202, 0x010101, 0x000000},
    };
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < w; ++col) {
            const int dy = row - y + 2, dx = col - x + 2;
            const bool near = dx >= 0 && dx < 5 && dy >= 0 && dy < 5;
            EXPECT_EQ(drawn[row * w + col], near ? expected[dy][dx] : 0u) << col << "," << row;
        }
    }
}

TEST(BlurPass, Uniform0xFCFCFCStaysUnchanged) {
    const std::vector<uint32_t> frame(8 * 8, 0xFCFCFC);
    EXPECT_EQ(Blurred(frame, 8, 8), frame);
}

TEST(BlurPass, UniformWhiteLosesMoreAtTheTopRow) {
    const auto drawn = Blurred(std::vector<uint32_t>(8 * 8, 0xFFFFFF), 8, 8);
    EXPECT_EQ(drawn[0], 0xFCFCFEu);  // two halves; half keeps blue's low bit only
    for (int k = 1; k < 8; ++k) EXPECT_EQ(drawn[k], 0xFCFCFDu) << k;
    for (int k = 8; k < 64; ++k) EXPECT_EQ(drawn[k], 0xFCFCFCu) << k;
}

TEST(BlurPass, RowEndsTakeTheirNeighboursAcrossTheRowBreak) {
    // 4 x 3; the only lit pixel is the first of the middle row, which is the top-right
    // pixel's right neighbour. Worked word by word in memory order.
    std::vector<uint32_t> frame(12, 0);
    frame[4] = 0xFFFFFF;
    const std::vector<uint32_t> expected = {
        0x7E7E7F,  // half(0) + half(FFFFFF)
        0x1F1F1F,  // quarter of the new left 7E7E7F
        0x070707,
        0x404040,  // quarter(left 070707) + quarter(right FFFFFF), right across the row end
        0x2F2F2F,  // above 7E7E7F, left across the row end 404040
        0x121212,
        0x050505,
        0x111111,
        0x1A1A1B,  // bottom row: left across the row end 111111, half of above 2F2F2F
        0x0E0E0F,
        0x050505,
        0x0A0A0A,  // bottom-right: half(above 111111) + half(left 050505)
    };
    EXPECT_EQ(Blurred(frame, 4, 3), expected);
}

TEST(BlurPass, InnerRowsShiftByte3Arithmetically) {
    std::vector<uint32_t> frame(4 * 3, 0);
    frame[9] = 0x80000000;  // below pixel 5, an inner-row pixel
    EXPECT_EQ(Blurred(frame, 4, 3)[5], 0xE0000000u);
}

TEST(BlurPass, DegenerateSizesTouchNothingOutsideTheFrame) {
    std::vector<uint32_t> column = {0x404040, 0x808080, 0xC0C0C0};
    // One pixel wide: every neighbour is the word before or after.
    EXPECT_EQ(Blurred(column, 1, 3), (std::vector<uint32_t>{0x808080, 0xA0A0A0, 0xA0A0A0}));
    const std::vector<uint32_t> row = {1, 2, 3, 4};
    EXPECT_EQ(Blurred(row, 4, 1), row);  // no row below: nothing to do
}

TEST(BlurPass, PackedPathsGiveThePlainWords) {
    BlurEffect effect;
    for (const FrameSize size : kTestSizes) {
        for (const auto& frame : TestFrames(size.width, size.height)) {
            const auto plain = RenderOnPath(effect, frame, size.width, size.height, false);
            for (bool wide : {false, true})
                ASSERT_EQ(RenderOnPath(effect, frame, size.width, size.height, true, wide), plain)
                    << size.width << "x" << size.height << (wide ? " wide" : " sse2");
        }
    }
}

TEST(BlurSettings, LoadIgnoresItsInputAndSaveWritesNothing) {
    BlurEffect effect;
    const uint8_t payload[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    effect.load(payload, 8);
    uint8_t out[4] = {};
    EXPECT_EQ(effect.save(out), 0);
}

}  // namespace
