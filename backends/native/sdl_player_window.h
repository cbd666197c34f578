#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "backends/native/player_window.h"
#include "backends/native/window_place.h"

class WindowOverlay;

// A resizable SDL window titled "Qelv" with its inside size in points; frames are
// stretched over it, an overlay's ImGui windows drawn on top.
class SdlPlayerWindow : public PlayerWindow {
public:
    // Shows popup over the picture every frame until it returns false; for choosers that
    // must answer before the caller goes on. The modal turn, when one is set, keeps the
    // picture moving meanwhile; without one the last picture stands. A request to close
    // the window ends it too and stays pending for the player.
    virtual void RunModal(const std::function<bool()>& popup) = 0;
    virtual void SetTitle(const std::string& title) = 0;
    // The window's place on the desktop and its size, in points; in full screen, where it
    // was before and goes back to.
    using Place = WindowPlace;
    virtual Place WindowedPlace() const = 0;
    // Puts the window at a remembered place, brought onto the displays there are now.
    virtual void Restore(const Place& place) = 0;
    // The sizes of the display modes of the window's display, each once, largest first.
    virtual std::vector<WindowSize> DisplayModes() const = 0;
};

// Null, with the reason, when there is no display. The overlay, if any, outlives the window.
std::unique_ptr<SdlPlayerWindow> OpenSdlPlayerWindow(int32_t width, int32_t height, std::string& error,
                                                     WindowOverlay* overlay = nullptr);
