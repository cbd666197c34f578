#pragma once
#include <cstdint>

// Frames per second for frames presented in elapsed milliseconds, rounded half away from 0.
int32_t FramesPerSecond(int32_t frames, int64_t elapsedMs);
