#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "apps/qelv/play/fullscreen_modes.h"
#include "output/frame_surface.h"
#include "output/output_window.h"

namespace {
// The display settings page lists the display's modes, and full screen draws at the one
// chosen there when the display has it, with the page's doubling unless --pixel-size says.
TEST(FullscreenModes, ThePageListsTheDisplaysModesAndFullScreenDrawsAtTheChosenOne) {
    const WindowSettings kept = windowSettings;
    const FullscreenModes modes({{1024, 768}, {640, 480}});
    std::vector<std::string> listed;
    ListDisplayModes([&](const char* text) { listed.push_back(text); });
    EXPECT_EQ(listed, (std::vector<std::string>{"1024x768 32BPP", "640x480 32BPP"}));
    const struct {
        int32_t fsW, fsH, fsD, pixelSize;
        FrameSize mode;
        int32_t pixels;
    } cases[] = {
        {640, 480, 1, 0, {640, 480}, 2},  // the page's mode and doubling
        {640, 480, 0, 0, {640, 480}, 1},
        {640, 480, 1, 3, {640, 480}, 3},  // --pixel-size wins over the doubling
        {640, 480, 1, 1, {640, 480}, 1},
        {320, 240, 0, 0, {0, 0}, 1},      // a mode the display does not list: the screen's own size
        {0, 0, 1, 0, {0, 0}, 2},
    };
    for (const auto& c : cases) {
        windowSettings.fsW = c.fsW;
        windowSettings.fsH = c.fsH;
        windowSettings.fsD = c.fsD;
        const FullscreenLook look = modes.Look(c.pixelSize);
        EXPECT_EQ(look.mode, c.mode) << c.fsW << "x" << c.fsH;
        EXPECT_EQ(look.pixelSize, c.pixels) << c.fsW << "x" << c.fsH << " " << c.fsD << " " << c.pixelSize;
    }
    windowSettings = kept;
}
}  // namespace
