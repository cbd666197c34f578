#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "backends/native/playback_clock.h"

// Fills up to `frames` interleaved stereo frames of what is to be heard next; the count
// filled, fewer while the sound falls behind. Called on the device's own thread.
using SoundPull = std::function<size_t(float* interleaved, size_t frames)>;

// Called once, on the thread that reads the clock, when the device has gone away (its
// sound server died, say); `pull` is not called again.
using SoundLost = std::function<void()>;

// Plays what `pull` gives through the default sound device, starting paused. The clock
// counts what was given: it waits while the sound falls behind, and runs on as long as
// `pull` fills every frame (with silence past a track's end). Once the device is lost it
// runs on in real time from where it was. Null, with the reason, when there is no sound
// device.
std::unique_ptr<PlaybackClock> OpenSdlAudio(int sampleRate, SoundPull pull, SoundLost lost, std::string& error);
