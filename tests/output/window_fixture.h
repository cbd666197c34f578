#pragma once
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "output/frame_surface.h"
#include "output/output_window.h"
#include "backends/headless/headless_display.h"
#include "backends/headless/headless_window.h"
#include "platform/shell.h"

// A settings file that remembers the order in which keys were read and written.
class OrderedShell final : public Shell {
public:
    void ShowMessage(WindowHandle owner, const char* text, const char* caption) override {
        messages.push_back({owner, std::string(text) + " / " + caption});
    }
    std::string ProgramFilePath(const char*) override { return {}; }
    int ReadSetting(const char* section, const char* key, int fallback) override {
        calls.push_back(std::string("read ") + section + " " + key + " " + std::to_string(fallback));
        auto it = file.find(key);
        return it == file.end() ? fallback : it->second;
    }
    void WriteSetting(const char* section, const char* key, int value) override {
        calls.push_back(std::string("write ") + section + " " + key + " " + std::to_string(value));
        file[key] = value;
    }
    bool WriteFileAtomically(const char*, const void*, size_t) override { return false; }

    std::vector<std::pair<WindowHandle, std::string>> messages;
    std::vector<std::string> calls;
    std::map<std::string, int> file;
};

// The output window on the in-memory window system, with the frame surface behind it
// as Init creates them; frames are run by hand.
struct OutputWindowTest : ::testing::Test {
    void SetUp() override {
        InstallShell(&shell);
        InstallWindowSystem(&windows);
        InstallDisplayDriver(&display);
        windowSettings = WindowSettings{};
    }
    void TearDown() override {
        DestroySurfaces();
        CloseOutputWindow();
        SetControlPanelToggle(nullptr);
        InstallDisplayDriver(nullptr);
        InstallWindowSystem(nullptr);
        InstallShell(nullptr);
        windowSettings = WindowSettings{};
    }

    void Open() {
        ASSERT_EQ(OpenOutputWindow(&module), 0);
        int32_t w = 0, h = 0;
        OutputClientSize(&w, &h);
        ASSERT_EQ(CreateSurfaces(w, h, OutputWindowHandle()), 0);
    }

    struct FrameSize {
        int32_t width = 0, height = 0;
        bool operator==(const FrameSize&) const = default;
    };
    FrameSize Frame() {
        FrameSize size;
        if (BeginFrame(&size.width, &size.height)) PresentFrame();
        return size;
    }

    HeadlessWindowSystem::Window& window() { return HeadlessWindowSystem::Of(OutputWindowHandle()); }

    OrderedShell shell;
    HeadlessWindowSystem windows;
    HeadlessDisplay display;
    VisModule module{};
    WindowHandle parent = reinterpret_cast<WindowHandle>(0x77);
    InstanceHandle instance = reinterpret_cast<InstanceHandle>(0x400000);

    OutputWindowTest() {
        module.parentWindow = parent;
        module.instance = instance;
    }
};
