#pragma once
#include <memory>

#include "backends/native/playback_clock.h"

// Real-time pace without sound; starts paused like an audio device.
std::unique_ptr<PlaybackClock> OpenSilentClock(int sampleRate);

// WaitFor's sleep, shared by the clocks: that many samples' time, 10 ms at most.
void SleepForSamples(int64_t samples, int sampleRate);
