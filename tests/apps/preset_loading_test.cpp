#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "apps/qelv/preset_loading.h"
#include "pipeline/effect_chain.h"

namespace {
// A chain shared as JSON loads like its bytes; a broken one says so and keeps the chain.
TEST(PresetLoading, TakesTheJsonFormAndKeepsTheChainOnErrors) {
    const auto dir = std::filesystem::temp_directory_path() / "qelv-preset-loading";
    std::filesystem::create_directories(dir);
    const std::string good = (dir / "good.json").string(), bad = (dir / "bad.json").string();
    std::ofstream(good) << R"({"clear": 0, "effects": [{"type": 3, "fields": {"fade amount": 40}}, {"type": 6}]})";
    std::ofstream(bad) << R"({"effects": [{"type": 3, "fields": {"speed": 1}}]})";

    ClearChain();
    std::string error;
    ASSERT_TRUE(LoadPresetFile(good, error)) << error;
    ASSERT_EQ(ChainLength(effectChain), 2);
    EXPECT_EQ(effectChain.typeIds[1], 6);
    EXPECT_EQ(framebufferClear, 0);

    EXPECT_FALSE(LoadPresetFile(bad, error));
    EXPECT_NE(error.find("speed"), std::string::npos) << error;
    EXPECT_FALSE(LoadPresetFile((dir / "missing.qlp").string(), error));
    EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
    EXPECT_EQ(ChainLength(effectChain), 2);
    ClearChain();
    framebufferClear = 1;
    std::filesystem::remove_all(dir);
}
}  // namespace
