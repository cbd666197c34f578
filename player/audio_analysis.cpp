#include <kiss_fftr.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/frame_types.h"
#include "player/audio.h"
#include "player/spectrum_scale.h"

// Each block shows the music at its time k / fps. Its newest sample is the one at or
// just before that time; samples before the start, and samples that are not finite
// numbers, count as silence.
//
// Waveform: the 576 newest samples per channel, oldest first, as signed bytes
// round(sample * 127), clamped.
//
// Spectrum: a real FFT of the 1152 newest samples under a periodic Hann window. Bin k
// (0..575) is centred on k * rate / 1152: 38.28 Hz apart at 44.1 kHz, 41.67 Hz at 48 kHz,
// so the 576 bins reach from DC to just below half the sample rate. Hann keeps a sine's
// energy in its own bin and the two beside it, and its far leakage falls quickly, so
// quiet bands stay quiet. The power of each bin goes through SpectrumScale.
namespace {
constexpr int kFftSize = 2 * kBins;
constexpr int kWaveformOffset[2] = {kWaveformOffset0, kWaveformOffset1};
constexpr int kSpectrumOffset[2] = {kSpectrumOffset0, kSpectrumOffset1};

// A sine of amplitude 1 centred on a bin: |X| = amplitude * (window sum) / 2 = 1152 / 4.
constexpr double kFullScalePower = double(kFftSize / 4) * double(kFftSize / 4);

float SampleAt(const std::vector<float>& channel, int64_t index) {
    if (index < 0 || uint64_t(index) >= channel.size()) return 0.0f;
    const float sample = channel[size_t(index)];
    return std::isfinite(sample) ? sample : 0.0f;
}

uint8_t WaveformByte(float sample) {
    const double scaled = std::round(double(sample) * 127.0);
    const int value = scaled >= 127.0 ? 127 : scaled <= -127.0 ? -127 : int(scaled);
    return uint8_t(int8_t(value));
}

std::vector<float> HannWindow() {
    const double pi = 3.14159265358979323846;
    std::vector<float> window(kFftSize);
    for (int n = 0; n < kFftSize; ++n) window[size_t(n)] = float(0.5 - 0.5 * std::cos(2.0 * pi * n / kFftSize));
    return window;
}

class ChannelAnalyser {
public:
    ChannelAnalyser() : window_(HannWindow()), input_(kFftSize), output_(kFftSize / 2 + 1) {
        size_t bytes = 0;
        kiss_fftr_alloc(kFftSize, 0, nullptr, &bytes);
        memory_.resize((bytes + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t));
        fft_ = kiss_fftr_alloc(kFftSize, 0, memory_.data(), &bytes);
    }
    ChannelAnalyser(const ChannelAnalyser&) = delete;
    ChannelAnalyser& operator=(const ChannelAnalyser&) = delete;

    void Analyse(const std::vector<float>& channel, int64_t newest, int channelIndex, SampleBlock& block) {
        uint8_t* waveform = block.bytes + kWaveformOffset[channelIndex];
        for (int i = 0; i < kBins; ++i) waveform[i] = WaveformByte(SampleAt(channel, newest - (kBins - 1) + i));

        for (int n = 0; n < kFftSize; ++n)
            input_[size_t(n)] = SampleAt(channel, newest - (kFftSize - 1) + n) * window_[size_t(n)];
        kiss_fftr(fft_, input_.data(), output_.data());
        uint8_t* spectrum = block.bytes + kSpectrumOffset[channelIndex];
        for (int k = 0; k < kBins; ++k) {
            const double re = output_[size_t(k)].r, im = output_[size_t(k)].i;
            spectrum[k] = scale_.ByteForPower(re * re + im * im);
        }
    }

private:
    const std::vector<float> window_;
    const SpectrumScale scale_{kFullScalePower};
    std::vector<std::max_align_t> memory_;  // the FFT's tables, aligned for any type
    kiss_fftr_cfg fft_ = nullptr;
    std::vector<float> input_;
    std::vector<kiss_fft_cpx> output_;
};
}  // namespace

int64_t NewestSampleOfBlock(int64_t block, int sampleRate, double fps) {
    return int64_t(std::floor(double(block) * sampleRate / fps));
}

// The newest kFftSize samples of each channel, oldest first; before the stream's start,
// silence, as AnalyzeAudio counts it.
struct StreamAnalyser::Window {
    std::vector<float> channels[2] = {std::vector<float>(kFftSize), std::vector<float>(kFftSize)};
    ChannelAnalyser analyser;
};

StreamAnalyser::StreamAnalyser() : window(std::make_unique<Window>()) {}
StreamAnalyser::~StreamAnalyser() = default;

void StreamAnalyser::Append(const float* interleaved, size_t frames) {
    const size_t kept = frames >= size_t(kFftSize) ? 0 : size_t(kFftSize) - frames;
    const float* newest = interleaved + 2 * (frames - (size_t(kFftSize) - kept));
    for (int c = 0; c < 2; ++c) {
        float* samples = window->channels[c].data();
        std::memmove(samples, samples + (size_t(kFftSize) - kept), kept * sizeof(float));
        for (size_t i = kept; i < size_t(kFftSize); ++i) samples[i] = newest[2 * (i - kept) + size_t(c)];
    }
}

void StreamAnalyser::Analyse(SampleBlock& block) {
    for (int c = 0; c < 2; ++c) window->analyser.Analyse(window->channels[c], kFftSize - 1, c, block);
}

const SampleBlock& SilentBlock() {
    static const SampleBlock block = [] {
        SampleBlock silence;
        StreamAnalyser().Analyse(silence);  // nothing appended: silence throughout
        return silence;
    }();
    return block;
}

std::vector<SampleBlock> AnalyzeAudio(const StereoAudio& audio, double fps) {
    std::vector<SampleBlock> blocks;
    // More than one block per sample would only repeat blocks (and an absurd rate would
    // never end), so such rates give nothing.
    const double rate = audio.sampleRate;
    if (audio.sampleRate < 1 || !(fps > 0.0) || fps > rate) return blocks;

    const double frames = double(std::max(audio.left.size(), audio.right.size()));
    ChannelAnalyser analyser;
    for (int64_t k = 0;; ++k) {
        const int64_t newest = NewestSampleOfBlock(k, audio.sampleRate, fps);
        if (!(double(newest) < frames)) break;
        SampleBlock& block = blocks.emplace_back();
        analyser.Analyse(audio.left, newest, 0, block);
        analyser.Analyse(audio.right, newest, 1, block);
    }
    return blocks;
}
