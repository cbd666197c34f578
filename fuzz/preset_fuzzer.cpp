// Feeds arbitrary bytes to the preset reader, draws the chain that came out, and saves it.
#include <cstdint>

#include "fuzz/fuzz_render.h"
#include "engine/preset_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > size_t(kPresetCapacity)) return 0;
    EffectChain& chain = FuzzEngine().chain;
    ReadPresetBytes(chain, data, int32_t(size));
    uint32_t seed = uint32_t(size);
    for (size_t i = 0; i < size && i < 64; ++i) seed = seed * 31 + data[i];
    RenderLoadedChain(seed);
    // Save what was read: every effect's save must fit and stay within its scratch area.
    static uint8_t out[kPresetCapacity];
    WritePresetBytes(chain, out, kPresetCapacity);
    chain.ClearChain();
    return 0;
}
