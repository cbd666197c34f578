#pragma once
#include <cstdint>

#include "pipeline/frame_types.h"

// The frame surface: one off-screen 32-bit surface lent to the render thread as the
// FrameBuffer, shown windowed or stretched onto a full-screen flipping chain.
int CreateSurfaces(int32_t width, int32_t height, WindowHandle window);  // 0 ok, 1 failed (shown)
void DestroySurfaces();
void RequestResize(int32_t width, int32_t height);
void RequestDisplayMode(int32_t fullscreen, int32_t modeWidth, int32_t modeHeight, int32_t doublingShift);
int IsFullscreen();
void ClearFrame(uint32_t colour);
// First pixel of the frame, or null when there is no frame this time.
uint32_t* BeginFrame(int32_t* width, int32_t* height);
void PresentFrame();
