#include "engine/sample_intake.h"

#include <algorithm>
#include <cmath>
#include <cstring>

void SampleIntake::BuildSpectrumCurve() {
    const double k = 255.0 / std::log(40.0);
    double x = 0.95;
    for (int i = 0; i < 256; ++i) {
        // Every unrounded entry lies well away from an integer, so libm differences
        // between builds cannot change the truncation.
        double v = std::trunc(std::log(x) * k);
        spectrumCurve[i] = uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
        x += 0.1525390625;
    }
}

namespace {
int32_t BeatSum(const uint8_t* spectrum, int32_t band) {
    const int32_t lo = band & 0xFFFF;
    const int32_t hi = band >> 16;
    int32_t sum = 0;
    // The high half can be any 16-bit value in a damaged setting; bins stop at 576.
    for (int32_t i = lo; i < hi && i < kBins; ++i) sum += spectrum[i] + spectrum[kBins + i];
    return sum;
}
}  // namespace

int32_t SampleIntake::Render(const VisModule* module) {
    if (!intakeOpen) return 0;
    std::lock_guard<std::mutex> lock(sampleLock);
    // The first block after a frame replaces the held peaks; later ones keep the maximum.
    if (snapshotTaken) {
        for (int p = 0; p < 2 * kBins; ++p) sharedSnapshot[p] = spectrumCurve[module->spectrum[p]];
    } else {
        for (int p = 0; p < 2 * kBins; ++p)
            sharedSnapshot[p] = std::max(sharedSnapshot[p], spectrumCurve[module->spectrum[p]]);
    }
    std::memcpy(sharedSnapshot + kWaveformOffset0, module->waveform, 2 * kBins);

    const int32_t sum = BeatSum(module->spectrum, beatBand.load(std::memory_order_relaxed));
    // sum > trunc((sensitivity + 32) * 0.040625 * previous) is, with 0.040625 = 13 / 320,
    // this integer test; 64 bits keep it exact whatever the sensitivity word holds.
    const int64_t scaled = int64_t(13) * (int64_t(beatSensitivity.load(std::memory_order_relaxed)) + 32) * previousBeatSum;
    const bool beat = int64_t(320) * sum > scaled;
    if (beat) beatFlag = 1;
    // The same test in the sum's own units: sum > floor(scaled / 320).
    beatReading.sum.store(sum, std::memory_order_relaxed);
    beatReading.threshold.store(int32_t(std::clamp<int64_t>(scaled / 320, 0, INT32_MAX)), std::memory_order_relaxed);
    if (beat) beatReading.beats.fetch_add(1, std::memory_order_relaxed);
    previousBeatSum = sum;
    snapshotTaken = 0;
    return 0;
}

int32_t SampleIntake::TakeSnapshot(uint8_t* destination) {
    std::lock_guard<std::mutex> lock(sampleLock);
    std::memcpy(destination, sharedSnapshot, kSnapshotBytes);
    const int32_t beat = beatFlag;
    snapshotTaken = 1;
    beatFlag = 0;
    return beat;
}
