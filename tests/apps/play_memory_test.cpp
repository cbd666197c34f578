#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "apps/qelv/commands.h"
#include "host/preset_library.h"

namespace fs = std::filesystem;

namespace {
std::vector<char> Contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

int RunCommand(int (*command)(int, char**), std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    return command(int(argv.size()), argv.data());
}

// Interactive runs, one after another, in a config folder of their own, with SDL's
// window-less video.
struct PlayMemory : ::testing::Test {
    void SetUp() override {
        config = fs::temp_directory_path() / ("qelv-memory-" + std::to_string(getpid()));
        fs::remove_all(config);
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        const std::string library = LibraryFolder(PresetLibraryFolders());
        ASSERT_FALSE(library.empty());
        first = fs::path(library) / "aurora.qlp";
        second = fs::path(library) / "beat-star.qlp";
    }
    void TearDown() override {
        unsetenv("XDG_CONFIG_HOME");
        fs::remove_all(config);
    }
    int Play(std::vector<std::string> more = {}) {
        std::vector<std::string> arguments{"--demo", "--no-sound", "--frames", "3"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return RunCommand(RunPlay, arguments);
    }
    std::vector<char> Autosave() const { return Contents(config / "qelv" / "qelv5.dat"); }
    std::string Settings() const {
        const std::vector<char> text = Contents(config / "qelv" / "qelv.ini");
        return {text.begin(), text.end()};
    }

    fs::path config, first, second;
};

TEST_F(PlayMemory, TheChainAndTheWindowOutliveTheRunAndAGivenPresetWins) {
    ASSERT_EQ(Play({"--preset", first.string()}), 0);
    EXPECT_EQ(Autosave(), Contents(first));

    // The next run starts with that chain, not the built-in one, in the window left behind.
    std::ofstream(config / "qelv" / "qelv.ini") << "[Qelv5]\ncfg_x=40\ncfg_y=50\ncfg_w=333\ncfg_h=222\n";
    ASSERT_EQ(Play(), 0);
    EXPECT_EQ(Autosave(), Contents(first));
    EXPECT_NE(Settings().find("cfg_w=333\ncfg_h=222\n"), std::string::npos) << Settings();

    ASSERT_EQ(Play({"--preset", second.string()}), 0);
    EXPECT_EQ(Autosave(), Contents(second));

    // Offline rendering neither reads nor writes them.
    const std::string settings = Settings();
    ASSERT_EQ(RunCommand(RunRender, {"--demo", "--frames", "1", "--size", "16x16", "--out", (config / "x.rgb").string()}), 0);
    EXPECT_EQ(Autosave(), Contents(second));
    EXPECT_EQ(Settings(), settings);
}
}  // namespace
