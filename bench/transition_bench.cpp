// One frame of the fade between two presets' pictures, at the player's opening size and
// at 1080p: what a change of preset adds to each frame besides the outgoing chain.
#include <benchmark/benchmark.h>

#include <vector>

#include "host/blend_frames.h"

namespace {
void BM_BlendFrames(benchmark::State& state) {
    const size_t words = size_t(state.range(0)) * size_t(state.range(1));
    std::vector<uint32_t> old(words), fresh(words), out(words);
    uint32_t seed = 1;
    for (size_t i = 0; i < words; ++i) {
        old[i] = seed = seed * 1103515245u + 12345u;
        fresh[i] = seed = seed * 1103515245u + 12345u;
    }
    int64_t k = 0;
    for (auto _ : state) {
        BlendFrames(old.data(), fresh.data(), out.data(), words, k++ % 50, 50);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_BlendFrames)->Args({1024, 640})->Args({1920, 1080})->Unit(benchmark::kMillisecond);
}  // namespace
