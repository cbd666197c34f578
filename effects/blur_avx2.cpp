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
    // Columns of eight rows of eight words: the rows' halves are loaded into the two
    // halves of a register (row k beside row k + 4), so that only a 4 x 4 transpose
    // within each half is left for the shuffle unit, and the stores split them again.
    using Half = __m128i;
    static Reg Halves(const uint32_t* low, const uint32_t* high) {
        const Reg l = _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const Half*>(low)));
        return _mm256_inserti128_si256(l, _mm_loadu_si128(reinterpret_cast<const Half*>(high)), 1);
    }
    // A 4 x 4 transpose of 32-bit words within each 128-bit half of four registers.
    static void TransposeHalves(Reg& a, Reg& b, Reg& c, Reg& d) {
        const Reg ab0 = _mm256_unpacklo_epi32(a, b), ab1 = _mm256_unpackhi_epi32(a, b);
        const Reg cd0 = _mm256_unpacklo_epi32(c, d), cd1 = _mm256_unpackhi_epi32(c, d);
        a = _mm256_unpacklo_epi64(ab0, cd0);
        b = _mm256_unpackhi_epi64(ab0, cd0);
        c = _mm256_unpacklo_epi64(ab1, cd1);
        d = _mm256_unpackhi_epi64(ab1, cd1);
    }
    static void LoadColumns(const uint32_t* blocks, size_t stride, Reg column[kBlock]) {
        for (int k = 0; k < 4; ++k) {
            column[k] = Halves(blocks + k * stride, blocks + (k + 4) * stride);
            column[k + 4] = Halves(blocks + k * stride + 4, blocks + (k + 4) * stride + 4);
        }
        TransposeHalves(column[0], column[1], column[2], column[3]);
        TransposeHalves(column[4], column[5], column[6], column[7]);
    }
    static void StoreColumns(const Reg column[kBlock], uint32_t* blocks, size_t stride) {
        Reg r[8];
        for (int k = 0; k < 8; ++k) r[k] = column[k];
        TransposeHalves(r[0], r[1], r[2], r[3]);
        TransposeHalves(r[4], r[5], r[6], r[7]);
        for (int k = 0; k < 4; ++k)
            for (int part = 0; part < 2; ++part) {
                const Reg v = r[k + 4 * part];
                uint32_t* row = blocks + k * stride + 4 * part;
                _mm_storeu_si128(reinterpret_cast<Half*>(row), _mm256_castsi256_si128(v));
                _mm_storeu_si128(reinterpret_cast<Half*>(row + 4 * stride), _mm256_extracti128_si256(v, 1));
            }
    }
};
}  // namespace

void BlurRowAvx2(uint32_t* row, const uint32_t* above, const uint32_t* below, size_t width, const uint32_t* ahead) {
    BlurRowOnLanes<Avx2>(row, above, below, width, ahead);
}
#endif
