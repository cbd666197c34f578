#pragma once
#include <cstddef>
#include <memory>
#include <string>

#include "player/output_file.h"

// 16-bit stereo WAV written piece by piece (the sound of rendered videos). Nothing
// appears under the path until Finish, and a failed write leaves it as it was.
class WavWriter {
public:
    WavWriter();
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    bool Open(const std::string& path, int sampleRate, std::string& error);
    // Interleaved stereo in -1..1, saturated (NaN is silence).
    bool Write(const float* interleaved, size_t frames, std::string& error);
    bool Finish(std::string& error);

private:
    struct Sound;
    OutputFile output;
    std::unique_ptr<Sound> sound;
    std::string path;
};
