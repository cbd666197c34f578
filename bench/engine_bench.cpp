// Speed of the per-block intake and of the drawing primitives every frame leans on.
#include <benchmark/benchmark.h>

#include <vector>

#include "effects/line_drawing.h"
#include "engine/sample_intake.h"
#include "engine/engine.h"
#include "player/audio.h"

namespace {
void BM_RenderIntake(benchmark::State& state) {
    SampleIntake intake;
    intake.BuildSpectrumCurve();
    intake.intakeOpen = 1;
    VisModule module{};
    for (int i = 0; i < 1152; ++i) module.spectrum[i] = uint8_t(i * 7);
    for (auto _ : state) intake.Render(&module);
}
BENCHMARK(BM_RenderIntake);

void BM_TakeSnapshot(benchmark::State& state) {
    SampleIntake intake;
    uint8_t snapshot[kSnapshotBytes];
    for (auto _ : state) benchmark::DoNotOptimize(intake.TakeSnapshot(snapshot));
}
BENCHMARK(BM_TakeSnapshot);

// Analysis of the demo track into blocks at 50 per second; items are blocks, so the
// rate divided by 50 is how many times faster than real time one core analyses.
void BM_AnalyzeDemo(benchmark::State& state) {
    const StereoAudio audio = DemoTrack();
    size_t blocks = 0;
    for (auto _ : state) blocks += AnalyzeAudio(audio, 50).size();
    state.SetItemsProcessed(int64_t(blocks));
}
BENCHMARK(BM_AnalyzeDemo)->Unit(benchmark::kMillisecond);

void BM_AddLineFan(benchmark::State& state) {
    const int w = 640, h = 360;
    std::vector<uint32_t> frame(size_t(w) * h);
    for (auto _ : state) {
        for (int i = 0; i < 64; ++i) AddLine(frame.data(), w / 2, h / 2, i * 10 - 20, (i * 37) % (h + 40) - 20, w, h, 0x102030);
        benchmark::DoNotOptimize(frame.data());
    }
}
BENCHMARK(BM_AddLineFan);
}  // namespace

BENCHMARK_MAIN();
