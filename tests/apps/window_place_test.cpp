#include <gtest/gtest.h>

#include "backends/native/window_place.h"

namespace {
bool Same(const WindowPlace& a, const WindowPlace& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// A remembered window opens where it was while its top is on a display; else it is
// brought onto the display it overlaps most, centred and no larger than that display.
TEST(WindowPlace, ARememberedPlaceOpensOnADisplayThereIsNow) {
    const std::vector<WindowPlace> one = {{0, 0, 1024, 768}};
    const std::vector<WindowPlace> two = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    const struct {
        WindowPlace remembered;
        std::vector<WindowPlace> displays;
        WindowPlace opens;
    } cases[] = {
        {{100, 50, 640, 360}, one, {100, 50, 640, 360}},          // on screen: as it was
        {{900, 50, 640, 360}, one, {900, 50, 640, 360}},          // partly off, title bar reachable
        {{448, 220, 1920, 1080}, one, {0, 0, 1024, 768}},         // larger than the display
        {{3000, 2000, 640, 360}, one, {192, 204, 640, 360}},      // a display that is gone
        {{100, -500, 640, 360}, one, {192, 204, 640, 360}},       // title bar above the top
        {{2000, 100, 640, 360}, two, {2000, 100, 640, 360}},      // on the second display
        {{3180, 900, 640, 360}, two, {2240, 332, 640, 360}},      // all but 20 points off the second
        {{100, 50, 640, 360}, {}, {100, 50, 640, 360}},           // displays unknown: as it was
    };
    for (const auto& c : cases) {
        const WindowPlace got = PlaceOnDisplays(c.remembered, c.displays);
        EXPECT_TRUE(Same(got, c.opens)) << c.remembered.x << "," << c.remembered.y << " -> " << got.x << ","
                                        << got.y << " " << got.width << "x" << got.height;
    }
}
}  // namespace
