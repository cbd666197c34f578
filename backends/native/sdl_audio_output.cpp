#include "backends/native/sdl_audio_output.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "backends/native/silent_clock.h"

namespace {
// Below this the device is given each frame several times over, at a whole multiple of
// the rate: a sound server's resampler delays a 50 Hz stream by a quarter of a second
// (several of its samples), which the clock could not know; repeated frames keep the
// clock exact.
constexpr int kLowestDeviceRate = 8000;
// How long closing the device may take before it is given up on.
constexpr std::chrono::milliseconds kLongestClose{300};

// The device's buffer holds about 20 ms at any rate, as 1024 frames do at 44.1 kHz: a
// fixed count lasts longer the lower the rate, and the clock moves a buffer at a time.
Uint16 BufferFrames(int rate) {
    Uint16 frames = 1;
    while (frames < rate / 50 && frames < 32768) frames = Uint16(frames * 2);
    return frames;
}

class SdlAudioOutput final : public PlaybackClock {
public:
    SdlAudioOutput(int rate, SoundPull pull, SoundLost lost)
        : rate(rate), repeats((kLowestDeviceRate + rate - 1) / rate), pull(std::move(pull)), lost(std::move(lost)) {}

    ~SdlAudioOutput() override {
        // A close that did not end is left to finish on its own; the subsystem stays.
        if (device && !CloseWithin(kLongestClose)) return;
        if (initialised) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool Open(std::string& error) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            error = SDL_GetError();
            return false;
        }
        initialised = true;
        SDL_AudioSpec wanted{}, obtained{};
        wanted.freq = rate * repeats;
        wanted.format = AUDIO_F32SYS;
        wanted.channels = 2;
        wanted.samples = BufferFrames(wanted.freq);
        wanted.callback = &SdlAudioOutput::Fill;
        wanted.userdata = this;
        // The most frames one buffer asks for, pulled without allocating on the device's thread.
        pulled.resize(2 * (size_t(wanted.samples) / size_t(repeats) + 1));
        // No changes allowed: SDL converts to whatever the device takes.
        device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        if (!device) {
            error = SDL_GetError();
            return false;
        }
        bufferFrames = obtained.samples;
        return true;
    }

    int64_t Position() override {
        if (!silent && SDL_GetAudioDeviceStatus(device) == SDL_AUDIO_STOPPED) GoSilent();
        return silent ? lostAt + silent->Position() : DevicePosition();
    }
    void SetPaused(bool pause) override {
        paused = pause;
        if (silent)
            silent->SetPaused(pause);
        else
            SDL_PauseAudioDevice(device, pause ? 1 : 0);
    }
    void WaitFor(int64_t samples) override { SleepForSamples(samples, rate); }
    int sampleRate() const override { return rate; }

private:
    // What has been handed to the device, less the buffer still to be heard, plus the
    // time since then: the device asks for a whole buffer at once, longer than a frame.
    // Counted in the device's frames, given in the track's.
    int64_t DevicePosition() const {
        const int64_t at = handed.load() - bufferFrames;
        if (paused) return std::max<int64_t>(0, at) / repeats;
        const auto since = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - Clock::time_point(
                                                                                     Clock::duration(handedAt.load())));
        return std::max<int64_t>(0, at + std::min(bufferFrames, since.count() * rate * repeats / 1000000)) / repeats;
    }

    // A device stops by itself only when it is lost. Paused, it asks for no more sound
    // (SDL would go on asking at its own pace); the clock goes on from where it was.
    void GoSilent() {
        lostAt = DevicePosition();
        SDL_PauseAudioDevice(device, 1);
        silent = OpenSilentClock(rate);
        silent->SetPaused(paused);
        if (lost) lost();
    }

    // Closing waits for the device's thread, which a sound server that has stopped
    // answering holds forever: the run must end all the same. Paused first, the device
    // calls Fill no more, so it may outlive this.
    bool CloseWithin(std::chrono::milliseconds most) {
        SDL_PauseAudioDevice(device, 1);
        struct Closing {
            std::mutex mutex;
            std::condition_variable done;
            bool closed = false;
        };
        auto closing = std::make_shared<Closing>();
        std::thread([closing, id = device] {
            SDL_CloseAudioDevice(id);
            const std::lock_guard<std::mutex> lock(closing->mutex);
            closing->closed = true;
            closing->done.notify_all();
        }).detach();
        std::unique_lock<std::mutex> lock(closing->mutex);
        return closing->done.wait_for(lock, most, [&] { return closing->closed; });
    }

    static void SDLCALL Fill(void* self, Uint8* stream, int length) {
        static_cast<SdlAudioOutput*>(self)->Fill(reinterpret_cast<float*>(stream), length / int(2 * sizeof(float)));
    }

    // Each track frame becomes `repeats` device frames; one cut off by the end of a
    // buffer is finished at the start of the next.
    void Fill(float* out, int frames) {
        size_t filled = 0;
        const size_t wanted = size_t(frames);
        for (; filled < wanted && owed > 0; ++filled, --owed) std::copy_n(held, 2, out + 2 * filled);
        const size_t count = std::min(pull(pulled.data(), (wanted - filled + repeats - 1) / repeats), pulled.size() / 2);
        for (size_t i = 0; i < count; ++i) {
            const size_t times = std::min(size_t(repeats), wanted - filled);
            for (size_t r = 0; r < times; ++r, ++filled) std::copy_n(&pulled[2 * i], 2, out + 2 * filled);
            if (times < size_t(repeats)) {
                std::copy_n(&pulled[2 * i], 2, held);
                owed = repeats - int(times);
            }
        }
        std::fill(out + 2 * filled, out + 2 * wanted, 0.0f);
        handedAt.store(Clock::now().time_since_epoch().count());
        handed.store(handed.load() + int64_t(filled));
    }

    const int rate;
    const int repeats;  // device frames per track frame
    const SoundPull pull;
    const SoundLost lost;
    using Clock = std::chrono::steady_clock;
    bool initialised = false, paused = true;
    SDL_AudioDeviceID device = 0;
    int64_t bufferFrames = 0;
    std::vector<float> pulled;  // the device's thread's alone
    float held[2] = {};         // a frame of which `owed` repeats are still to be given
    int owed = 0;
    std::atomic<int64_t> handed{0};
    std::atomic<Clock::rep> handedAt{0};
    std::unique_ptr<PlaybackClock> silent;  // once the device is lost
    int64_t lostAt = 0;                     // the position then
};
}  // namespace

std::unique_ptr<PlaybackClock> OpenSdlAudio(int sampleRate, SoundPull pull, SoundLost lost, std::string& error) {
    auto output = std::make_unique<SdlAudioOutput>(sampleRate, std::move(pull), std::move(lost));
    if (!output->Open(error)) return nullptr;
    return output;
}
