#pragma once
#include <cstddef>
#include <cstdint>

// A frame-sized pixel buffer that an effect may use as scratch within one render. The
// chain draws its effects one after another under the render lock, so one buffer serves
// every effect of it: a chain of 256 zooming effects costs one frame of scratch, not 256.
// Every FrameScratch is a handle to that one buffer.
class FrameScratch {
public:
    // Makes the buffer exactly bytes long, keeping it when it already is; false when
    // memory ran out, and the buffer is then empty.
    bool Reserve(size_t bytes);
    uint32_t* get() const;
};
