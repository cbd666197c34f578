#include "backends/native/silent_clock.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;

class SilentClock final : public PlaybackClock {
public:
    explicit SilentClock(int rate) : rate(rate) {}

    int64_t Position() override {
        Clock::duration played = playedBeforePause;
        if (!paused) played += Clock::now() - resumedAt;
        return std::chrono::duration_cast<std::chrono::microseconds>(played).count() * rate / 1000000;
    }

    void SetPaused(bool pause) override {
        if (pause == paused) return;
        if (pause) {
            playedBeforePause += Clock::now() - resumedAt;
        } else {
            resumedAt = Clock::now();
        }
        paused = pause;
    }

    void WaitFor(int64_t samples) override { SleepForSamples(samples, rate); }

    int sampleRate() const override { return rate; }

private:
    int rate;
    bool paused = true;
    Clock::time_point resumedAt{};
    Clock::duration playedBeforePause{};
};
}  // namespace

void SleepForSamples(int64_t samples, int sampleRate) {
    constexpr int64_t kLongestUs = 10000;
    const int64_t us = std::clamp<int64_t>(samples * 1000000 / sampleRate, 0, kLongestUs);
    std::this_thread::sleep_for(std::chrono::microseconds(us));
}

std::unique_ptr<PlaybackClock> OpenSilentClock(int sampleRate) { return std::make_unique<SilentClock>(sampleRate); }
