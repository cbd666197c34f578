#include "engine/frame_rate.h"

int32_t FramesPerSecond(int32_t frames, int64_t elapsedMs) {
    // 21 frames can pass within one tick on a fast machine; count that as 1 ms.
    if (elapsedMs < 1) elapsedMs = 1;
    return int32_t((int64_t(frames) * 1000 + elapsedMs / 2) / elapsedMs);
}
