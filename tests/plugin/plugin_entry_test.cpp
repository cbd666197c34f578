#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "plugin/lifecycle.h"
#include "core/vis_module.h"
#include "engine/effect_chain.h"
#include "platform/display_device.h"
#include "backends/headless/headless_display.h"
#include "backends/headless/headless_window.h"
#include "backends/headless/recording_shell.h"
#include "platform/window_system.h"

namespace {
TEST(PluginEntry, HandsOutOneHeaderAndOneModule) {
    PluginHeader* header = vambloVisGetHeader();
    EXPECT_EQ(header, vambloVisGetHeader());
    EXPECT_EQ(header->headerVersion, 0x101);
    EXPECT_STREQ(header->headerTitle, "Qelv 5.0 preview 2");
    VisModule* module = header->moduleAt(0);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(header->moduleAt(1), nullptr);
    EXPECT_EQ(header->moduleAt(-1), nullptr);
    EXPECT_STREQ(module->moduleTitle, header->headerTitle);
    EXPECT_EQ(module->delayHint, 14);
    EXPECT_EQ(module->spectrumChannels, 2);
    EXPECT_EQ(module->waveformChannels, 2);
    module->configProc(module);  // does nothing, before Init too
}

TEST(PluginEntry, ProbeGivesAnAnswerOnEveryProcessor) {
    ProbeMmx();
#if defined(__x86_64__) || defined(__i386__)
    EXPECT_EQ(mmxAvailable, 1);  // every processor that runs these builds has MMX
#endif
}

// A full start and stop on the in-memory platform, twice: the second start finds the
// chain the first stop left in the autosave file.
TEST(PluginLifecycle, QuitThenInitRestoresTheChain) {
    const auto dir = std::filesystem::temp_directory_path() / "qelv-lifecycle-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    RecordingShell shell(dir.string());
    HeadlessWindowSystem windows;
    HeadlessDisplay display;
    InstallShell(&shell);
    InstallWindowSystem(&windows);
    InstallDisplayDriver(&display);
    VisModule* module = moduleAt(0);

    ASSERT_EQ(module->initProc(module), 0);
    ASSERT_NE(renderThread, nullptr);
    pluginEngine.chain.AppendEffect(3);
    pluginEngine.chain.AppendEffect(0);
    module->spectrum[10] = 200;
    module->renderProc(module);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (display.PresentedCount() < 2 && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    module->quitProc(module);
    EXPECT_EQ(renderThread, nullptr);
    EXPECT_EQ(ChainLength(pluginEngine.chain), 0);
    module->quitProc(module);  // a second Quit does nothing
    module->configProc(module);

    ASSERT_EQ(Init(module), 0);
    ASSERT_EQ(ChainLength(pluginEngine.chain), 2);
    EXPECT_EQ(pluginEngine.chain.typeIds[0], 3);
    EXPECT_EQ(pluginEngine.chain.typeIds[1], 0);
    Quit(module);

    InstallDisplayDriver(nullptr);
    InstallWindowSystem(nullptr);
    InstallShell(nullptr);
    std::filesystem::remove_all(dir);
}
}  // namespace
