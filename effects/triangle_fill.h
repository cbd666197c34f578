#pragma once
#include <cstdint>

// Fills a triangle by adding colour to every covered pixel, span by span in 16.16 fixed
// point. The row of the lowest vertex is never filled, a span covers the columns from
// half a pixel left of its left edge, and everything is clipped to the frame. Vertices
// must lie within -32768..32767 on both axes (the 16.16 range); a triangle with a vertex
// beyond it draws nothing.
void AddTriangle(uint32_t* pixels, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                 int32_t width, int32_t height, uint32_t colour);
