#pragma once
#include <cstdint>
#include <vector>

#include "host/mmx.h"
#include "pipeline/effect.h"

// Renders one frame with the packed path forced on or off, leaving the flag as it was.
inline std::vector<uint32_t> RenderOnPath(Effect& effect, std::vector<uint32_t> frame, int32_t width,
                                          int32_t height, bool packed) {
    const int32_t saved = mmxAvailable;
    mmxAvailable = packed ? 1 : 0;
    effect.render(nullptr, frame.data(), width, height);
    mmxAvailable = saved;
    return frame;
}

// A frame of varied words, byte 3 included, the same on every build.
inline std::vector<uint32_t> VariedFrame(size_t count) {
    std::vector<uint32_t> frame(count);
    uint32_t state = 1;
    for (uint32_t& word : frame) {
        state = state * 214013u + 2531011u;
        word = state ^ (state >> 13);
    }
    return frame;
}
