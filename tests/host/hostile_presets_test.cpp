#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "host/preset_loading.h"
#include "engine/engine.h"
#include "engine/lockstep_renderer.h"
#include "engine/preset_bytes.h"

namespace fs = std::filesystem;

namespace {
// Made by scripts/make-hostile-presets.py.
const fs::path kCorpus = fs::path(__FILE__).parent_path().parent_path() / "data" / "hostile";

// The JSON that no preset's JSON can be; every other file loads, damaged or not.
const std::set<std::string> kRefused = {"deep-arrays.json", "deep-objects.json", "many-values.json",
                                        "payload-too-large.json", "odd-numbers.json", "wrong-kinds.json",
                                        "nul-byte.json", "truncated-20.qlp"};

// Full HD costs the most; a few frames there meet every effect's edges all the same.
struct FrameSize {
    int32_t width, height, frames;
};
constexpr FrameSize kSizes[] = {{8, 8, 100}, {401, 300, 100}, {1920, 1080, 4}};
// A long chain gets fewer frames: the work of nine effects drawing 100 frames at 401 x 300.
constexpr double kWork = 9.0 * 401 * 300 * 100;

int FramesFor(const FrameSize& size, int effects) {
    const double frames = kWork / (double(size.width) * size.height * std::max(effects, 1));
    return std::clamp(int(frames), 1, size.frames);
}

// Changing samples, loud every eighth block so that beats come.
std::vector<uint8_t> Block(int index) {
    std::vector<uint8_t> block(kSnapshotBytes);
    uint32_t state = uint32_t(index) * 2654435761u + 1;
    for (size_t i = 0; i < block.size(); ++i) {
        state = state * 1103515245u + 12345u;
        block[i] = uint8_t(state >> 24);
        if (index % 8 != 0 && i < size_t(kWaveformOffset0)) block[i] >>= 3;
    }
    return block;
}

TEST(HostilePresets, EachLoadsOrIsRefusedAndDrawsAtEverySize) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(kCorpus)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 20u);
    std::vector<std::vector<uint8_t>> blocks;
    for (int i = 0; i < 100; ++i) blocks.push_back(Block(i));
    std::vector<uint8_t> saved(kPresetCapacity);

    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        Engine engine;
        std::string error, note;
        const bool loaded = LoadPresetFile(engine.chain, file.string(), error, &note);
        EXPECT_EQ(loaded, !kRefused.count(file.filename().string())) << error;
        EXPECT_EQ(error.empty(), loaded);
        if (!loaded) {
            EXPECT_EQ(ChainLength(engine.chain), 0);
        }
        for (const FrameSize& size : kSizes) {
            LockstepRenderer renderer(engine, size.width, size.height);
            const int frames = FramesFor(size, ChainLength(engine.chain));
            for (int i = 0; i < frames; ++i) renderer.RenderFrame(blocks[size_t(i)].data());
        }
        EXPECT_GE(WritePresetBytes(engine.chain, saved.data(), kPresetCapacity), kPresetHeaderBytes + 1);
    }
}

TEST(HostilePresets, OneMebibyteOfTinyEntriesFillsTheChainAndNoMore) {
    Engine engine;
    std::string error;
    ASSERT_TRUE(LoadPresetFile(engine.chain, (kCorpus / "tiny-entries.qlp").string(), error)) << error;
    EXPECT_EQ(ChainLength(engine.chain), kChainSlots);
    ASSERT_TRUE(LoadPresetFile(engine.chain, (kCorpus / "tiny-unknown.qlp").string(), error)) << error;
    EXPECT_EQ(ChainLength(engine.chain), 0);
}
}  // namespace
