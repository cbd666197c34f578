#include "effects/packed_pixels.h"

#if defined(__x86_64__)
#include <emmintrin.h>

// SSE2 is always present on x86-64; each 128-bit register holds two of the 64-bit lanes.
void SubtractSaturatedBytes(uint32_t* pixels, size_t groups, uint8_t amount) {
    const __m128i value = _mm_set1_epi8(static_cast<char>(amount));
    auto* words = reinterpret_cast<__m128i*>(pixels);
    for (size_t g = 0; g < groups; ++g, words += 2) {
        _mm_storeu_si128(words, _mm_subs_epu8(_mm_loadu_si128(words), value));
        _mm_storeu_si128(words + 1, _mm_subs_epu8(_mm_loadu_si128(words + 1), value));
    }
}

void HalfBlendPairs(uint32_t* pixels, size_t pairs, uint32_t colour) {
    const __m128i mask = _mm_set1_epi32(static_cast<int>(0xFF7F7F7Fu));
    const __m128i halfColour =
        _mm_and_si128(_mm_srli_epi64(_mm_set1_epi32(static_cast<int>(colour)), 1), mask);
    auto* words = reinterpret_cast<__m128i*>(pixels);
    for (; pairs >= 2; pairs -= 2, ++words) {
        const __m128i w = _mm_loadu_si128(words);
        _mm_storeu_si128(words, _mm_add_epi8(_mm_and_si128(_mm_srli_epi64(w, 1), mask), halfColour));
    }
    if (pairs) {
        const __m128i w = _mm_loadl_epi64(words);
        _mm_storel_epi64(words, _mm_add_epi8(_mm_and_si128(_mm_srli_epi64(w, 1), mask), halfColour));
    }
}

#elif defined(__i386__)
#include <mmintrin.h>

// MMX registers alias the x87 stack: leave them empty for the floating-point code after us.
void SubtractSaturatedBytes(uint32_t* pixels, size_t groups, uint8_t amount) {
    const __m64 value = _mm_set1_pi8(static_cast<char>(amount));
    auto* words = reinterpret_cast<__m64_u*>(pixels);
    for (size_t g = 0; g < groups; ++g, words += 4) {
        for (int i = 0; i < 4; ++i) words[i] = _mm_subs_pu8(words[i], value);
    }
    _mm_empty();
}

void HalfBlendPairs(uint32_t* pixels, size_t pairs, uint32_t colour) {
    const __m64 mask = _mm_set1_pi32(static_cast<int>(0xFF7F7F7Fu));
    const __m64 halfColour = _mm_and_si64(_mm_srli_si64(_mm_set1_pi32(static_cast<int>(colour)), 1), mask);
    auto* words = reinterpret_cast<__m64_u*>(pixels);
    for (size_t i = 0; i < pairs; ++i)
        words[i] = _mm_add_pi8(_mm_and_si64(_mm_srli_si64(words[i], 1), mask), halfColour);
    _mm_empty();
}

#else
#error "the packed pixel paths need an x86 processor (SSE2 on x86-64, MMX on i686)"
#endif
