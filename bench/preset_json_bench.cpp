// Reading the JSON form of a preset whose payload fills the 1 MiB preset limit.
#include <benchmark/benchmark.h>

#include <string>

#include "host/preset_document.h"

namespace {
void BM_PresetFromJsonLargePayload(benchmark::State& state) {
    const std::string hex(size_t(state.range(0)) * 2, 'a');
    const auto json = nlohmann::ordered_json::parse(R"({"effects": [{"type": 9, "bytes": ")" + hex + R"("}]})");
    for (auto _ : state) {
        PresetDocument document;
        std::string error;
        benchmark::DoNotOptimize(PresetFromJson(json, document, error));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_PresetFromJsonLargePayload)->Arg(64 << 10)->Arg(1000 << 10)->Unit(benchmark::kMillisecond);
}  // namespace
