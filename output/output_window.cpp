#include "output/output_window.h"

#include "output/frame_surface.h"
#include "platform/shell.h"
#include "platform/window_system.h"

WindowSettings windowSettings;

namespace {
constexpr char kClassName[] = "qelv_5";
constexpr char kTitle[] = "Qelv5 - Render Output (right click for control panel)";
constexpr uint32_t kStyle = 0x100C0000;  // visible, system menu, sizing frame; no caption bar
constexpr char kSection[] = "Qelv5";
// After leaving full screen the surface takes the window's size once the switch is done.
constexpr int kResizeTimer = 1;
constexpr int kResizeDelayMs = 2000;

struct SettingKey {
    const char* key;
    int32_t WindowSettings::* field;
};
// Read and written in this order.
constexpr SettingKey kSettingKeys[] = {
    {"cfg_x", &WindowSettings::x},       {"cfg_y", &WindowSettings::y},       {"cfg_w", &WindowSettings::w},
    {"cfg_h", &WindowSettings::h},       {"cfg_fs_w", &WindowSettings::fsW}, {"cfg_fs_h", &WindowSettings::fsH},
    {"cfg_fs_d", &WindowSettings::fsD},
};

InstanceHandle instance = nullptr;
WindowHandle outputWindow = nullptr;
void (*controlPanelToggle)() = nullptr;

WindowClassSpec ClassSpec() { return {kClassName, instance}; }

void RequestClientSize(WindowSystem& system, WindowHandle window) {
    int32_t width = 0, height = 0;
    system.ClientSize(window, &width, &height);
    RequestResize(width, height);
}

void LeaveFullscreen(WindowSystem& system, WindowHandle window) {
    if (!IsFullscreen()) return;
    RequestDisplayMode(0, 0, 0, 0);
    system.MoveWindow(window, {windowSettings.x, windowSettings.y, windowSettings.w, windowSettings.h});
    system.ShowCursor();
    RequestClientSize(system, window);  // ignored while the switch is still pending
    system.SetTimer(window, kResizeTimer, kResizeDelayMs);
}

// The windowed placement only: neither full screen nor the parking place of a minimised
// window may overwrite what the next start or the end of full screen restores.
void StorePlacement(WindowSystem& system, WindowHandle window) {
    if (IsFullscreen() || system.IsMinimised(window)) return;
    const WindowPlacement placement = system.OuterRectangle(window);
    windowSettings.x = placement.x;
    windowSettings.y = placement.y;
    windowSettings.w = placement.width;
    windowSettings.h = placement.height;
}
}  // namespace

void ReadWindowSettings() {
    for (const SettingKey& setting : kSettingKeys)
        windowSettings.*setting.field = shell().ReadSetting(kSection, setting.key, windowSettings.*setting.field);
}

void WriteWindowSettings() {
    for (const SettingKey& setting : kSettingKeys)
        shell().WriteSetting(kSection, setting.key, windowSettings.*setting.field);
}

int OpenOutputWindow(VisModule* module) {
    const WindowHandle parent = module ? module->parentWindow : nullptr;
    instance = module ? module->instance : nullptr;
    WindowSystem* system = windowSystem();
    if (!system || !system->RegisterWindowClass(ClassSpec())) {
        shell().ShowMessage(parent, "Error registering window class", "Error");
        return 1;
    }
    ReadWindowSettings();
    const WindowSpec spec{kClassName, kTitle, kStyle,
                          {windowSettings.x, windowSettings.y, windowSettings.w, windowSettings.h},
                          parent, instance};
    outputWindow = system->OpenWindow(spec);
    // Without a window there is nothing to draw into: fail the start instead of going on.
    if (!outputWindow) {
        system->UnregisterWindowClass(ClassSpec());
        shell().ShowMessage(parent, "Error creating window", "Error");
        return 1;
    }
    return 0;
}

void CloseOutputWindow() {
    if (WindowSystem* system = windowSystem()) {
        if (outputWindow) system->DestroyWindow(outputWindow);
        outputWindow = nullptr;
        system->UnregisterWindowClass(ClassSpec());
    }
    WriteWindowSettings();
}

WindowHandle OutputWindowHandle() { return outputWindow; }

void OutputClientSize(int32_t* width, int32_t* height) {
    *width = *height = 0;
    WindowSystem* system = windowSystem();
    if (system && outputWindow) system->ClientSize(outputWindow, width, height);
}

void SetControlPanelToggle(void (*toggle)()) { controlPanelToggle = toggle; }

bool HandleOutputWindowEvent(WindowHandle window, OutputWindowEvent event, int32_t value) {
    WindowSystem* system = windowSystem();
    if (!system) return true;
    switch (event) {
    case OutputWindowEvent::keyDown:
        if (value == kEscapeKey) LeaveFullscreen(*system, window);
        return true;
    case OutputWindowEvent::leftButtonDown:
        LeaveFullscreen(*system, window);
        return true;
    case OutputWindowEvent::rightButtonDown:
        if (!IsFullscreen() && controlPanelToggle) controlPanelToggle();
        return true;
    case OutputWindowEvent::size:
        if (value) return true;  // minimised: neither the surface nor the placement changes
        RequestClientSize(*system, window);
        StorePlacement(*system, window);
        return true;
    case OutputWindowEvent::move:
        StorePlacement(*system, window);
        return true;
    case OutputWindowEvent::timer:
        if (value == kResizeTimer) {
            RequestClientSize(*system, window);
            system->KillTimer(window, kResizeTimer);
        }
        return false;
    case OutputWindowEvent::close:
        system->DestroyWindow(window);
        return false;
    case OutputWindowEvent::destroy:
        // A window the user closed is gone; nothing may use its handle any more.
        if (window == outputWindow) outputWindow = nullptr;
        system->PostQuit();
        return false;
    }
    return true;
}
