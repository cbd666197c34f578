#pragma once
#include <cstdint>
#include <vector>

// Bigger pixels: the chain draws a frame 1/n of the picture's size and each of its pixels
// is shown as an n x n block, the plug-in's full-screen doubling (n = 2) made general.
// The effects draw in pixels, so a preset keeps its look at a large size, at 1/n² the cost.
constexpr int32_t kLargestPixelSize = 8;

// The side of the frame the chain draws for a picture side: side / n rounded up, so that
// the blocks cover the picture. A side that is not a multiple of n cuts the last column or
// row of blocks short at the right or bottom edge.
constexpr int32_t DrawnSide(int32_t side, int32_t n) { return n > 1 ? (side + n - 1) / n : side; }

// Each pixel of the frame (rows of `width` words) as an n x n block of the picture
// (pictureWidth x pictureHeight words), cut at its right and bottom edges: the frame has
// DrawnSide(pictureWidth, n) columns at least and DrawnSide(pictureHeight, n) rows.
void EnlargePixels(const uint32_t* frame, int32_t width, int32_t n, uint32_t* picture, int32_t pictureWidth,
                   int32_t pictureHeight);

// EnlargePixels into a picture of its own, kept from frame to frame.
class PixelEnlarger {
public:
    // The frame as a picture of width x height; with n = 1, the frame itself.
    const uint32_t* Enlarge(const uint32_t* frame, int32_t frameWidth, int32_t n, int32_t width, int32_t height);

private:
    std::vector<uint32_t> picture;
};
