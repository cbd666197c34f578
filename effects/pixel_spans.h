#pragma once
#include <cstdint>

// Saturating additions of one colour over many pixels at once, the same words as
// AddPixel on each of them. Adding with saturation is order-free for colours, so a run
// may be added in any order relative to other runs.

// AddPixel on count pixels in a row.
void AddSpan(uint32_t* row, int32_t count, uint32_t colour);

// AddPixel on rows top[i] <= y < bottom[i] of column i, for columns 0 .. columns - 1 of a
// frame pitch words wide, as far as they lie in firstRow <= y < endRow (a band of the
// rows, or all the spans reach); each pixel once, rows in order. Every span lies inside
// the frame.
void AddColumnSpans(uint32_t* pixels, int32_t pitch, const int32_t* top, const int32_t* bottom, int32_t columns,
                    uint32_t colour, int32_t firstRow, int32_t endRow);
#if defined(__x86_64__)
void AddColumnSpansAvx2(uint32_t* pixels, int32_t pitch, const int32_t* top, const int32_t* bottom,
                        int32_t columns, uint32_t colour, int32_t firstRow, int32_t endRow);
#endif
