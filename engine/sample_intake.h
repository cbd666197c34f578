#pragma once
#include <cstdint>
#include <atomic>
#include <mutex>

#include "core/vis_module.h"

// The first block after loading is compared against this sum.
constexpr int32_t kInitialBeatSum = 500;

// What the beat detector made of the latest block, for a meter to show: written by
// Render alone, read by anyone without a lock. A block is a beat when sum > threshold.
struct BeatReading {
    std::atomic<int32_t> sum{0}, threshold{0};
    std::atomic<uint32_t> beats{0};  // beats detected since loading, wrapping
};

// Where the host's blocks arrive: one snapshot of the samples per frame, and the beat
// detector. Render runs on the host's thread, TakeSnapshot on the render thread.
struct SampleIntake {
    // Raw spectrum byte -> logarithmic 0..254; rebuilt identically by every Init.
    uint8_t spectrumCurve[256] = {};

    // Beat settings: whole words, written by the beat page and read by Render without a
    // lock. They keep their values while the library is loaded.
    std::atomic<int32_t> beatSensitivity{32};       // 1..256, smaller is more sensitive
    std::atomic<int32_t> beatBand{0x012C0008};      // low half: first bin; high half (signed): end bin

    // 1 from Init to Quit, the life of the sample and render locks: a host that calls
    // Render outside it changes nothing.
    std::atomic<int32_t> intakeOpen{0};

    // Intake state, guarded by sampleLock.
    std::mutex sampleLock;
    uint8_t sharedSnapshot[kSnapshotBytes] = {};
    int32_t snapshotTaken = 1;
    int32_t beatFlag = 0;
    int32_t previousBeatSum = kInitialBeatSum;
    BeatReading beatReading;

    void BuildSpectrumCurve();
    // The host's per-block call: merges the block into the snapshot and detects beats.
    int32_t Render(const VisModule* module);
    // Copies the snapshot for one frame and hands over the latched beat (0 or 1).
    int32_t TakeSnapshot(uint8_t* destination);
};
