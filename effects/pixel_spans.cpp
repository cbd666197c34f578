#include "effects/pixel_spans.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstddef>

#include "effects/line_drawing.h"

namespace {
// AddPixel on four words: the colour's byte 3 is ignored and byte 3 of each word added to
// becomes 0; lanes outside mask stay as they are.
inline __m128i AddMasked(__m128i pixels, __m128i colour, __m128i mask) {
    const __m128i sum = _mm_adds_epu8(pixels, _mm_and_si128(colour, mask));
    return _mm_andnot_si128(_mm_and_si128(mask, _mm_set1_epi32(int(0xFF000000u))), sum);
}

inline __m128i Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
inline void Store(void* p, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }
}  // namespace

void AddSpan(uint32_t* row, int32_t count, uint32_t colour) {
    const __m128i c = _mm_set1_epi32(int(colour & 0x00FFFFFFu));
    const __m128i all = _mm_set1_epi32(-1);
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) Store(row + i, AddMasked(Load(row + i), c, all));
    for (; i < count; ++i) row[i] = AddPixel(row[i], colour);
}

void AddColumnSpans(uint32_t* pixels, int32_t pitch, const int32_t* top, const int32_t* bottom, int32_t columns,
                    uint32_t colour) {
    if (columns <= 0) return;
    const int32_t first = *std::min_element(top, top + columns);
    const int32_t end = *std::max_element(bottom, bottom + columns);
    const __m128i c = _mm_set1_epi32(int(colour & 0x00FFFFFFu));
    const int32_t grouped = columns & ~3;
    for (int32_t y = first; y < end; ++y) {
        uint32_t* row = pixels + ptrdiff_t(y) * pitch;
        const __m128i here = _mm_set1_epi32(y), below = _mm_set1_epi32(y + 1);
        for (int32_t i = 0; i < grouped; i += 4) {
            const __m128i inside = _mm_and_si128(_mm_cmpgt_epi32(below, Load(top + i)),
                                                 _mm_cmpgt_epi32(Load(bottom + i), here));
            if (_mm_movemask_epi8(inside)) Store(row + i, AddMasked(Load(row + i), c, inside));
        }
        for (int32_t i = grouped; i < columns; ++i)
            if (top[i] <= y && y < bottom[i]) row[i] = AddPixel(row[i], colour);
    }
}
