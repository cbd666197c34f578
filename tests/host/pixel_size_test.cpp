#include <gtest/gtest.h>

#include <vector>

#include "host/pixel_size.h"

namespace {
// Every picture pixel shows the frame pixel it falls in, whole blocks or cut ones; the
// frame's words are their own indices, so a wrong one names where it came from.
TEST(PixelSize, EachPixelBecomesABlockCutAtTheRightAndBottom) {
    const struct {
        int32_t pictureWidth, pictureHeight, n;
    } cases[] = {{6, 4, 2}, {5, 3, 2}, {7, 7, 3}, {9, 4, 8}, {4, 3, 1}};
    for (const auto& c : cases) {
        const int32_t width = DrawnSide(c.pictureWidth, c.n), height = DrawnSide(c.pictureHeight, c.n);
        std::vector<uint32_t> frame(size_t(width * height));
        for (size_t i = 0; i < frame.size(); ++i) frame[i] = uint32_t(i);
        std::vector<uint32_t> picture(size_t(c.pictureWidth * c.pictureHeight), 0xDEAD);
        EnlargePixels(frame.data(), width, c.n, picture.data(), c.pictureWidth, c.pictureHeight);
        for (int32_t y = 0; y < c.pictureHeight; ++y)
            for (int32_t x = 0; x < c.pictureWidth; ++x)
                ASSERT_EQ(picture[size_t(y * c.pictureWidth + x)], uint32_t((y / c.n) * width + x / c.n))
                    << c.pictureWidth << "x" << c.pictureHeight << " n " << c.n << " at " << x << "," << y;
    }
    EXPECT_EQ(DrawnSide(1920, 3), 640);
    EXPECT_EQ(DrawnSide(1081, 2), 541);
    EXPECT_EQ(DrawnSide(1081, 1), 1081);
}
}  // namespace
