#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "player/sample_stream.h"

// Stereo PCM in -1..1 (mono sources are duplicated to both channels).
struct StereoAudio {
    int sampleRate = 44100;
    std::vector<float> left, right;
};

// The longest audio decoded: 2^28 sample frames, 2 GiB of samples for the two channels.
constexpr int64_t kMaxAudioFrames = int64_t(1) << 28;
// Decodes any file the installed libsndfile reads (WAV, FLAC, Ogg, MP3 where supported);
// longer than kMaxAudioFrames is an error.
bool DecodeAudioFile(const std::string& path, StereoAudio& audio, std::string& error);
// The built-in demo track: deterministic, the same samples on every machine.
StereoAudio DemoTrack(int sampleRate = 44100);
// One host block per frame period (1 / fps seconds), each showing the music at its time.
std::vector<SampleBlock> AnalyzeAudio(const StereoAudio& audio, double fps);
// Writes 16-bit stereo WAV (for muxing the sound into rendered videos).
bool WriteWav(const std::string& path, const StereoAudio& audio, std::string& error);
