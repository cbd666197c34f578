// Feeds arbitrary bytes to the preset reader, then draws two small frames (a beat frame
// and a quiet one) with whatever chain came out, so every effect meets hostile settings.
#include <cstdint>
#include <cstring>

#include "pipeline/effect_chain.h"
#include "pipeline/preset_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > size_t(kPresetCapacity)) return 0;
    ReadPresetBytes(data, int32_t(size));

    static uint8_t samples[kSnapshotBytes];
    uint32_t state = uint32_t(size) * 2654435761u;
    for (uint8_t& b : samples) {
        state = state * 1103515245u + 12345u;
        b = uint8_t(state >> 24);
    }
    static uint32_t frame[40 * 24];
    std::memset(frame, 0, sizeof frame);
    RenderChain(samples, frame, 40, 24, 1);
    RenderChain(samples, frame, 40, 24, 0);

    // Save what was read: every effect's save must fit and stay within its scratch area.
    static uint8_t out[kPresetCapacity];
    WritePresetBytes(out, kPresetCapacity);
    ClearChain();
    return 0;
}
