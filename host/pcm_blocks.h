#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "player/track_analyser.h"

// PCM as players hold it, interleaved: a frame is one sample of every channel.
struct PcmLayout {
    int channels = 0;
    int sampleRate = 0;
    bool operator==(const PcmLayout&) const = default;
};
constexpr int kMaxPcmChannels = 8, kMinPcmRate = 8000, kMaxPcmRate = 384000;

// False with a message naming the value for a layout outside those bounds.
bool CheckPcmLayout(PcmLayout layout, std::string& error);

// PCM of any of those layouts into the analysis' sample blocks (TrackAnalyser), as the
// tool's file reader gives a track to it: mono on both sides, of more channels the first
// two, 16-bit samples as sample / 32768 (libsndfile's scale). A chunk in another layout
// than the one before starts the analysis afresh, as a new track; so does Restart.
class PcmBlocks {
public:
    // fps: blocks a second, from above 0 to kMinPcmRate.
    PcmBlocks(double fps, TrackAnalyser::TakeBlock take);
    // The layout must pass CheckPcmLayout.
    void Append(const float* samples, size_t frames, PcmLayout layout);
    void Append(const int16_t* samples, size_t frames, PcmLayout layout);
    void Restart() { analyser.reset(); }

private:
    template <class Sample>
    void AppendAny(const Sample* samples, size_t frames, PcmLayout layout);

    const double fps;
    const TrackAnalyser::TakeBlock take;
    PcmLayout current;
    std::unique_ptr<TrackAnalyser> analyser;
};
