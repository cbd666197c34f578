#pragma once
#include <memory>
#include <string>

#include "backends/native/playback_clock.h"
#include "player/audio.h"

// Plays the track through the default sound device, starting paused; past its end the
// device plays silence and the clock runs on. The track must outlive the clock. Null,
// with the reason, when there is no sound device.
std::unique_ptr<PlaybackClock> OpenSdlAudio(const StereoAudio& track, std::string& error);
