#pragma once
#include <cstdint>
#include <vector>

#include "effects/vector_isa.h"
#include "core/mmx.h"
#include "core/effect.h"

// Renders one frame with the packed path forced on or off, leaving the flags as they
// were; wide false keeps the packed path on SSE2 where AVX2 would run.
inline std::vector<uint32_t> RenderOnPath(Effect& effect, std::vector<uint32_t> frame, int32_t width,
                                          int32_t height, bool packed, bool wide = true,
                                          const uint8_t* samples = nullptr) {
    const int32_t saved = mmxAvailable;
    const bool savedWide = avx2Allowed;
    mmxAvailable = packed ? 1 : 0;
    avx2Allowed = wide;
    effect.render(samples, frame.data(), width, height);
    mmxAvailable = saved;
    avx2Allowed = savedWide;
    return frame;
}

// A frame of varied words, byte 3 included, the same on every build.
inline std::vector<uint32_t> VariedFrame(size_t count, uint32_t seed = 1) {
    std::vector<uint32_t> frame(count);
    uint32_t state = seed;
    for (uint32_t& word : frame) {
        state = state * 214013u + 2531011u;
        word = state ^ (state >> 13);
    }
    return frame;
}

// Frames that the fast paths must treat exactly like the plain ones: varied words with
// and without byte 3, flat areas, and smooth ramps (where chained rounding sits on edges).
inline std::vector<std::vector<uint32_t>> TestFrames(int32_t width, int32_t height) {
    const size_t count = size_t(width) * size_t(height);
    std::vector<uint32_t> shown = VariedFrame(count, 7), ramp(count);
    for (uint32_t& w : shown) w &= 0x00FFFFFFu;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t x = uint32_t(i % size_t(width)), y = uint32_t(i / size_t(width));
        ramp[i] = ((x * 3) & 0xFF) << 16 | ((y * 5) & 0xFF) << 8 | ((x + y) & 0xFF);
    }
    return {VariedFrame(count), shown, ramp, std::vector<uint32_t>(count, 0x00FFFFFF),
            std::vector<uint32_t>(count, 0xFF808080)};
}

// Sizes from one pixel to odd widths, the vector group sizes and their neighbours, and
// one 4K frame.
struct FrameSize {
    int32_t width, height;
};
inline constexpr FrameSize kTestSizes[] = {{1, 1}, {1, 9}, {2, 2}, {3, 5}, {7, 3},  {8, 8},
                                           {31, 4}, {32, 3}, {33, 6}, {63, 5}, {64, 4}, {65, 7},
                                           {97, 9}, {130, 5}, {1921, 3}, {3840, 2160}};
