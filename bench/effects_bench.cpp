// Per-frame cost of the chain and of the drawing effects at common frame sizes.
#include <benchmark/benchmark.h>

#include <vector>

#include "effects/line_drawing.h"
#include "effects/simple_vis.h"
#include "engine/effect_chain.h"
#include "engine/engine.h"

namespace {
std::vector<uint8_t> Samples() {
    std::vector<uint8_t> s(kSnapshotBytes);
    uint32_t state = 1;
    for (uint8_t& b : s) {
        state = state * 1103515245u + 12345u;
        b = uint8_t(state >> 24);
    }
    return s;
}

void BM_RenderChainEmpty(benchmark::State& state) {
    Engine engine;
    const std::vector<uint8_t> samples = Samples();
    std::vector<uint32_t> frame(640 * 360);
    for (auto _ : state) engine.chain.RenderChain(samples.data(), frame.data(), 640, 360, 0);
}
BENCHMARK(BM_RenderChainEmpty);

// Every effect type in one chain, as the default picture uses them.
void BM_RenderChainAllTypes(benchmark::State& state) {
    Engine engine;
    for (int32_t type = 0; type < 9; ++type) engine.chain.AppendEffect(type);
    const int w = int(state.range(0)), h = int(state.range(1));
    const std::vector<uint8_t> samples = Samples();
    std::vector<uint32_t> frame(size_t(w) * h);
    int beat = 0;
    for (auto _ : state) engine.chain.RenderChain(samples.data(), frame.data(), w, h, (beat++ % 25) == 0);
}
BENCHMARK(BM_RenderChainAllTypes)->Args({640, 360})->Args({1920, 1080});

// Items are drawn pixels, so the rate reads as pixels per second.
template <bool kThick>
void BM_LinePixels(benchmark::State& state) {
    const int w = 640, h = 480;
    std::vector<uint32_t> frame(size_t(w) * h);
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i)
            (kThick ? AddLineThick : AddLine)(frame.data(), 0, i * 4, w - 1, h - 1 - i * 4, w, h, 0x010203);
        benchmark::DoNotOptimize(frame.data());
    }
    state.SetItemsProcessed(state.iterations() * 100 * w * (kThick ? 2 : 1));
}
BENCHMARK(BM_LinePixels<false>)->Name("BM_AddLinePixels");
BENCHMARK(BM_LinePixels<true>)->Name("BM_AddLineThickPixels");

void BM_SimpleVis(benchmark::State& state) {
    SimpleVisEffect effect;
    effect.style = int32_t(state.range(0));
    const int w = int(state.range(1)), h = int(state.range(2));
    const std::vector<uint8_t> samples = Samples();
    std::vector<uint32_t> frame(size_t(w) * h);
    for (auto _ : state) effect.render(samples.data(), frame.data(), w, h);
}
BENCHMARK(BM_SimpleVis)->ArgsProduct({{0, 1, 2, 3}, {640}, {480}})->Args({0, 1920, 1080})->Args({1, 1920, 1080})
    ->Args({2, 1920, 1080})->Args({3, 1920, 1080});
}  // namespace
