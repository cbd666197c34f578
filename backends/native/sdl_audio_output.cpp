#include "backends/native/sdl_audio_output.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>

#include "backends/native/silent_clock.h"

namespace {
class SdlAudioOutput final : public PlaybackClock {
public:
    SdlAudioOutput(int rate, SoundPull pull) : rate(rate), pull(std::move(pull)) {}

    ~SdlAudioOutput() override {
        if (device) SDL_CloseAudioDevice(device);
        if (initialised) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool Open(std::string& error) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            error = SDL_GetError();
            return false;
        }
        initialised = true;
        SDL_AudioSpec wanted{}, obtained{};
        wanted.freq = rate;
        wanted.format = AUDIO_F32SYS;
        wanted.channels = 2;
        wanted.samples = 1024;
        wanted.callback = &SdlAudioOutput::Fill;
        wanted.userdata = this;
        // No changes allowed: SDL converts to whatever the device takes.
        device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        if (!device) {
            error = SDL_GetError();
            return false;
        }
        bufferFrames = obtained.samples;
        return true;
    }

    // What has been handed to the device, less the buffer still to be heard, plus the
    // time since then: the device asks for a whole buffer at once, longer than a frame.
    int64_t Position() override {
        const int64_t at = handed.load() - bufferFrames;
        if (paused) return std::max<int64_t>(0, at);
        const auto since = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - Clock::time_point(
                                                                                     Clock::duration(handedAt.load())));
        return std::max<int64_t>(0, at + std::min(bufferFrames, since.count() * rate / 1000000));
    }
    void SetPaused(bool pause) override {
        paused = pause;
        SDL_PauseAudioDevice(device, pause ? 1 : 0);
    }
    void WaitFor(int64_t samples) override { SleepForSamples(samples, rate); }
    int sampleRate() const override { return rate; }

private:
    static void SDLCALL Fill(void* self, Uint8* stream, int length) {
        static_cast<SdlAudioOutput*>(self)->Fill(reinterpret_cast<float*>(stream), length / int(2 * sizeof(float)));
    }

    void Fill(float* out, int frames) {
        const size_t filled = std::min(pull(out, size_t(frames)), size_t(frames));
        std::fill(out + 2 * filled, out + 2 * size_t(frames), 0.0f);
        handedAt.store(Clock::now().time_since_epoch().count());
        handed.store(handed.load() + int64_t(filled));
    }

    const int rate;
    const SoundPull pull;
    using Clock = std::chrono::steady_clock;
    bool initialised = false, paused = true;
    SDL_AudioDeviceID device = 0;
    int64_t bufferFrames = 0;
    std::atomic<int64_t> handed{0};
    std::atomic<Clock::rep> handedAt{0};
};
}  // namespace

std::unique_ptr<PlaybackClock> OpenSdlAudio(int sampleRate, SoundPull pull, std::string& error) {
    auto output = std::make_unique<SdlAudioOutput>(sampleRate, std::move(pull));
    if (!output->Open(error)) return nullptr;
    return output;
}
