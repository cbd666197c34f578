#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "effects/line_drawing.h"

namespace {
using Points = std::set<std::pair<int, int>>;

// A frame with a guard band around it, so a write outside the frame is caught.
struct Canvas {
    int width, height;
    std::vector<uint32_t> words;
    static constexpr int kGuard = 64;
    Canvas(int w, int h) : width(w), height(h), words(size_t(w) * h + 2 * kGuard, 0) {}
    uint32_t* pixels() { return words.data() + kGuard; }
    uint32_t at(int x, int y) { return pixels()[y * width + x]; }
    Points lit() {
        Points p;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (at(x, y)) p.insert({x, y});
        return p;
    }
    bool guardsUntouched() {
        for (int i = 0; i < kGuard; ++i)
            if (words[i] || words[words.size() - 1 - i]) return false;
        return true;
    }
};

Points Line(int w, int h, int x1, int y1, int x2, int y2, bool thick = false) {
    Canvas c(w, h);
    (thick ? AddLineThick : AddLine)(c.pixels(), x1, y1, x2, y2, w, h, 0x010101);
    EXPECT_TRUE(c.guardsUntouched());
    return c.lit();
}

TEST(AddPixel, SaturatesEachChannelAndClearsTheTopByte) {
    EXPECT_EQ(AddPixel(0xFFFFFF, 0xFF8000), 0xFFFFFFu);
    EXPECT_EQ(AddPixel(0xAA050505, 0x102030), 0x152535u);
}

TEST(VerticalSegments, LeaveOutTheLowerEndAndTheLastRow) {
    const Points rows5to8 = {{2, 5}, {2, 6}, {2, 7}, {2, 8}};
    EXPECT_EQ(Line(8, 16, 2, 5, 2, 9), rows5to8);
    EXPECT_EQ(Line(8, 16, 2, 9, 2, 5), rows5to8);
    EXPECT_EQ(Line(8, 16, 2, 9, 2, 5, true), rows5to8);  // one word per row for both pens
    EXPECT_TRUE(Line(8, 16, 2, 5, 2, 5).empty());
    EXPECT_EQ(Line(8, 10, 3, 0, 3, 20).size(), 9u);  // rows 0..8 of 10
}

TEST(SlopedSegments, StepOnTiesAndDrawTheSameWordsEitherWay) {
    const Points expected = {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}};
    EXPECT_EQ(Line(8, 8, 0, 0, 4, 2), expected);
    EXPECT_EQ(Line(8, 8, 4, 2, 0, 0), expected);
}

TEST(ThickSegments, SkipTheFirstPositionWhenTheEndpointsWereExchanged) {
    Points forward;
    for (auto [x, y] : Points{{0, 1}, {1, 2}, {2, 2}, {3, 3}, {4, 3}}) {
        forward.insert({x, y});
        forward.insert({x, y + 1});
    }
    EXPECT_EQ(Line(8, 8, 0, 1, 4, 3, true), forward);
    Points backward = forward;
    backward.erase({0, 1});
    backward.erase({0, 2});
    EXPECT_EQ(Line(8, 8, 4, 3, 0, 1, true), backward);
}

TEST(ThickSegments, KeepTheSecondWordInsideTheFrame) {
    // Walking along y in the last column draws nothing at all.
    EXPECT_TRUE(Line(8, 8, 7, 0, 7, 0, true).empty());
    EXPECT_TRUE(Line(8, 8, 7, 0, 6, 7, true).count({7, 0}) == 0);
    // Walking along x on the last row draws nothing there.
    const Points lastRow = Line(8, 8, 0, 7, 7, 7, true);
    EXPECT_TRUE(lastRow.empty());
}

TEST(Clipping, KeepsTheSlopeOfSegmentsThatStartOutside) {
    Points row4;
    for (int x = 0; x <= 5; ++x) row4.insert({x, 4});
    EXPECT_EQ(Line(8, 8, -10, 4, 5, 4), row4);
    // Entering at the same rows as on an unclipped frame.
    const Points wide = Line(40, 8, 0, 0, 30, 6);
    Points shifted;
    for (auto [x, y] : wide)
        if (x >= 10) shifted.insert({x - 10, y});
    EXPECT_EQ(Line(21, 8, -10, 0, 20, 6), shifted);
    EXPECT_TRUE(Line(8, 8, 0, 0, 6, 2).count({0, 0}));
    EXPECT_TRUE(Line(8, 8, 1, -5, 2, 0).count({2, 0}));
}

TEST(Clipping, SegmentsOutsideTheFrameTouchNothing) {
    EXPECT_TRUE(Line(8, 8, -20, 3, -1, 5).empty());
    EXPECT_TRUE(Line(8, 8, 8, 3, 30, 5).empty());
    EXPECT_TRUE(Line(8, 8, 1, -20, 3, -1).empty());
    EXPECT_TRUE(Line(8, 8, 1, 8, 3, 30, true).empty());
    // Far endpoints write nothing outside.
    Line(8, 8, -20000000, -5, 20000000, 5);
    Line(8, 8, 3, -20000000, 4, 20000000, true);
}
}  // namespace
