#pragma once
// Draws the fuzzers' one engine's chain, a beat frame then a quiet one, at a frame size the seed
// picks: the smallest, an odd one, or one larger than 400 x 300 (the slow one, so only
// for a quarter of the inputs), so every effect meets hostile settings at every shape.
// The seed also picks the processor's packed paths or the plain ones, half the time each.
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/effect.h"
#include "core/mmx.h"
#include "engine/effect_chain.h"
#include "engine/engine.h"

// The fuzzers' engine: inputs run one after another, each leaving its chain empty.
inline Engine& FuzzEngine() {
    static Engine engine;
    return engine;
}

inline void RenderLoadedChain(uint32_t seed) {
    static uint8_t samples[kSnapshotBytes];
    uint32_t state = seed * 2654435761u;
    for (uint8_t& b : samples) {
        state = state * 1103515245u + 12345u;
        b = uint8_t(state >> 24);
    }
    static const int32_t sizes[][2] = {{8, 8}, {8, 8}, {37, 23}, {401, 300}};
    static std::vector<uint32_t> frame(401 * 300);
    const int32_t* size = sizes[state % 4];
    static const int32_t packed = [] {
        ProbeMmx();
        return mmxAvailable;
    }();
    mmxAvailable = (state >> 8) & 1 ? packed : 0;
    std::memset(frame.data(), 0, frame.size() * 4);
    FuzzEngine().chain.RenderChain(samples, frame.data(), size[0], size[1], 1);
    FuzzEngine().chain.RenderChain(samples, frame.data(), size[0], size[1], 0);
}
