// Built with AVX2 enabled on x86-64 only, and entered only when the processor has it.
#include "effects/pixel_spans.h"

#if defined(__AVX2__)
#include <immintrin.h>

#include "effects/pixel_spans_lanes.h"

namespace {
struct Avx2 {
    using Reg = __m256i;
    static constexpr int32_t kLanes = 8;
    static Reg Load(const void* p) { return _mm256_loadu_si256(static_cast<const Reg*>(p)); }
    static void Store(void* p, Reg v) { _mm256_storeu_si256(static_cast<Reg*>(p), v); }
    static Reg Set(int32_t v) { return _mm256_set1_epi32(v); }
    static Reg And(Reg a, Reg b) { return _mm256_and_si256(a, b); }
    static Reg AndNot(Reg a, Reg b) { return _mm256_andnot_si256(a, b); }
    static Reg Greater(Reg a, Reg b) { return _mm256_cmpgt_epi32(a, b); }
    static Reg AddSaturated(Reg a, Reg b) { return _mm256_adds_epu8(a, b); }
    static bool Any(Reg v) { return !_mm256_testz_si256(v, v); }
};
}  // namespace

void AddColumnSpansAvx2(uint32_t* pixels, int32_t pitch, const int32_t* top, const int32_t* bottom,
                        int32_t columns, uint32_t colour, int32_t firstRow, int32_t endRow) {
    AddColumnSpansOnLanes<Avx2>(pixels, pitch, top, bottom, columns, colour, firstRow, endRow);
}
#endif
