// The three threads against each other: the render thread draws a chain of every effect
// type, a host thread delivers samples as fast as it can, and the window thread plays a
// busy user for a fixed number of operations. Run under the thread sanitizer by the test
// command, it finds any meeting of the threads outside the locks and atomic words.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "plugin/lifecycle.h"
#include "output/frame_surface.h"
#include "output/output_window.h"
#include "engine/effect_chain.h"
#include "platform/display_device.h"
#include "backends/headless/headless_display.h"
#include "backends/headless/headless_window.h"
#include "backends/headless/memory_dialogs.h"
#include "backends/headless/recording_shell.h"
#include "backends/headless/scripted_dialog_services.h"
#include "platform/window_system.h"
#include "ui/resource_ids.h"

namespace {
namespace fs = std::filesystem;

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr int kOperations = 600;
#else
constexpr int kOperations = 20000;
#endif

// The parameter: threads of the chain; the plug-in draws on one, but the tool and the
// library share each frame among more, so the same chain is edited under both.
struct ThreadStress : ::testing::TestWithParam<int> {
    void SetUp() override {
        fs::remove_all(dir);
        fs::create_directories(dir);
        InstallShell(&shell);
        InstallWindowSystem(&windows);
        InstallDisplayDriver(&display);
        InstallDialogControls(&dialogs);
        InstallDialogServices(&services);
    }
    void TearDown() override {
        InstallDialogServices(nullptr);
        InstallDialogControls(nullptr);
        InstallDisplayDriver(nullptr);
        InstallWindowSystem(nullptr);
        InstallShell(nullptr);
        fs::remove_all(dir);
    }

    uint32_t Random() {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    }
    int RandomBelow(int n) { return int(Random() % uint32_t(n)); }

    void Add(int typeId) {
        const auto& items = dialogs.ControlOf(panel, IDC_LIBRARY).items;
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i].data == typeId) dialogs.SetSelection(panel, IDC_LIBRARY, int(i));
        dialogs.ClickButton(panel, IDC_ADD);
        if (model.size() < size_t(kChainSlots)) model.push_back(typeId);
    }

    // The settings page open now, effect or global; null when there is none.
    WindowHandle OpenPage() {
        for (int id = 102; id <= 114; ++id)
            for (WindowHandle page : dialogs.LiveDialogs(id))
                if (dialogs.Find(page)->parent == panel) return page;
        return nullptr;
    }

    // Every control of the open page, as a user who tries them all.
    void WorkPage() {
        const WindowHandle page = OpenPage();
        if (!page) return;
        std::vector<std::pair<int, MemoryDialogs::Control>> controls(dialogs.Find(page)->controls.begin(),
                                                                     dialogs.Find(page)->controls.end());
        for (const auto& [id, control] : controls) {
            if (id == IDC_FULLSCREEN && dialogs.Find(page)->templateId == IDD_DISPLAY_PAGE) continue;
            if (control.maximum > control.minimum) {
                dialogs.MoveTrackbar(page, id, control.minimum + RandomBelow(control.maximum - control.minimum + 1));
            } else if (!control.items.empty()) {
                dialogs.ChooseItem(page, id, RandomBelow(int(control.items.size())));
            } else {
                services.colourAnswers.push_back(Random() & 0xFFFFFF);
                if (Random() % 2) dialogs.ClickCheckBox(page, id);
                else dialogs.ClickRadio(page, id);
            }
        }
        services.colourAnswers.clear();
    }

    void SelectEffect() {
        if (!model.empty()) dialogs.ChooseItem(panel, IDC_ACTIVE_EFFECTS, RandomBelow(int(model.size())));
    }
    int Selected() { return dialogs.ControlOf(panel, IDC_ACTIVE_EFFECTS).selection; }

    void Operate(int operation) {
        const WindowHandle output = OutputWindowHandle();
        switch (operation % 12) {
        case 0: Add(RandomBelow(9)); break;
        case 1:
            SelectEffect();
            if (Selected() != kNoItem) {
                model.erase(model.begin() + Selected());
                dialogs.ClickButton(panel, IDC_REMOVE);
            }
            break;
        case 2:
            SelectEffect();
            if (Selected() != kNoItem && Selected() > 0) std::swap(model[size_t(Selected() - 1)], model[size_t(Selected())]);
            dialogs.ClickButton(panel, IDC_UP);
            break;
        case 3:
            SelectEffect();
            if (Selected() != kNoItem && Selected() + 1 < int(model.size()))
                std::swap(model[size_t(Selected())], model[size_t(Selected() + 1)]);
            dialogs.ClickButton(panel, IDC_DOWN);
            break;
        case 4:
            if (Random() % 4 == 0) {
                dialogs.ClickButton(panel, IDC_CLEAR);
                model.clear();
            }
            for (int t = 0; t < 9 && model.size() < 12; ++t) Add(t);
            break;
        case 5:
            services.fileAnswers.push_back(preset.string());
            dialogs.ClickButton(panel, IDC_SAVE);
            saved = model;
            break;
        case 6:
            if (!fs::exists(preset)) break;
            services.fileAnswers.push_back(preset.string());
            dialogs.ClickButton(panel, IDC_LOAD);
            model = saved;
            break;
        case 7: SelectEffect(); WorkPage(); break;
        case 8: dialogs.ChooseItem(panel, IDC_GLOBAL_SETTINGS, RandomBelow(3)); WorkPage(); break;
        case 9:
            if (output) windows.UserPlaces(output, {RandomBelow(200), RandomBelow(200), 40 + RandomBelow(500), 30 + RandomBelow(400)});
            break;
        case 10:
            dialogs.ChooseItem(panel, IDC_GLOBAL_SETTINGS, 1);
            if (WindowHandle page = OpenPage()) dialogs.ClickButton(page, IDC_FULLSCREEN);
            break;
        case 11:
            if (output) HandleOutputWindowEvent(output, OutputWindowEvent::keyDown, kEscapeKey);
            dialogs.ClickCheckBox(panel, IDC_FRAMEBUFFER_CLEAR);
            break;
        }
        dialogs.DeliverWakes();
    }

    // The chain, the panel's list and the user's model agree: nothing lost or doubled.
    void ExpectChainAsModel() {
        ASSERT_EQ(ChainLength(pluginEngine.chain), int(model.size()));
        ASSERT_EQ(dialogs.ControlOf(panel, IDC_ACTIVE_EFFECTS).items.size(), model.size());
        std::set<Effect*> distinct;
        for (size_t i = 0; i < model.size(); ++i) {
            ASSERT_EQ(pluginEngine.chain.typeIds[i], model[i]) << "slot " << i;
            distinct.insert(pluginEngine.chain.effects[i]);
        }
        ASSERT_EQ(distinct.size(), model.size());
    }

    // One folder a thread count: ctest runs the counts side by side.
    const fs::path dir = fs::temp_directory_path() / ("qelv-thread-stress-" + std::to_string(GetParam()));
    const fs::path preset = dir / "stress.qlp";
    RecordingShell shell{dir.string()};
    HeadlessWindowSystem windows;
    HeadlessDisplay display;
    MemoryDialogs dialogs;
    ScriptedDialogServices services;
    VisModule* module = moduleAt(0);
    WindowHandle panel = nullptr;
    uint32_t state = 1;
    std::vector<int> model, saved;
};

TEST_P(ThreadStress, UserHostAndRenderThreadsMeetOnlyThroughTheLocks) {
    ASSERT_EQ(Init(module), 0);
    pluginEngine.chain.SetThreads(GetParam());
    ASSERT_EQ(dialogs.LiveDialogs(101).size(), 1u);
    panel = dialogs.LiveDialogs(101)[0];
    for (int t = 0; t < 9; ++t) Add(t);

    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0};
    std::thread host([&] {
        uint32_t s = 7;
        while (!stop.load()) {
            for (int i = 0; i < 2 * kBins; ++i) {
                s = s * 1103515245u + 12345u;
                module->spectrum[i] = uint8_t(s >> 24);
                module->waveform[i] = uint8_t(s >> 16);
            }
            module->renderProc(module);
            blocks.fetch_add(1);
        }
    });
    const int framesBefore = display.PresentedCount();
    for (int i = 0; i < kOperations; ++i) {
        Operate(RandomBelow(12));
        ExpectChainAsModel();
        if (HasFatalFailure()) break;
    }
    stop = true;
    host.join();
    const int frames = display.PresentedCount() - framesBefore;
    Quit(module);
    pluginEngine.chain.SetThreads(1);

    EXPECT_EQ(renderThread, nullptr);
    EXPECT_GT(frames, 0);
    EXPECT_GT(blocks.load(), 0);
    EXPECT_EQ(dialogs.foreignThreadCalls.load(), 0);
    EXPECT_EQ(dialogs.badDestroys, 0);
    std::printf("%d operations, %d sample blocks, %d frames\n", kOperations, blocks.load(), frames);
}

INSTANTIATE_TEST_SUITE_P(Threads, ThreadStress, ::testing::Values(1, 3),
                         [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param); });
}  // namespace
