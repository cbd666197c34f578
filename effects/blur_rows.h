#pragma once
#include <cstddef>
#include <cstdint>

// The blur one row at a time. The frame is one run of words replaced in memory order, so
// a row's words mix the new row above, the old row below, the new word to the left (the
// row above's last word, for the first) and the old word to the right (the row below's
// first word, for the last). Given those rows by pointer, a row can be blurred away from
// its place in the frame: in a band of its own, or again from a copy.

// row holds the old words of an inner row and takes the new ones; ahead is a row further
// down, only fetched into the cache.
using InnerBlurRow = void (*)(uint32_t* row, const uint32_t* above, const uint32_t* below, size_t width,
                              const uint32_t* ahead);
void BlurInnerRowPlain(uint32_t* row, const uint32_t* above, const uint32_t* below, size_t width,
                       const uint32_t* ahead);
// The packed path's row when mmxAvailable is set, else the plain one.
InnerBlurRow ChosenInnerBlurRow();

// Row y of a frame height rows high: the first row has no row above (above is not read)
// and mixes fewer neighbours, as does the last, which has none below.
struct BlurRows {
    size_t width;
    int32_t height;
    InnerBlurRow inner;

    void Blur(int32_t y, uint32_t* row, const uint32_t* above, const uint32_t* below, const uint32_t* ahead) const;
    // Word x of row y (below the first) alone, from its new left and upper neighbours and
    // its old right and lower ones (the last row reads no lower one): the word Blur gives.
    uint32_t Word(int32_t y, size_t x, uint32_t left, uint32_t above, uint32_t right, uint32_t below) const;
};
