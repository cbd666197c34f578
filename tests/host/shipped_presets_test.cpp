#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "host/preset_document.h"
#include "host/preset_library.h"
#include "host/preset_loading.h"
#include "engine/engine.h"
#include "engine/lockstep_renderer.h"
#include "player/audio.h"

namespace fs = std::filesystem;

namespace {
constexpr int kWidth = 640, kHeight = 360, kFrames = 100;

std::vector<uint8_t> Contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

std::vector<fs::path> FilesWith(const std::string& folder, const char* extension) {
    std::vector<fs::path> paths;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == extension) paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    return paths;
}

// The share of pixels that show something, and of those that are (nearly) white.
struct Coverage {
    double lit = 0, white = 0;
};
Coverage Measure(const std::vector<uint32_t>& frame) {
    size_t lit = 0, white = 0;
    for (const uint32_t p : frame) {
        const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        lit += std::max({r, g, b}) >= 24;
        white += std::min({r, g, b}) >= 235;
    }
    return {double(lit) / double(frame.size()), double(white) / double(frame.size())};
}

// Run from the build tree, the library is the source tree's presets/.
const std::string& Library() {
    static const std::string folder = LibraryFolder(PresetLibraryFolders());
    return folder;
}

TEST(ShippedPresets, EveryJsonSourceGivesItsQlpByteForByte) {
    ASSERT_FALSE(Library().empty());
    const auto sources = FilesWith(Library(), ".json"), presets = FilesWith(Library(), ".qlp");
    EXPECT_GE(presets.size(), 16u);
    ASSERT_EQ(sources.size(), presets.size());
    for (size_t i = 0; i < presets.size(); ++i) {
        EXPECT_EQ(sources[i].stem(), presets[i].stem());
        const std::vector<uint8_t> text = Contents(sources[i]);
        const auto json = nlohmann::ordered_json::parse(text.begin(), text.end(), nullptr, false);
        PresetDocument document;
        std::string error;
        ASSERT_TRUE(!json.is_discarded() && PresetFromJson(json, document, error)) << sources[i] << ": " << error;
        EXPECT_EQ(SerializePreset(document), Contents(presets[i])) << presets[i] << " is stale: scripts/make-presets.sh";
    }
}

// Each preset, run for two seconds of the demo, still shows a picture at the end: neither
// a black nor a white screen; and no two presets end on the same picture.
TEST(ShippedPresets, EachLoadsAndRendersAPicture) {
    StereoAudio demo = DemoTrack();
    const size_t samples = size_t(demo.sampleRate) * (kFrames / 50 + 1);
    demo.left.resize(samples);
    demo.right.resize(samples);
    const std::vector<SampleBlock> blocks = AnalyzeAudio(demo, 50);
    ASSERT_GE(blocks.size(), size_t(kFrames));

    std::set<std::vector<uint32_t>> endings;
    for (const fs::path& preset : FilesWith(Library(), ".qlp")) {
        Engine engine;
        std::string error;
        ASSERT_TRUE(LoadPresetFile(engine.chain, preset.string(), error)) << error;
        EXPECT_GE(ChainLength(engine.chain), 1) << preset;
        LockstepRenderer renderer(engine, kWidth, kHeight);
        for (int i = 0; i < kFrames; ++i) renderer.RenderFrame(blocks[size_t(i)].bytes);
        const Coverage coverage = Measure(renderer.frame());
        EXPECT_GE(coverage.lit, 0.005) << preset;
        EXPECT_LE(coverage.white, 0.5) << preset;
        EXPECT_TRUE(endings.insert(renderer.frame()).second) << preset << " looks like another preset";
    }
}

struct PresetLookup : ::testing::Test {
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("qelv-lookup-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root);
        for (const char* file : {"first/shared.qlp", "second/shared.qlp", "second/only.json", "second/b.qlp",
                                 "second/a.qlp"}) {
            fs::create_directories((root / file).parent_path());
            std::ofstream(root / file) << "x";
        }
        fs::create_directories(root / "empty");
    }
    void TearDown() override { fs::remove_all(root); }
    std::string At(const char* name) const { return (root / name).string(); }
    fs::path root;
};

TEST_F(PresetLookup, ABareNameIsLookedForInTheFoldersInOrder) {
    const std::vector<std::string> folders = {At("missing"), At("first"), At("second")};
    EXPECT_EQ(FindPreset("shared", folders), At("first/shared.qlp"));
    EXPECT_EQ(FindPreset("shared.qlp", folders), At("first/shared.qlp"));
    EXPECT_EQ(FindPreset("only", folders), At("second/only.json"));
    EXPECT_EQ(FindPreset(At("second/b.qlp"), folders), At("second/b.qlp"));  // a path is taken as it is
    EXPECT_EQ(FindPreset("other/b", folders), "other/b");                     // and never searched for
    EXPECT_EQ(FindPreset("nothing", folders), "nothing");
    EXPECT_EQ(LibraryFolder({At("missing"), At("empty"), At("second")}), At("second"));
    EXPECT_EQ(LibraryFolder({At("empty")}), "");
}
}  // namespace
