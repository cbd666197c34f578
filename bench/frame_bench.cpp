// One frame of each effect type, and of the nine in one chain, next to a memcpy of the
// same frame: on the packed ("fast") path at 1080p, 4K and 8K on 1, 2 and all the
// processor's threads, and on the plain ("reference") path at 1080p and 4K on one. Each
// benchmark renders 60 frames and reports their median as median_ms, so that
// scripts/bench.sh can print every figure as a ratio to the memcpy of the same run or to
// the same work on one thread.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "host/default_chain.h"
#include "effects/bass_spin.h"
#include "effects/beat_clear.h"
#include "effects/blitter_feedback.h"
#include "core/mmx.h"
#include "engine/engine.h"

namespace {
constexpr int kFrames = 60;
constexpr int kWarmUpFrames = 5;
constexpr int kSnapshots = 16;

// A few snapshots of full-range bytes, cycled frame by frame, the same on every run.
std::vector<std::vector<uint8_t>> Snapshots() {
    std::vector<std::vector<uint8_t>> all(kSnapshots, std::vector<uint8_t>(kSnapshotBytes));
    uint32_t state = 1;
    for (auto& s : all)
        for (uint8_t& b : s) {
            state = state * 1103515245u + 12345u;
            b = uint8_t(state >> 24);
        }
    return all;
}

std::vector<uint32_t> StartFrame(size_t count) {
    std::vector<uint32_t> frame(count);
    uint32_t state = 7;
    for (uint32_t& w : frame) {
        state = state * 214013u + 2531011u;
        w = (state ^ (state >> 13)) & 0x00FFFFFFu;
    }
    return frame;
}

// Runs one frame per iteration, times each on its own and reports the median.
template <typename RenderFrame>
void TimeFrames(benchmark::State& state, RenderFrame&& renderFrame) {
    for (int i = 0; i < kWarmUpFrames; ++i) renderFrame(i);
    std::vector<double> ms;
    ms.reserve(kFrames);
    int frame = kWarmUpFrames;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        renderFrame(frame++);
        const auto end = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::nth_element(ms.begin(), ms.begin() + ms.size() / 2, ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
}

void Memcpy(benchmark::State& state, int w, int h) {
    const std::vector<uint32_t> source = StartFrame(size_t(w) * h);
    std::vector<uint32_t> target(source.size());
    TimeFrames(state, [&](int) {
        std::memcpy(target.data(), source.data(), source.size() * 4);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    });
}

struct EffectCase {
    const char* label;
    int32_t type;  // -1: the chain of all nine types, -2: the chain qelv render draws by default
    void (*configure)(Effect&);
    bool beatEveryFrame;
};

void Default(Effect&) {}
void BlitterBlend(Effect& e) { static_cast<BlitterFeedbackEffect&>(e).blend = 1; }
void BlitterDirection(Effect& e, int32_t direction, int32_t blend) {
    auto& b = static_cast<BlitterFeedbackEffect&>(e);
    b.normalDirection = b.onBeatDirection = b.currentDirection = direction;
    b.blend = blend;
}
void BlitterIn0(Effect& e) { BlitterDirection(e, 0, 0); }
void BlitterIn0Blend(Effect& e) { BlitterDirection(e, 0, 1); }
void BlitterOut64(Effect& e) { BlitterDirection(e, 64, 0); }
void BlitterOut64Blend(Effect& e) { BlitterDirection(e, 64, 1); }
void BlitterOut33(Effect& e) { BlitterDirection(e, 33, 0); }
void BeatClearBlend(Effect& e) { static_cast<BeatClearEffect&>(e).blend = 1; }
void BassSpinLines(Effect& e) { static_cast<BassSpinEffect&>(e).style = 0; }

const EffectCase kCases[] = {
    {"simple_vis", 0, Default, false},
    {"dot_plane", 1, Default, false},
    {"oscilliscope_star", 2, Default, false},
    {"fadeout", 3, Default, false},
    {"blitter_feedback", 4, Default, false},
    {"blitter_feedback_blend", 4, BlitterBlend, false},
    {"blitter_feedback_in0", 4, BlitterIn0, false},
    {"blitter_feedback_in0_blend", 4, BlitterIn0Blend, false},
    {"blitter_feedback_out33", 4, BlitterOut33, false},
    {"blitter_feedback_out64", 4, BlitterOut64, false},
    {"blitter_feedback_out64_blend", 4, BlitterOut64Blend, false},
    {"beat_clear_flash", 5, Default, true},
    {"beat_clear_blend", 5, BeatClearBlend, true},
    {"blur", 6, Default, false},
    {"bass_spin", 7, Default, false},
    {"bass_spin_lines", 7, BassSpinLines, false},
    {"flyin_particle", 8, Default, false},
    {"chain", -1, Default, false},
    {"default_chain", -2, Default, false},
};

void RenderEffect(benchmark::State& state, const EffectCase& c, bool fast, int w, int h, int threads) {
    if (fast) {
        ProbeMmx();
    } else {
        mmxAvailable = 0;
    }
    const auto snapshots = Snapshots();
    std::vector<uint32_t> frame = StartFrame(size_t(w) * h);
    if (c.type < 0) {
        Engine engine;
        engine.chain.SetThreads(threads);
        if (c.type == -2) {
            BuildDefaultChain(engine.chain);
        } else {
            for (int32_t type = 0; type < 9; ++type) engine.chain.AppendEffect(type);
        }
        TimeFrames(state, [&](int i) {
            engine.chain.RenderChain(snapshots[i % kSnapshots].data(), frame.data(), w, h, i % 25 == 0);
        });
        return;
    }
    std::unique_ptr<Effect> effect(CreateEffect(c.type));
    c.configure(*effect);
    RenderResources resources;
    resources.workers.SetThreads(threads);
    effect->resources = &resources;
    TimeFrames(state, [&](int i) {
        effect->beat = c.beatEveryFrame ? 1 : 0;
        effect->render(snapshots[i % kSnapshots].data(), frame.data(), w, h);
        benchmark::ClobberMemory();
    });
}

struct Size {
    int width, height;
    bool reference;  // the plain path is measured too
};
const Size kSizes[] = {{1920, 1080, true}, {3840, 2160, true}, {7680, 4320, false}};

std::string SizeName(const Size& size) { return std::to_string(size.width) + "x" + std::to_string(size.height); }

// 1, 2 and every thread the processor offers, each once.
std::vector<int> ThreadCounts() {
    std::vector<int> counts = {1, 2};
    const int all = int(std::thread::hardware_concurrency());
    if (all > 2) counts.push_back(all);
    return counts;
}

void Register(const std::string& name, std::function<void(benchmark::State&)> run) {
    benchmark::RegisterBenchmark(name.c_str(), std::move(run))->Iterations(kFrames)->Unit(benchmark::kMillisecond);
}

// Names read Frame/<case>/<path>/<size>/<threads>; scripts/bench.sh builds its tables from them.
const bool kRegistered = [] {
    for (const Size& size : kSizes) {
        const int w = size.width, h = size.height;
        Register("Frame/memcpy/-/" + SizeName(size) + "/1", [=](benchmark::State& s) { Memcpy(s, w, h); });
        for (const EffectCase& c : kCases) {
            for (int threads : ThreadCounts())
                Register("Frame/" + std::string(c.label) + "/fast/" + SizeName(size) + "/" + std::to_string(threads),
                         [=, &c](benchmark::State& s) { RenderEffect(s, c, true, w, h, threads); });
            if (size.reference)
                Register("Frame/" + std::string(c.label) + "/reference/" + SizeName(size) + "/1",
                         [=, &c](benchmark::State& s) { RenderEffect(s, c, false, w, h, 1); });
        }
    }
    return true;
}();
}  // namespace
