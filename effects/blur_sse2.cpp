#include "effects/blur_fast.h"

#include <emmintrin.h>

#include "effects/blur_lanes.h"

namespace {
// Four lanes; a group's eight columns come from two 4 x 4 transposes.
struct Sse2 {
    using Reg = __m128i;
    static constexpr int kLanes = 4;
    static Reg Load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const Reg*>(p)); }
    static void Store(uint32_t* p, Reg v) { _mm_storeu_si128(reinterpret_cast<Reg*>(p), v); }
    static Reg Add(Reg a, Reg b) { return _mm_add_epi32(a, b); }
    static Reg Inner(Reg v) {
        return _mm_and_si128(_mm_srai_epi32(v, 2), _mm_set1_epi32(int(0xFF3F3F3Fu)));
    }
    static Reg Broadcast(uint32_t w) { return _mm_set1_epi32(int(w)); }
    // Lane k takes lane k - 1; lane 0 takes first.
    static Reg ShiftUp(Reg v, uint32_t first) {
        return _mm_or_si128(_mm_slli_si128(v, 4), _mm_cvtsi32_si128(int(first)));
    }
    static bool Equal(Reg a, Reg b) { return _mm_movemask_epi8(_mm_cmpeq_epi32(a, b)) == 0xFFFF; }
    static uint32_t Last(Reg v) { return uint32_t(_mm_cvtsi128_si32(_mm_shuffle_epi32(v, 0xFF))); }
    static void Transpose(Reg& a, Reg& b, Reg& c, Reg& d) {
        const Reg ab0 = _mm_unpacklo_epi32(a, b), ab1 = _mm_unpackhi_epi32(a, b);
        const Reg cd0 = _mm_unpacklo_epi32(c, d), cd1 = _mm_unpackhi_epi32(c, d);
        a = _mm_unpacklo_epi64(ab0, cd0);
        b = _mm_unpackhi_epi64(ab0, cd0);
        c = _mm_unpacklo_epi64(ab1, cd1);
        d = _mm_unpackhi_epi64(ab1, cd1);
    }
    // column[j] lane k = word j of the block at blocks + k x stride.
    static void LoadColumns(const uint32_t* blocks, size_t stride, Reg column[kBlock]) {
        for (int half = 0; half < 2; ++half) {
            Reg* c = column + 4 * half;
            for (int k = 0; k < 4; ++k) c[k] = Load(blocks + k * stride + 4 * half);
            Transpose(c[0], c[1], c[2], c[3]);
        }
    }
    static void StoreColumns(const Reg column[kBlock], uint32_t* blocks, size_t stride) {
        for (int half = 0; half < 2; ++half) {
            Reg c[4] = {column[4 * half], column[4 * half + 1], column[4 * half + 2], column[4 * half + 3]};
            Transpose(c[0], c[1], c[2], c[3]);
            for (int k = 0; k < 4; ++k) Store(blocks + k * stride + 4 * half, c[k]);
        }
    }
};
}  // namespace

void BlurRowSse2(uint32_t* row, const uint32_t* above, const uint32_t* below, size_t width, const uint32_t* ahead) {
    BlurRowOnLanes<Sse2>(row, above, below, width, ahead);
}
