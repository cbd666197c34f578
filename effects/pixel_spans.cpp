#include "effects/pixel_spans.h"

#include <emmintrin.h>

#include "effects/line_drawing.h"
#include "effects/pixel_spans_lanes.h"
#include "effects/vector_isa.h"

namespace {
// AddPixel on four words: the colour's byte 3 is ignored and byte 3 of each word added to
// becomes 0; lanes outside mask stay as they are.
inline __m128i AddMasked(__m128i pixels, __m128i colour, __m128i mask) {
    const __m128i sum = _mm_adds_epu8(pixels, _mm_and_si128(colour, mask));
    return _mm_andnot_si128(_mm_and_si128(mask, _mm_set1_epi32(int(0xFF000000u))), sum);
}

struct Sse2 {
    using Reg = __m128i;
    static constexpr int32_t kLanes = 4;
    static Reg Load(const void* p) { return _mm_loadu_si128(static_cast<const Reg*>(p)); }
    static void Store(void* p, Reg v) { _mm_storeu_si128(static_cast<Reg*>(p), v); }
    static Reg Set(int32_t v) { return _mm_set1_epi32(v); }
    static Reg And(Reg a, Reg b) { return _mm_and_si128(a, b); }
    static Reg AndNot(Reg a, Reg b) { return _mm_andnot_si128(a, b); }
    static Reg Greater(Reg a, Reg b) { return _mm_cmpgt_epi32(a, b); }
    static Reg AddSaturated(Reg a, Reg b) { return _mm_adds_epu8(a, b); }
    static bool Any(Reg v) { return _mm_movemask_epi8(v) != 0; }
};
}  // namespace

void AddSpan(uint32_t* row, int32_t count, uint32_t colour) {
    const __m128i c = _mm_set1_epi32(int(colour & 0x00FFFFFFu));
    const __m128i all = _mm_set1_epi32(-1);
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) Sse2::Store(row + i, AddMasked(Sse2::Load(row + i), c, all));
    for (; i < count; ++i) row[i] = AddPixel(row[i], colour);
}

void AddColumnSpans(uint32_t* pixels, int32_t pitch, const int32_t* top, const int32_t* bottom, int32_t columns,
                    uint32_t colour, int32_t firstRow, int32_t endRow) {
#if defined(__x86_64__)
    if (Avx2Usable()) return AddColumnSpansAvx2(pixels, pitch, top, bottom, columns, colour, firstRow, endRow);
#endif
    AddColumnSpansOnLanes<Sse2>(pixels, pitch, top, bottom, columns, colour, firstRow, endRow);
}
