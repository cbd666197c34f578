#include <emmintrin.h>

#include "effects/blitter_lanes.h"

namespace {
// Four outputs from the source words at a and after: enlarging, output t reads word
// t - 2 .. t (shifted copies of one load); shrinking, word t or t + 1.
struct Sse2 {
    using Reg = __m128i;
    static constexpr int32_t kLanes = 4;
    static constexpr int32_t kReach = 5;
    static Reg Load(const void* p) { return _mm_loadu_si128(reinterpret_cast<const Reg*>(p)); }
    static void Store(uint32_t* p, Reg v) { _mm_storeu_si128(reinterpret_cast<Reg*>(p), v); }
    static Reg Average(Reg a, Reg b) {
        const Reg keep = _mm_set1_epi32(int(0xFEFEFEFFu));
        return _mm_srli_epi32(_mm_add_epi32(_mm_and_si128(a, keep), _mm_and_si128(b, keep)), 1);
    }
    static Reg Pick(const uint32_t* a, const ColumnWalk& walk, int32_t g, bool shrinking) {
        const Reg back = Load(walk.in4 + g);
        const Reg words = Load(a);
        if (shrinking) {
            const Reg next = _mm_cmpeq_epi32(back, _mm_set1_epi32(1));
            return _mm_or_si128(_mm_andnot_si128(next, words), _mm_and_si128(next, Load(a + 1)));
        }
        const Reg one = _mm_cmpeq_epi32(back, _mm_set1_epi32(-1));
        const Reg two = _mm_cmpeq_epi32(back, _mm_set1_epi32(-2));
        const Reg same = _mm_andnot_si128(_mm_or_si128(one, two), words);
        return _mm_or_si128(same, _mm_or_si128(_mm_and_si128(one, _mm_slli_si128(words, 4)),
                                               _mm_and_si128(two, _mm_slli_si128(words, 8))));
    }
};
}  // namespace

void ScaleRowSse2(uint32_t* out, const uint32_t* here, const uint32_t* source, int32_t sourceWidth,
                  int32_t count, const ColumnWalk& walk, bool blended) {
    ScaleRowOnLanes<Sse2>(out, here, source, sourceWidth, count, walk, blended);
}
