// Built with AVX2 enabled on x86-64 only, and entered only when the processor has it.
#include "effects/blur_fast.h"

#if defined(__AVX2__)
#include <immintrin.h>

#include "effects/blur_lanes.h"

namespace {
// Eight lanes; a group is one 8 x 8 transpose.
struct Avx2 {
    using Reg = __m256i;
    static constexpr int kLanes = 8;
    static Reg Load(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const Reg*>(p)); }
    static void Store(uint32_t* p, Reg v) { _mm256_storeu_si256(reinterpret_cast<Reg*>(p), v); }
    static Reg Add(Reg a, Reg b) { return _mm256_add_epi32(a, b); }
    static Reg Inner(Reg v) {
        return _mm256_and_si256(_mm256_srai_epi32(v, 2), _mm256_set1_epi32(int(0xFF3F3F3Fu)));
    }
    static Reg Broadcast(uint32_t w) { return _mm256_set1_epi32(int(w)); }
    static Reg ShiftUp(Reg v, uint32_t first) {
        const Reg rotated = _mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(7, 0, 1, 2, 3, 4, 5, 6));
        return _mm256_blend_epi32(rotated, _mm256_set1_epi32(int(first)), 1);
    }
    static bool Equal(Reg a, Reg b) { return _mm256_movemask_epi8(_mm256_cmpeq_epi32(a, b)) == -1; }
    static uint32_t Last(Reg v) { return uint32_t(_mm256_extract_epi32(v, 7)); }
    static void Transpose(Reg r[8]) {
        Reg t[8], u[8];
        for (int i = 0; i < 8; i += 2) {
            t[i] = _mm256_unpacklo_epi32(r[i], r[i + 1]);
            t[i + 1] = _mm256_unpackhi_epi32(r[i], r[i + 1]);
        }
        for (int i = 0; i < 8; i += 4) {
            u[i] = _mm256_unpacklo_epi64(t[i], t[i + 2]);
            u[i + 1] = _mm256_unpackhi_epi64(t[i], t[i + 2]);
            u[i + 2] = _mm256_unpacklo_epi64(t[i + 1], t[i + 3]);
            u[i + 3] = _mm256_unpackhi_epi64(t[i + 1], t[i + 3]);
        }
        for (int i = 0; i < 4; ++i) {
            r[i] = _mm256_permute2x128_si256(u[i], u[i + 4], 0x20);
            r[i + 4] = _mm256_permute2x128_si256(u[i], u[i + 4], 0x31);
        }
    }
    static void LoadColumns(const uint32_t* blocks, size_t stride, Reg column[kBlock]) {
        for (int k = 0; k < 8; ++k) column[k] = Load(blocks + k * stride);
        Transpose(column);
    }
    static void StoreColumns(const Reg column[kBlock], uint32_t* blocks, size_t stride) {
        Reg r[8];
        for (int k = 0; k < 8; ++k) r[k] = column[k];
        Transpose(r);
        for (int k = 0; k < 8; ++k) Store(blocks + k * stride, r[k]);
    }
};
}  // namespace

uint32_t BlurRowAvx2(uint32_t* row, size_t width, uint32_t carry, const uint32_t* ahead) {
    return BlurRowOnLanes<Avx2>(row, width, carry, ahead);
}
#endif
