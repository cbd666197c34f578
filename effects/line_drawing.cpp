#include "effects/line_drawing.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <utility>

#include "core/mmx.h"

namespace {
void Add(uint32_t* pixels, int32_t width, int32_t x, int32_t y, uint32_t colour) {
    uint32_t& p = pixels[int64_t(y) * width + x];
    p = AddPixel(p, colour);
}

// AddPixel on one word, or on two side by side, with one saturating byte add; colour
// holds the colour without its byte 3 in every word.
inline void AddPacked(uint32_t* p, __m128i colour) {
    const __m128i sum = _mm_adds_epu8(_mm_cvtsi32_si128(int(*p)), colour);
    *p = uint32_t(_mm_cvtsi128_si32(sum)) & 0x00FFFFFFu;
}
inline void AddPackedPair(uint32_t* p, __m128i colour) {
    const __m128i sum = _mm_adds_epu8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), colour);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_and_si128(sum, _mm_set1_epi32(0x00FFFFFF)));
}

// The same walk as Walk below, pixel for pixel, without the walk's branches: the minor
// step is taken by mask, and the walk ends once the pen has left the frame for good
// (the minor coordinate only moves one way).
template <bool kAlongX, bool kThick>
void PackedWalk(uint32_t* pixels, int32_t a1, int32_t b1, int32_t end, int64_t da, int64_t db, int32_t step,
                int64_t err, bool skipFirst, int32_t width, int32_t minorLimit, uint32_t colour) {
    const __m128i c = _mm_set1_epi32(int(colour & 0x00FFFFFFu));
    const ptrdiff_t pitch = width;
    int64_t a = a1;
    int32_t b = b1;
    const auto advance = [&] {
        const int64_t take = ~(err >> 63);  // all ones when the minor coordinate steps
        err += 2 * db - (2 * da & take);
        b += step & int32_t(take);
    };
    if (skipFirst) {
        ++a;
        advance();
    }
    // Off the frame before its first row (or column): walk on without drawing.
    for (; a < 0 && a <= end; ++a) advance();
    for (; a <= end; ++a, advance()) {
        if (b >= 0 && b < minorLimit) {
            uint32_t* p = pixels + (kAlongX ? ptrdiff_t(b) * pitch + ptrdiff_t(a) : ptrdiff_t(a) * pitch + b);
            if (kThick && !kAlongX) {
                AddPackedPair(p, c);
            } else {
                AddPacked(p, c);
                if (kThick) AddPacked(p + pitch, c);
            }
        } else if (step > 0 ? b >= minorLimit : b < 0) {
            return;
        }
    }
}

// Shared by both pens.
void Vertical(uint32_t* pixels, int32_t x, int32_t y1, int32_t y2, int32_t width, int32_t height,
              uint32_t colour) {
    const RowSpan rows = VerticalRows(y1, y2, height);
    if (rows.top >= rows.bottom || x < 0 || x >= width) return;
    for (int32_t y = rows.top; y < rows.bottom; ++y) Add(pixels, width, x, y, colour);
}

// The midpoint walk shared by both pens. Coordinates are (major, minor): along x the
// major axis is x, along y it is y. thick adds the neighbour one step along the minor
// axis and keeps the whole pen inside the frame.
template <bool kAlongX, bool kThick>
void Walk(uint32_t* pixels, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width, int32_t height,
          uint32_t colour) {
    int32_t a1 = kAlongX ? x1 : y1, b1 = kAlongX ? y1 : x1;
    int32_t a2 = kAlongX ? x2 : y2, b2 = kAlongX ? y2 : x2;
    const int32_t majorSize = kAlongX ? width : height;
    const int32_t minorSize = kAlongX ? height : width;
    const bool exchanged = a2 < a1;
    if (exchanged) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }
    // 64-bit error terms: endpoints can lie anywhere in the int32 range.
    const int64_t da = int64_t(a2) - a1, db = std::abs(int64_t(b2) - b1);
    const int32_t step = b2 > b1 ? 1 : -1;
    int64_t err = 2 * db - da;
    if (a2 < 0 || a1 >= majorSize) return;
    const int32_t end = std::min(a2, majorSize - 1);
    // The thick pen's second word lies one row (or column) further, so its last row
    // (or column) stays untouched and the second word never leaves the frame.
    const int32_t minorLimit = kThick ? minorSize - 1 : minorSize;
    auto draw = [&](int32_t a, int32_t b) {
        if (a < 0 || b < 0 || b >= minorLimit) return;
        const int32_t x = kAlongX ? a : b, y = kAlongX ? b : a;
        Add(pixels, width, x, y, colour);
        if (kThick) Add(pixels, width, kAlongX ? x : x + 1, kAlongX ? y + 1 : y, colour);
    };
    if (mmxAvailable) {
        PackedWalk<kAlongX, kThick>(pixels, a1, b1, end, da, db, step, err, kThick && exchanged, width,
                                    minorLimit, colour);
        return;
    }
    int32_t b = b1;
    if (!(kThick && exchanged)) draw(a1, b);
    // The walk runs through the off-frame part too, so the minor coordinate stays exact.
    for (int64_t a = int64_t(a1) + 1; a <= end; ++a) {
        if (err < 0) {
            err += 2 * db;
        } else {
            err += 2 * db - 2 * da;
            b += step;
        }
        draw(int32_t(a), b);
    }
}

template <bool kThick>
void Segment(uint32_t* pixels, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width, int32_t height,
             uint32_t colour) {
    if (x1 == x2) {
        Vertical(pixels, x1, y1, y2, width, height, colour);
    } else if (std::abs(int64_t(x2) - x1) >= std::abs(int64_t(y2) - y1)) {
        Walk<true, kThick>(pixels, x1, y1, x2, y2, width, height, colour);
    } else {
        Walk<false, kThick>(pixels, x1, y1, x2, y2, width, height, colour);
    }
}
}  // namespace

void AddLine(uint32_t* pixels, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width, int32_t height,
             uint32_t colour) {
    Segment<false>(pixels, x1, y1, x2, y2, width, height, colour);
}

void AddLineThick(uint32_t* pixels, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width,
                  int32_t height, uint32_t colour) {
    Segment<true>(pixels, x1, y1, x2, y2, width, height, colour);
}
