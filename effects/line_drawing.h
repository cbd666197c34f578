#pragma once
#include <cstdint>

// Saturating per-channel addition of colour onto one frame word; the top byte becomes 0.
inline uint32_t AddPixel(uint32_t pixel, uint32_t colour) {
    uint32_t b = (pixel & 0xFF) + (colour & 0xFF);
    uint32_t g = ((pixel >> 8) & 0xFF) + ((colour >> 8) & 0xFF);
    uint32_t r = ((pixel >> 16) & 0xFF) + ((colour >> 16) & 0xFF);
    if (b > 255) b = 255;
    if (g > 255) g = 255;
    if (r > 255) r = 255;
    return r << 16 | g << 8 | b;
}

// One-pixel-wide segment; every pixel clipped to the frame, never a word outside it.
void AddLine(uint32_t* pixels, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width,
             int32_t height, uint32_t colour);
// Two-pixel-wide segment (the pen's second word below or to the right).
void AddLineThick(uint32_t* pixels, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width,
                  int32_t height, uint32_t colour);
