#include "effects/packed_pixels.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>

// Both builds have SSE2 (x86-64 always; the i686 build needs it for its floating point
// anyway). Each 128-bit register holds two of the 64-bit lanes, and no MMX register is
// touched, so no EMMS is owed to the floating-point code that follows.
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

void FillAligned(uint32_t* pixels, size_t count, uint32_t colour) {
#if defined(__i386__) || defined(__x86_64__)
    // The processor's string store: for a long run it writes whole cache lines without
    // reading them first, which plain stores must do.
    __asm__ volatile("rep stosl" : "+D"(pixels), "+c"(count) : "a"(colour) : "memory");
#else
    // SSE2 intrinsics translated for another processor, which has no such store.
    std::fill_n(pixels, count, colour);
#endif
}

void CopyPastCache(uint32_t* to, const uint32_t* from, size_t count) {
    size_t i = 0;
    for (; i < count && reinterpret_cast<uintptr_t>(to + i) % 16 != 0; ++i) to[i] = from[i];
    for (; i + 4 <= count; i += 4)
        _mm_stream_si128(reinterpret_cast<__m128i*>(to + i),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i)));
    for (; i < count; ++i) to[i] = from[i];
    // Streaming stores are weakly ordered: fenced here, they are ordered before the
    // release that hands the copy to another thread.
    _mm_sfence();
}

#else
#error "the packed pixel paths are written for SSE2"
#endif
