#include "output/frame_surface.h"

// Placeholder until the display layer lands.
int CreateSurfaces(int32_t, int32_t, WindowHandle) { return 1; }
void DestroySurfaces() {}
void RequestResize(int32_t, int32_t) {}
void RequestDisplayMode(int32_t, int32_t, int32_t, int32_t) {}
int IsFullscreen() { return 0; }
void ClearFrame(uint32_t) {}
uint32_t* BeginFrame(int32_t*, int32_t*) { return nullptr; }
void PresentFrame() {}
