#pragma once
#include <cstdint>

#include "core/frame_types.h"

// The windowing operations the output window needs. The platform's window procedure
// turns its messages into the output window's events (output/output_window.h).

struct WindowPlacement {
    int32_t x, y, width, height;  // outer rectangle, screen coordinates
};

struct WindowClassSpec {
    const char* name;
    InstanceHandle instance;
};

struct WindowSpec {
    const char* className;
    const char* title;
    uint32_t style;
    WindowPlacement placement;
    WindowHandle parent;
    InstanceHandle instance;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    // Class style 0, black background, arrow cursor, the output window's procedure.
    virtual bool RegisterWindowClass(const WindowClassSpec& spec) = 0;
    virtual void UnregisterWindowClass(const WindowClassSpec& spec) = 0;
    // Null when the window cannot be created. Events may arrive before this returns.
    virtual WindowHandle OpenWindow(const WindowSpec& spec) = 0;
    virtual void DestroyWindow(WindowHandle window) = 0;
    virtual void ClientSize(WindowHandle window, int32_t* width, int32_t* height) = 0;
    virtual WindowPlacement OuterRectangle(WindowHandle window) = 0;
    virtual bool IsMinimised(WindowHandle window) = 0;
    // Keeps the Z order and does not activate the window.
    virtual void MoveWindow(WindowHandle window, const WindowPlacement& placement) = 0;
    virtual void SetTimer(WindowHandle window, int id, int milliseconds) = 0;
    virtual void KillTimer(WindowHandle window, int id) = 0;
    virtual void ShowCursor() = 0;
    // Asks the calling thread's message loop to end.
    virtual void PostQuit() = 0;
};

// The window system in force; null until a platform installs one (then no window opens).
WindowSystem* windowSystem();
void InstallWindowSystem(WindowSystem* system);
