#include "apps/qelv/play/play_pacing.h"

#include <algorithm>

#include "apps/qelv/render/render_options.h"

int64_t BlocksDueAt(int64_t position, int sampleRate, int32_t fps, int64_t blockCount) {
    if (position < 0 || blockCount <= 0) return 0;
    // Block k is due when position >= k * rate / fps, i.e. k <= position * fps / rate.
    return std::min(blockCount, position * fps / sampleRate + 1);
}

int64_t PositionOfBlock(int64_t block, int sampleRate, int32_t fps) {
    return (block * sampleRate + fps - 1) / fps;  // rounded up: the first whole sample
}

BlockPacer::Span BlockPacer::Take(int64_t due) {
    const Span span{next, std::clamp(due, next, count)};
    next = span.end;
    return span;
}

FrameSize FrameSizeForWindow(int32_t width, int32_t height) {
    const int32_t rounded = (std::clamp(width, kMinimumSide, kMaximumSide) + 3) & ~3;
    return {rounded, std::clamp(height, kMinimumSide, kMaximumSide)};
}
