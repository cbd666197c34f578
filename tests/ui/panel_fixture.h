#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine.h"
#include "backends/headless/memory_dialogs.h"
#include "backends/headless/recording_shell.h"
#include "backends/headless/scripted_dialog_services.h"
#include "ui/control_panel.h"
#include "ui/resource_ids.h"

// A panel opened over in-memory dialogs, scripted choosers and a recording shell, with
// an engine of its own with an empty chain; the test plays the user.
class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallDialogControls(&dialogs);
        InstallDialogServices(&services);
        InstallShell(&recorded);
        engine.chain.ClearChain();
        engine.chain.framebufferClear = 1;
        module.instance = &module;
        panel = OpenControlPanel(&module, engine);
        ASSERT_NE(panel, nullptr);
    }

    void TearDown() override {
        CloseControlPanel();
        engine.chain.ClearChain();
        engine.chain.framebufferClear = 1;
        InstallDialogControls(nullptr);
        InstallDialogServices(nullptr);
        InstallShell(nullptr);
        EXPECT_EQ(dialogs.badDestroys, 0);
        EXPECT_EQ(dialogs.deadWindowCalls, 0);
    }

    std::vector<std::string> Items(int id) {
        std::vector<std::string> texts;
        for (const auto& item : dialogs.ControlOf(panel, id).items) texts.push_back(item.text);
        return texts;
    }
    int Selected(int id) { return dialogs.ControlOf(panel, id).selection; }
    std::string Caption() { return dialogs.ControlOf(panel, IDC_PAGE_CAPTION).text; }

    // Chooses the library entry with this name and presses "<- add".
    void Add(const std::string& name) {
        const auto& items = dialogs.ControlOf(panel, IDC_LIBRARY).items;
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i].text == name) dialogs.SetSelection(panel, IDC_LIBRARY, int(i));
        dialogs.ClickButton(panel, IDC_ADD);
    }
    void SelectEffect(int index) { dialogs.ChooseItem(panel, IDC_ACTIVE_EFFECTS, index); }
    void SelectGlobal(int index) { dialogs.ChooseItem(panel, IDC_GLOBAL_SETTINGS, index); }

    // Every settings page that is open now, effect or global.
    std::vector<WindowHandle> OpenPages() {
        std::vector<WindowHandle> pages;
        for (int id : {103, IDD_BEAT_PAGE, IDD_DISPLAY_PAGE, IDD_ABOUT_PAGE})
            for (WindowHandle page : dialogs.LiveDialogs(id)) pages.push_back(page);
        return pages;
    }

    Engine engine;
    MemoryDialogs dialogs;
    ScriptedDialogServices services;
    RecordingShell recorded;
    VisModule module{};
    WindowHandle panel = nullptr;
};
