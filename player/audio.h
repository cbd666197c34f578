#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "player/sample_stream.h"

// Stereo PCM in -1..1 (mono sources are duplicated to both channels).
struct StereoAudio {
    int sampleRate = 44100;
    std::vector<float> left, right;
};

// The built-in demo track: deterministic, the same samples on every machine.
StereoAudio DemoTrack(int sampleRate = 44100);
// One host block per frame period (1 / fps seconds), each showing the music at its time.
std::vector<SampleBlock> AnalyzeAudio(const StereoAudio& audio, double fps);
// What the analysis makes of silence: the block the picture goes on with when there is no
// sound to show.
const SampleBlock& SilentBlock();
// The sample that block k of a stream analysed at fps blocks a second ends with.
int64_t NewestSampleOfBlock(int64_t block, int sampleRate, double fps);

// AnalyzeAudio's analysis for a stream that arrives piece by piece, such as live sound:
// a block made after the stream's first n + 1 samples have been appended equals the
// block AnalyzeAudio makes for a track whose newest sample for it is sample n.
class StreamAnalyser {
public:
    StreamAnalyser();
    ~StreamAnalyser();
    StreamAnalyser(const StreamAnalyser&) = delete;
    StreamAnalyser& operator=(const StreamAnalyser&) = delete;
    // Interleaved stereo frames (left, right).
    void Append(const float* interleaved, size_t frames);
    // The block that shows the newest sample appended.
    void Analyse(SampleBlock& block);

private:
    struct Window;
    std::unique_ptr<Window> window;
};
