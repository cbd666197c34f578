#pragma once
#include <cstdint>

// How far playback has got, in samples at the track's rate. The sound output is one
// clock; without sound a wall clock keeps the same pace.
class PlaybackClock {
public:
    virtual ~PlaybackClock() = default;
    // Samples played since the start; it stands still while paused.
    virtual int64_t Position() = 0;
    virtual void SetPaused(bool paused) = 0;
    // Returns after about that many samples of playback, or sooner (a few milliseconds
    // at most, so that the window stays responsive even while paused).
    virtual void WaitFor(int64_t samples) = 0;
    virtual int sampleRate() const = 0;
};
