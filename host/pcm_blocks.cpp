#include "host/pcm_blocks.h"

#include <algorithm>

bool CheckPcmLayout(PcmLayout layout, std::string& error) {
    if (layout.channels < 1 || layout.channels > kMaxPcmChannels) {
        error = "PCM with " + std::to_string(layout.channels) + " channels: from 1 to " +
                std::to_string(kMaxPcmChannels) + " are taken";
        return false;
    }
    if (layout.sampleRate < kMinPcmRate || layout.sampleRate > kMaxPcmRate) {
        error = "PCM at " + std::to_string(layout.sampleRate) + " samples a second: from " +
                std::to_string(kMinPcmRate) + " to " + std::to_string(kMaxPcmRate) + " are taken";
        return false;
    }
    return true;
}

PcmBlocks::PcmBlocks(double fps, TrackAnalyser::TakeBlock take) : fps(fps), take(std::move(take)) {}

namespace {
float ToFloat(float sample) { return sample; }
float ToFloat(int16_t sample) { return float(sample) * (1.0f / 32768.0f); }
}  // namespace

template <class Sample>
void PcmBlocks::AppendAny(const Sample* samples, size_t frames, PcmLayout layout) {
    if (!analyser || layout != current) {
        current = layout;
        analyser = std::make_unique<TrackAnalyser>(layout.sampleRate, fps, take);
    }
    // Converted a piece at a time on the stack: a chunk of any length costs no memory.
    constexpr size_t kPiece = 512;
    float stereo[2 * kPiece];
    const size_t channels = size_t(layout.channels), right = channels > 1 ? 1 : 0;
    while (frames > 0) {
        const size_t n = std::min(frames, kPiece);
        for (size_t i = 0; i < n; ++i) {
            stereo[2 * i] = ToFloat(samples[i * channels]);
            stereo[2 * i + 1] = ToFloat(samples[i * channels + right]);
        }
        analyser->Append(stereo, n);
        samples += n * channels;
        frames -= n;
    }
}

void PcmBlocks::Append(const float* samples, size_t frames, PcmLayout layout) { AppendAny(samples, frames, layout); }
void PcmBlocks::Append(const int16_t* samples, size_t frames, PcmLayout layout) { AppendAny(samples, frames, layout); }
