#pragma once
#include <cstdint>
#include <vector>

// A window's place on the desktop and its size, in points.
struct WindowPlace {
    int32_t x, y, width, height;
};

struct WindowSize {
    int32_t width, height;
    bool operator==(const WindowSize&) const = default;
};

// Where a remembered window opens: where it was when enough of it (its title bar at
// least) is on one of the displays, which may have changed since; otherwise centred on
// the display it overlaps most (else the first), no larger than that display.
WindowPlace PlaceOnDisplays(WindowPlace place, const std::vector<WindowPlace>& displays);
