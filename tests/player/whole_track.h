#pragma once
// Whole tracks for tests, which compare what is read piece by piece with all of it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "player/audio.h"
#include "player/audio_file_reader.h"
#include "player/wav_writer.h"

// Every sample frame of an audio file, as the reader decodes it.
inline bool DecodeAudioFile(const std::string& path, StereoAudio& audio, std::string& error) {
    AudioFileReader reader;
    if (!reader.Open(path, error)) return false;
    StereoAudio decoded;
    decoded.sampleRate = reader.sampleRate();
    float interleaved[2 * 4096];
    for (int64_t frames; (frames = reader.Read(interleaved, 4096, error)) != 0;) {
        if (frames < 0) return false;
        for (int64_t i = 0; i < frames; ++i) {
            decoded.left.push_back(interleaved[2 * i]);
            decoded.right.push_back(interleaved[2 * i + 1]);
        }
    }
    audio = std::move(decoded);
    return true;
}

// The track as 16-bit stereo WAV, a shorter channel padded with silence.
inline bool WriteWav(const std::string& path, const StereoAudio& audio, std::string& error) {
    WavWriter writer;
    if (!writer.Open(path, audio.sampleRate, error)) return false;
    const size_t frames = std::max(audio.left.size(), audio.right.size());
    std::vector<float> interleaved(2 * frames);
    for (size_t n = 0; n < frames; ++n) {
        interleaved[2 * n] = n < audio.left.size() ? audio.left[n] : 0.0f;
        interleaved[2 * n + 1] = n < audio.right.size() ? audio.right[n] : 0.0f;
    }
    return writer.Write(interleaved.data(), frames, error) && writer.Finish(error);
}
