#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "player/audio.h"

namespace {
struct SoundFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SoundFile = std::unique_ptr<SNDFILE, SoundFileCloser>;

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

// Saturating, and silent for the NaN a damaged float file may hold.
int16_t PcmSample(float value) {
    if (!(value == value)) return 0;
    const double scaled = std::round(double(value) * 32767.0);
    if (scaled >= 32767.0) return 32767;
    if (scaled <= -32767.0) return -32767;
    return int16_t(scaled);
}
}  // namespace

bool DecodeAudioFile(const std::string& path, StereoAudio& audio, std::string& error) {
    std::error_code code;
    if (!std::filesystem::exists(path, code)) {
        error = "cannot open " + Quoted(path) + ": no such file";
        return false;
    }
    if (!std::filesystem::is_regular_file(path, code)) {
        error = "cannot read " + Quoted(path) + ": not a regular file";
        return false;
    }
    SF_INFO info{};
    SoundFile file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) {
        // The file exists, so whatever the library's own text says, it is damaged or not
        // a format it decodes. Its check of what the header gave has an internal name
        // only; the usual cause is a sample rate or channel count of 0.
        const std::string reason = sf_strerror(nullptr);
        if (reason.find("SF_INFO") != std::string::npos)
            error = "cannot read " + Quoted(path) + " as audio: its header gives a sample rate, channel count or "
                    "format that no sound can have (such as 0 Hz)";
        else
            error = "cannot read " + Quoted(path) + " as audio: damaged or not a format this build decodes (" + reason +
                    ")";
        return false;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        error = Quoted(path) + " has no usable channels or sample rate";
        return false;
    }

    // Decoded whole, so the length is bounded; the header's count is checked first so a
    // huge claim is refused before anything is decoded, and the decoding stops at the
    // limit for formats that do not know their length.
    const auto tooLong = [&] {
        error = Quoted(path) + " is longer than " + std::to_string(kMaxAudioFrames) +
                " sample frames (about 100 minutes at 44.1 kHz), the most that is decoded at once";
        return false;
    };
    if (info.frames > kMaxAudioFrames) return tooLong();
    StereoAudio decoded;
    decoded.sampleRate = info.samplerate;
    // Read in chunks: some formats do not know their length in advance.
    const sf_count_t chunkFrames = 4096;
    const size_t channels = size_t(info.channels);
    std::vector<float> interleaved(size_t(chunkFrames) * channels);
    for (;;) {
        const sf_count_t frames = sf_readf_float(file.get(), interleaved.data(), chunkFrames);
        if (frames <= 0) break;
        if (int64_t(decoded.left.size()) + frames > kMaxAudioFrames) return tooLong();
        for (sf_count_t i = 0; i < frames; ++i) {
            const float* frame = &interleaved[size_t(i) * channels];
            // Mono goes to both sides; beyond two channels only the first two are kept.
            decoded.left.push_back(frame[0]);
            decoded.right.push_back(channels > 1 ? frame[1] : frame[0]);
        }
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR) {
        error = "cannot decode " + Quoted(path) + ": " + sf_strerror(file.get());
        return false;
    }
    audio = std::move(decoded);
    return true;
}

bool WriteWav(const std::string& path, const StereoAudio& audio, std::string& error) {
    if (audio.sampleRate < 1) {
        error = "cannot write " + Quoted(path) + ": the sample rate is not positive";
        return false;
    }
    SF_INFO info{};
    info.samplerate = audio.sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SoundFile file(sf_open(path.c_str(), SFM_WRITE, &info));
    if (!file) {
        error = "cannot create " + Quoted(path) + ": " + sf_strerror(nullptr);
        return false;
    }
    // A shorter channel is padded with silence rather than cutting the other.
    const size_t frames = std::max(audio.left.size(), audio.right.size());
    const size_t chunkFrames = 4096;
    std::vector<int16_t> interleaved(chunkFrames * 2);
    for (size_t start = 0; start < frames; start += chunkFrames) {
        const size_t count = std::min(chunkFrames, frames - start);
        for (size_t i = 0; i < count; ++i) {
            const size_t n = start + i;
            interleaved[2 * i] = n < audio.left.size() ? PcmSample(audio.left[n]) : 0;
            interleaved[2 * i + 1] = n < audio.right.size() ? PcmSample(audio.right[n]) : 0;
        }
        if (sf_writef_short(file.get(), interleaved.data(), sf_count_t(count)) != sf_count_t(count)) {
            error = "cannot write " + Quoted(path) + ": " + sf_strerror(file.get());
            file.reset();
            std::remove(path.c_str());
            return false;
        }
    }
    if (sf_close(file.release()) != 0) {
        error = "cannot finish " + Quoted(path);
        std::remove(path.c_str());
        return false;
    }
    return true;
}
