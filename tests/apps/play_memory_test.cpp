#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

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

// A run in a child process, its standard error in a file: what fails here must not
// hang, so a child still running after a minute (a run takes a second) fails the test.
struct Outcome {
    bool finished;
    int status;
    std::string said;
};

Outcome PlayInAChild(const fs::path& errors) {
    const pid_t child = fork();
    if (child == 0) {
        if (!std::freopen(errors.c_str(), "w", stderr)) _exit(99);
        std::vector<std::string> arguments{"--demo", "--no-sound", "--frames", "3"};
        const int result = RunCommand(RunPlay, arguments);
        std::fflush(stderr);  // no longer a terminal: buffered
        _exit(result);
    }
    int status = 0;
    bool finished = false;
    for (int i = 0; i < 600 && !finished; ++i) {
        finished = waitpid(child, &status, WNOHANG) == child;
        if (!finished) usleep(100'000);
    }
    if (!finished) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    const std::vector<char> said = Contents(errors);
    return {finished, WIFEXITED(status) ? WEXITSTATUS(status) : -1, {said.begin(), said.end()}};
}

// The files a run keeps in its folder must be files: a pipe or a device in the place of
// one is left alone and named on standard error, and the run goes on without it. A
// damaged autosave file is named too.
TEST_F(PlayMemory, WhatIsNotASettingsFileIsNamedAndLeftAlone) {
    const fs::path folder = config / "qelv";
    const struct {
        const char* name;
        bool pipe;  // else damaged
        std::vector<std::string> says;
    } cases[] = {
        {"qelv.ini", true, {"cannot read '", "qelv.ini': it is a named pipe, not a regular file"}},
        {"recent-folders", true, {"cannot read '", "recent-folders': it is a named pipe, not a regular file"}},
        {"qelv5.dat", true,
         {"cannot read '", "qelv5.dat': it is a named pipe, not a regular file; starting with the built-in chain",
          "cannot write '", "qelv5.dat': it is a named pipe, not a regular file"}},
        {"qelv5.dat", false, {"'" + (folder / "qelv5.dat").string() + "' is not a preset"}},
    };
    for (const auto& c : cases) {
        fs::remove_all(folder);
        fs::create_directories(folder);
        const fs::path path = folder / c.name;
        if (c.pipe) {
            ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        } else {
            std::ofstream(path) << "damaged";
        }
        const Outcome run = PlayInAChild(config / "errors");
        ASSERT_TRUE(run.finished) << c.name << " hangs the run";
        EXPECT_EQ(run.status, 0) << c.name << ": " << run.said;
        for (const std::string& words : c.says) EXPECT_NE(run.said.find(words), std::string::npos) << run.said;
        EXPECT_EQ(fs::is_fifo(path), c.pipe) << c.name;
    }
}
}  // namespace
