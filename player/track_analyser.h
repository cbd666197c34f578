#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

#include "player/audio.h"

// AnalyzeAudio's blocks for a track that is decoded piece by piece, so a track of any
// length is analysed in fixed memory: append its samples in order, and each block is
// handed over as soon as the newest sample it shows has arrived. The rate and fps must
// be ones AnalyzeAudio gives blocks for (fps from above 0 to the sample rate).
class TrackAnalyser {
public:
    using TakeBlock = std::function<void(const SampleBlock&)>;
    TrackAnalyser(int sampleRate, double fps, TakeBlock take);
    // Interleaved stereo frames (left, right).
    void Append(const float* interleaved, size_t frames);
    int64_t blocksMade() const { return made; }
    int64_t framesAppended() const { return appended; }

private:
    StreamAnalyser stream;
    TakeBlock take;
    int sampleRate;
    double fps;
    int64_t appended = 0, made = 0;
    SampleBlock block;
};
