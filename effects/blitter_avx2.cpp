// Built with AVX2 enabled on x86-64 only, and entered only when the processor has it.
#include "effects/blitter_rows.h"

#if defined(__AVX2__)
#include <immintrin.h>

#include "effects/blitter_lanes.h"

namespace {
// Eight outputs, each a permutation of the eight source words at a; shrinking, the
// outputs 8 or more words on come from the eight words after those.
struct Avx2 {
    using Reg = __m256i;
    static constexpr int32_t kLanes = 8;
    static constexpr int32_t kReach = 16;
    static Reg Load(const void* p) { return _mm256_loadu_si256(reinterpret_cast<const Reg*>(p)); }
    static void Store(uint32_t* p, Reg v) { _mm256_storeu_si256(reinterpret_cast<Reg*>(p), v); }
    static Reg Average(Reg a, Reg b) {
        const Reg keep = _mm256_set1_epi32(int(0xFEFEFEFFu));
        return _mm256_srli_epi32(_mm256_add_epi32(_mm256_and_si256(a, keep), _mm256_and_si256(b, keep)), 1);
    }
    static Reg Pick(const uint32_t* a, const ColumnWalk& walk, int32_t g, bool shrinking) {
        const Reg index = _mm256_load_si256(reinterpret_cast<const Reg*>(walk.in8 + g));
        const Reg near = _mm256_permutevar8x32_epi32(Load(a), index);
        if (!shrinking) return near;
        const Reg far = _mm256_permutevar8x32_epi32(Load(a + 8), index);
        return _mm256_blendv_epi8(near, far, _mm256_cmpgt_epi32(index, _mm256_set1_epi32(7)));
    }
};
}  // namespace

void ScaleRowAvx2(uint32_t* out, const uint32_t* here, const uint32_t* source, int32_t sourceWidth,
                  int32_t count, const ColumnWalk& walk, bool blended) {
    ScaleRowOnLanes<Avx2>(out, here, source, sourceWidth, count, walk, blended);
}
#endif
