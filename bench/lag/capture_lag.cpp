// The lag of live sound in: from a click leaving the default output to the frame drawn
// from the first captured block that holds it, through the tool's own capture, analysis,
// intake and chain (the display's present is not included). Needs a sound server whose
// default output's monitor hears what this program plays; scripts/measure-lag.sh starts a
// private one.
#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "apps/qelv/play/capture_source.h"
#include "host/default_chain.h"
#include "core/frame_types.h"
#include "engine/engine.h"
#include "engine/lockstep_renderer.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kRate = 44100, kFps = 50, kClicks = 30;
constexpr int kChunk = kRate / 100;  // the player writes 10 ms at a time

// Plays silence, and a click when asked; notes when that click leaves the output: now
// plus the stream's latency as the server reports it.
class ClickPlayer {
public:
    ClickPlayer() : thread([this] { Play(); }) {}
    ~ClickPlayer() {
        quit = true;
        thread.join();
    }
    void Click() { wanted = true; }
    Clock::time_point heard() const { return Clock::time_point(Clock::duration(heardAt.load())); }

private:
    void Play() {
        const pa_sample_spec spec{PA_SAMPLE_FLOAT32NE, kRate, 2};
        pa_buffer_attr attributes{};
        attributes.maxlength = attributes.minreq = uint32_t(-1);
        attributes.tlength = kChunk * 8;
        attributes.prebuf = 0;
        int code = 0;
        pa_simple* out =
            pa_simple_new(nullptr, "qelv-lag", PA_STREAM_PLAYBACK, nullptr, "click", &spec, nullptr, &attributes, &code);
        if (!out) return;
        std::vector<float> silence(2 * kChunk, 0.0f), click(2 * kChunk, 0.0f);
        std::fill(click.begin(), click.begin() + 40, 0.9f);
        while (!quit) {
            const bool now = wanted.exchange(false);
            if (now)
                heardAt = (Clock::now() + std::chrono::microseconds(pa_simple_get_latency(out, &code)))
                              .time_since_epoch()
                              .count();
            pa_simple_write(out, (now ? click : silence).data(), silence.size() * sizeof(float), &code);
        }
        pa_simple_free(out);
    }

    std::atomic<bool> wanted{false}, quit{false};
    std::atomic<Clock::rep> heardAt{0};
    std::thread thread;
};

bool Loud(const SampleBlock& block) {
    return std::any_of(block.bytes + kWaveformOffset0, block.bytes + kWaveformOffset0 + 2 * kBins,
                       [](uint8_t b) { return b != 0; });
}
}  // namespace

int main() {
    std::string error;
    auto sound = OpenSoundCapture(kDefaultCaptureSource, kRate, kRate / kFps, error);
    if (!sound) {
        std::fprintf(stderr, "capture_lag: %s\n", error.c_str());
        return 1;
    }
    Engine engine;
    BuildDefaultChain(engine.chain);
    LockstepRenderer renderer(engine, 1024, 640);
    CaptureSource source(std::move(sound), kFps, INT64_MAX);
    ClickPlayer player;
    source.SetPaused(false);
    int64_t taken = 0;
    // Feeds what has come; true when a block of it was loud.
    auto feed = [&] {
        bool loud = false;
        source.WaitForNext(taken);
        for (const int64_t due = source.Due(); taken < due; ++taken) {
            const SampleBlock& block = source.Block(taken);
            loud = loud || Loud(block);
            renderer.FeedBlock(block.bytes);
        }
        return loud;
    };
    std::vector<double> lags;
    for (int click = 0; click < kClicks; ++click) {
        // The last click's echo in the analysis window dies away first.
        for (const auto quiet = Clock::now() + std::chrono::milliseconds(300); Clock::now() < quiet;) feed();
        renderer.DrawFrame();
        player.Click();
        bool heard = false;
        for (const auto limit = Clock::now() + std::chrono::seconds(2); !heard && Clock::now() < limit;) heard = feed();
        if (!heard) continue;
        renderer.DrawFrame();
        lags.push_back(std::chrono::duration<double, std::milli>(Clock::now() - player.heard()).count());
    }
    if (lags.empty()) {
        std::fprintf(stderr, "capture_lag: no click came back through the monitor\n");
        return 1;
    }
    std::sort(lags.begin(), lags.end());
    std::printf("click -> frame drawn: min %.1f ms, median %.1f ms, max %.1f ms over %zu of %d clicks\n", lags.front(),
                lags[lags.size() / 2], lags.back(), lags.size(), kClicks);
    return 0;
}
