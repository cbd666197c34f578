#pragma once
#include <cstdint>
#include <vector>

#include "core/frame_types.h"

// A frame with a guard band on both sides, so that a write outside the frame shows.
struct GuardedFrame {
    static constexpr int kGuard = 4096;
    int width, height;
    std::vector<uint32_t> words;

    GuardedFrame(int w, int h) : width(w), height(h), words(size_t(w) * h + 2 * kGuard, 0) {}
    uint32_t* pixels() { return words.data() + kGuard; }
    uint32_t& at(int x, int y) { return pixels()[y * width + x]; }
    bool guardsUntouched() const {
        for (int i = 0; i < kGuard; ++i)
            if (words[i] || words[words.size() - 1 - i]) return false;
        return true;
    }
    int litCount() {
        int n = 0;
        for (int i = 0; i < width * height; ++i) n += pixels()[i] != 0;
        return n;
    }
    // FNV-1a over the frame's words, to compare whole frames between builds.
    uint32_t checksum() {
        uint32_t h = 2166136261u;
        for (int i = 0; i < width * height; ++i)
            for (int shift = 0; shift < 32; shift += 8) h = (h ^ ((pixels()[i] >> shift) & 0xFF)) * 16777619u;
        return h;
    }
};

// Samples that vary from frame to frame in a fixed way, from a small generator of the
// tests' own.
struct SampleScene {
    uint32_t state;
    explicit SampleScene(uint32_t seed) : state(seed) {}
    uint8_t next() {
        state = state * 1103515245u + 12345u;
        return uint8_t(state >> 16);
    }
    std::vector<uint8_t> snapshot() {
        std::vector<uint8_t> s(kSnapshotBytes);
        for (auto& b : s) b = next();
        // Spectrum bytes are curve-mapped, 0..254.
        for (int i = 0; i < kWaveformOffset0; ++i)
            if (s[i] == 255) s[i] = 254;
        return s;
    }
};
