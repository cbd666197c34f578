#include "effects/triangle_fill.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "tests/effects/effect_test_frame.h"

namespace {
// Each row of the frame as a string, '#' for a filled pixel.
std::string Rows(GuardedFrame& f) {
    std::string s;
    for (int y = 0; y < f.height; ++y) {
        for (int x = 0; x < f.width; ++x) s += f.at(x, y) ? '#' : '.';
        s += '\n';
    }
    return s;
}

std::string Fill(int w, int h, int x0, int y0, int x1, int y1, int x2, int y2) {
    GuardedFrame f(w, h);
    AddTriangle(f.pixels(), x0, y0, x1, y1, x2, y2, w, h, 0x010101);
    EXPECT_TRUE(f.guardsUntouched());
    return Rows(f);
}

TEST(TriangleSpans, RunFromHalfAPixelLeftAndLeaveOutTheLowestRow) {
    // From exactly A to exactly B the span fills A - 1 .. B - 1.
    EXPECT_EQ(Fill(10, 6, 2, 0, 6, 0, 2, 4),
              ".#####....\n"
              ".####.....\n"
              ".###......\n"
              ".##.......\n"
              "..........\n"
              "..........\n");
}

TEST(TriangleSpans, EdgesMeetingAtColumnXFillColumnXMinusOne) {
    EXPECT_EQ(Fill(10, 6, 5, 0, 1, 4, 9, 4),
              "....#.....\n"
              "...###....\n"
              "..#####...\n"
              ".#######..\n"
              "..........\n"
              "..........\n");
}

TEST(TriangleSpans, ASingleRowFillsNothing) {
    EXPECT_EQ(Fill(6, 3, 0, 1, 5, 1, 3, 1).find('#'), std::string::npos);
}

TEST(TriangleSpans, TheOrderOfTheVerticesDoesNotMatterWhenTheirRowsDiffer) {
    std::array<std::array<int, 2>, 3> v = {{{1, 0}, {11, 3}, {4, 9}}};
    const std::string first = Fill(14, 12, v[0][0], v[0][1], v[1][0], v[1][1], v[2][0], v[2][1]);
    EXPECT_NE(first.find('#'), std::string::npos);
    std::sort(v.begin(), v.end());
    do {
        EXPECT_EQ(Fill(14, 12, v[0][0], v[0][1], v[1][0], v[1][1], v[2][0], v[2][1]), first);
    } while (std::next_permutation(v.begin(), v.end()));
}

// The same triangle in a frame 8 columns wider and 8 rows taller, shifted by (8, 8).
std::string Shifted(int w, int h, int x0, int y0, int x1, int y1, int x2, int y2) {
    GuardedFrame wide(w + 8, h + 8);
    AddTriangle(wide.pixels(), x0 + 8, y0 + 8, x1 + 8, y1 + 8, x2 + 8, y2 + 8, w + 8, h + 8, 0x010101);
    std::string s;
    for (int y = 8; y < h + 8; ++y) {
        for (int x = 8; x < w + 8; ++x) s += wide.at(x, y) ? '#' : '.';
        s += '\n';
    }
    return s;
}

TEST(TriangleClipping, CutsAtTheFrameEdgesWithoutMovingAnySpan) {
    // A vertex left of the frame, one above it, one below and right of it.
    EXPECT_EQ(Fill(12, 10, -6, 3, 9, -5, 14, 13), Shifted(12, 10, -6, 3, 9, -5, 14, 13));
    EXPECT_EQ(Fill(12, 10, -7, 0, 5, 2, -7, 9), Shifted(12, 10, -7, 0, 5, 2, -7, 9));
}

TEST(TriangleClipping, TrianglesOutsideTheFrameOrTheFixedPointRangeDrawNothing) {
    EXPECT_EQ(Fill(8, 8, -9, 0, -3, 7, -20, 5).find('#'), std::string::npos);
    EXPECT_EQ(Fill(8, 8, 0, 9, 7, 20, 3, 12).find('#'), std::string::npos);
    EXPECT_EQ(Fill(8, 8, 0, 0, 40000, 4, 0, 7).find('#'), std::string::npos);
    EXPECT_EQ(Fill(8, 8, 0, -2000000000, 7, 4, 0, 7).find('#'), std::string::npos);
}
}  // namespace
