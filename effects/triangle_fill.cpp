#include "effects/triangle_fill.h"

#include <algorithm>
#include <utility>

#include "effects/line_drawing.h"
#include "effects/pixel_spans.h"
#include "core/mmx.h"

namespace {
struct Vertex {
    int32_t x, y;
};

constexpr int32_t kFixedOne = 65536;
constexpr int32_t kFixedHalf = 32768;

bool InFixedRange(int32_t v) { return v >= -32768 && v <= 32767; }

// 16.16 steps per row from a to b; 0 for an edge without rows. The products need more
// than 32 bits once the edge spans half the 16.16 range.
int64_t Slope(Vertex a, Vertex b) {
    return a.y < b.y ? (int64_t(b.x) - a.x) * kFixedOne / (int64_t(b.y) - a.y) : 0;
}

// Columns from half a pixel left of lo up to half a pixel right of hi, at least one.
void FillSpan(uint32_t* row, int64_t lo, int64_t hi, int32_t width, uint32_t colour) {
    const int64_t first = (lo - kFixedHalf) >> 16;
    const int64_t end = (hi + kFixedHalf) >> 16;
    const int64_t count = end == first ? 1 : end - first;
    const int64_t from = std::max<int64_t>(first, 0);
    const int64_t to = std::min<int64_t>(first + count, width);
    if (mmxAvailable) {
        if (to > from) AddSpan(row + from, int32_t(to - from), colour);
        return;
    }
    for (int64_t x = from; x < to; ++x) row[x] = AddPixel(row[x], colour);
}
}  // namespace

void AddTriangle(uint32_t* pixels, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                 int32_t width, int32_t height, uint32_t colour) {
    for (int32_t v : {x0, y0, x1, y1, x2, y2})
        if (!InFixedRange(v)) return;
    Vertex v[3] = {{x0, y0}, {x1, y1}, {x2, y2}};
    // Two passes of two compare-exchanges: sorted by row, equal rows keep their order.
    for (int pass = 0; pass < 2; ++pass) {
        if (v[0].y > v[1].y) std::swap(v[0], v[1]);
        if (v[1].y > v[2].y) std::swap(v[1], v[2]);
    }
    // Edge a runs from the top vertex to the bottom one, edge b via the middle vertex.
    int64_t xa = int64_t(v[0].x) * kFixedOne, xb = xa;
    const int64_t slopeA = Slope(v[0], v[2]);
    int64_t slopeB = Slope(v[0], v[1]);
    const int32_t yend = std::min(v[2].y, height);
    for (int32_t y = v[0].y; y < yend; ++y) {
        if (y == v[1].y) {
            xb = int64_t(v[1].x) * kFixedOne;
            slopeB = Slope(v[1], v[2]);
        }
        // Rows above the frame are walked so that the edges arrive exact.
        if (y >= 0) FillSpan(pixels + int64_t(y) * width, std::min(xa, xb), std::max(xa, xb), width, colour);
        xa += slopeA;
        xb += slopeB;
    }
}
