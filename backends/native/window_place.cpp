#include "backends/native/window_place.h"

#include <algorithm>

namespace {
// Enough of a window to take hold of and drag back.
constexpr int64_t kGrip = 64;

int64_t Overlap(int64_t a, int64_t aLength, int64_t b, int64_t bLength) {
    return std::max<int64_t>(0, std::min(a + aLength, b + bLength) - std::max(a, b));
}
}  // namespace

WindowPlace PlaceOnDisplays(WindowPlace place, const std::vector<WindowPlace>& displays) {
    if (displays.empty()) return place;
    size_t best = 0;
    int64_t bestArea = -1;
    for (size_t i = 0; i < displays.size(); ++i) {
        const WindowPlace& d = displays[i];
        const int64_t across = Overlap(place.x, place.width, d.x, d.width);
        // The top of the window, where its title bar is, must be on the display.
        const bool topShows = place.y >= d.y && place.y < int64_t(d.y) + d.height - kGrip / 2;
        if (topShows && across >= std::min<int64_t>(kGrip, place.width) && place.width <= d.width &&
            place.height <= d.height)
            return place;
        const int64_t area = across * Overlap(place.y, place.height, d.y, d.height);
        if (area > bestArea) {
            bestArea = area;
            best = i;
        }
    }
    const WindowPlace& d = displays[best];
    place.width = std::min(place.width, d.width);
    place.height = std::min(place.height, d.height);
    place.x = int32_t(d.x + (int64_t(d.width) - place.width) / 2);
    place.y = int32_t(d.y + (int64_t(d.height) - place.height) / 2);
    return place;
}
