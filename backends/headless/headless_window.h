#pragma once
#include <list>
#include <set>
#include <string>
#include <vector>

#include "platform/window_system.h"

// Windows in memory for tests and offline runs. Like a real window system it sends the
// output window its size and move events when a window is created, moved or sized,
// and the destroy event when it is destroyed. Tests act as the user through the
// User... operations.
class HeadlessWindowSystem final : public WindowSystem {
public:
    struct Window {
        std::string className, title;
        uint32_t style = 0;
        WindowPlacement placement{};
        WindowHandle parent = nullptr;
        InstanceHandle instance = nullptr;
        bool alive = true;
        bool minimised = false;
        std::set<int> timers;
    };

    bool RegisterWindowClass(const WindowClassSpec& spec) override;
    void UnregisterWindowClass(const WindowClassSpec& spec) override;
    WindowHandle OpenWindow(const WindowSpec& spec) override;
    void DestroyWindow(WindowHandle window) override;
    void ClientSize(WindowHandle window, int32_t* width, int32_t* height) override;
    WindowPlacement OuterRectangle(WindowHandle window) override;
    bool IsMinimised(WindowHandle window) override;
    void MoveWindow(WindowHandle window, const WindowPlacement& placement) override;
    void SetTimer(WindowHandle window, int id, int milliseconds) override;
    void KillTimer(WindowHandle window, int id) override;
    void ShowCursor() override;
    void PostQuit() override;

    // The user drags or sizes the window to a new outer rectangle (restoring it if minimised).
    void UserPlaces(WindowHandle window, const WindowPlacement& placement);
    void UserMinimises(WindowHandle window);
    // A timer that is set fires; false when it is not set.
    bool FireTimer(WindowHandle window, int id);

    static Window& Of(WindowHandle window) { return *static_cast<Window*>(window); }

    bool failRegistration = false;
    bool failCreation = false;
    int32_t frameWidth = 3;  // sizing frame on each side; the client area lies inside it
    std::set<std::string> registeredClasses;
    std::vector<std::string> log;  // class, window, timer, cursor and quit operations in order
    int cursorShows = 0;
    int quitPosts = 0;

private:
    void SendPlacementEvents(WindowHandle window);

    std::list<Window> windows;  // stable addresses: a window's handle is its record
};
