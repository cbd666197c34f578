#include "host/pixel_size.h"

#include <algorithm>
#include <cstring>

void EnlargePixels(const uint32_t* frame, int32_t width, int32_t n, uint32_t* picture, int32_t pictureWidth,
                   int32_t pictureHeight) {
    const size_t rowBytes = size_t(pictureWidth) * 4;
    for (int32_t y = 0; y < pictureHeight; y += n) {
        const uint32_t* from = frame + size_t(y / n) * size_t(width);
        uint32_t* row = picture + size_t(y) * size_t(pictureWidth);
        // Whole blocks, then the one the right edge cuts.
        const int32_t whole = pictureWidth / n;
        uint32_t* to = row;
        for (int32_t x = 0; x < whole; ++x, to += n) std::fill_n(to, n, from[x]);
        if (whole * n < pictureWidth) std::fill_n(to, pictureWidth - whole * n, from[whole]);
        // The block's other rows are the same row again.
        for (int32_t copy = y + 1; copy < std::min(y + n, pictureHeight); ++copy)
            std::memcpy(picture + size_t(copy) * size_t(pictureWidth), row, rowBytes);
    }
}

const uint32_t* PixelEnlarger::Enlarge(const uint32_t* frame, int32_t frameWidth, int32_t n, int32_t width,
                                       int32_t height) {
    if (n <= 1) return frame;
    picture.resize(size_t(width) * size_t(height));
    EnlargePixels(frame, frameWidth, n, picture.data(), width, height);
    return picture.data();
}
