#include "core/frame_scratch.h"

#include <new>

bool FrameScratch::Reserve(size_t bytes) {
    if (pixels && reserved == bytes) return true;
    // The old buffer goes first, so that a large frame never needs two at once.
    pixels.reset();
    reserved = 0;
    pixels.reset(new (std::nothrow) uint32_t[bytes / 4]);
    if (!pixels) return false;
    reserved = bytes;
    return true;
}
