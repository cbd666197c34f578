#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "host/preset_library.h"
#include "host/preset_loading.h"
#include "engine/engine.h"
#include "engine/lockstep_renderer.h"
#include "player/audio.h"

namespace {
constexpr int kWidth = 160, kHeight = 90, kFrames = 60;

// Every frame one engine draws of the demo with a shipped preset.
std::vector<std::vector<uint32_t>> Frames(const std::string& preset, const std::vector<SampleBlock>& blocks) {
    Engine engine;
    std::string error;
    EXPECT_TRUE(LoadPresetFile(engine.chain, FindPreset(preset, PresetLibraryFolders()), error)) << error;
    LockstepRenderer renderer(engine, kWidth, kHeight);
    std::vector<std::vector<uint32_t>> frames;
    for (int i = 0; i < kFrames; ++i) {
        renderer.RenderFrame(blocks[size_t(i)].bytes);
        frames.push_back(renderer.frame());
    }
    return frames;
}

// Engines share nothing: two presets drawn side by side on two threads give exactly
// the frames each gives alone (particles and zooming feedback included).
TEST(Engines, TwoOnTwoThreadsDrawWhatEachDrawsAlone) {
    StereoAudio demo = DemoTrack();
    demo.left.resize(size_t(demo.sampleRate) * 2);
    demo.right.resize(demo.left.size());
    const std::vector<SampleBlock> blocks = AnalyzeAudio(demo, 50);
    ASSERT_GE(blocks.size(), size_t(kFrames));
    const std::string first = "fireflies", second = "starburst-tunnel";
    const auto firstAlone = Frames(first, blocks), secondAlone = Frames(second, blocks);
    ASSERT_NE(firstAlone, secondAlone);

    std::vector<std::vector<uint32_t>> firstTogether, secondTogether;
    std::thread other([&] { secondTogether = Frames(second, blocks); });
    firstTogether = Frames(first, blocks);
    other.join();
    EXPECT_EQ(firstTogether, firstAlone);
    EXPECT_EQ(secondTogether, secondAlone);
}
}  // namespace
