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

// The rows top <= y < bottom that a vertical segment from row y1 to row y2 covers in
// either pen: one word per row, the lower endpoint and the frame's last row left out, so
// a single point draws nothing. Empty when top >= bottom.
struct RowSpan {
    int32_t top, bottom;
};
inline RowSpan VerticalRows(int32_t y1, int32_t y2, int32_t height) {
    const int32_t top = y1 < y2 ? y1 : y2, bottom = y1 < y2 ? y2 : y1;
    return {top > 0 ? top : 0, bottom < height - 1 ? bottom : height - 1};
}

// One-pixel-wide segment; every pixel clipped to the frame, never a word outside it.
void AddLine(uint32_t* pixels, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width,
             int32_t height, uint32_t colour);
// Two-pixel-wide segment (the pen's second word below or to the right).
void AddLineThick(uint32_t* pixels, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width,
                  int32_t height, uint32_t colour);
