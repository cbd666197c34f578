#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

// A frame-sized pixel buffer that an effect may use as scratch within one render. A chain
// draws its effects one after another under its render lock, so one buffer serves every
// effect of it: a chain of 256 zooming effects costs one frame of scratch, not 256.
class FrameScratch {
public:
    // Makes the buffer exactly bytes long, keeping it when it already is; false when
    // memory ran out, and the buffer is then empty.
    bool Reserve(size_t bytes);
    uint32_t* get() const { return pixels.get(); }

private:
    std::unique_ptr<uint32_t[]> pixels;
    size_t reserved = 0;
};
