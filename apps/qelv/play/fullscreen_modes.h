#pragma once
#include <cstdint>
#include <vector>

#include "apps/qelv/play/play_session.h"
#include "backends/headless/headless_display.h"
#include "backends/native/window_place.h"

// Full screen as the display settings page sets it, for the live player. The player's
// full screen is the desktop's (the window covers the screen; the screen's mode stays),
// so a mode is the size of the picture that is stretched over the screen, as a monitor
// stretches a mode it is switched to. The page lists the modes of the window's display;
// while this lives, a frame surface in memory holds them for it (the player's frames go
// to its window, not through the surface).
class FullscreenModes {
public:
    explicit FullscreenModes(const std::vector<WindowSize>& displayModes);
    ~FullscreenModes();
    FullscreenModes(const FullscreenModes&) = delete;
    FullscreenModes& operator=(const FullscreenModes&) = delete;

    // The page's mode (cfg_fs_w x cfg_fs_h) when the display lists it, else the screen's
    // own size; pixels of pixelSize (--pixel-size) when given (above 0), else of 2 with the
    // page's pixel doubling (cfg_fs_d) and of 1 without.
    FullscreenLook Look(int32_t pixelSize) const;

private:
    HeadlessDisplay display;
    std::vector<WindowSize> modes;
};
