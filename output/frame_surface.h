#pragma once
#include <cstdint>
#include <functional>

#include "core/frame_types.h"

// The frame surface: one off-screen 32-bit surface lent to the render thread as the
// FrameBuffer, shown windowed or stretched onto a full-screen flipping chain. Size and
// mode changes are only requested here; the render thread applies them in BeginFrame.
int CreateSurfaces(int32_t width, int32_t height, WindowHandle window);  // 0 ok, 1 failed (shown)
void DestroySurfaces();
void RequestResize(int32_t width, int32_t height);
void RequestDisplayMode(int32_t fullscreen, int32_t modeWidth, int32_t modeHeight, int32_t doublingShift);
// Nonzero while full screen is in force or asked for.
int IsFullscreen();
void ClearFrame(uint32_t colour);
// First pixel of the frame, or null when there is no frame this time.
uint32_t* BeginFrame(int32_t* width, int32_t* height);
void PresentFrame();
// Calls addItem with "WxH 32BPP" for every display mode in the frame's own pixel format.
void ListDisplayModes(const std::function<void(const char* text)>& addItem);
