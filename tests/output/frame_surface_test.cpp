#include "tests/output/surface_fixture.h"

namespace {
TEST_F(Surface, FirstSurfaceTakesTheGivenSizeUnrounded) {
    Create(401, 299);
    EXPECT_EQ(Frame(), (FrameSize{401, 299}));
}

TEST_F(Surface, ResizeRequestsAreRoundedToAWidthOfFoursAndAtLeastEight) {
    Create(400, 300);
    const struct {
        FrameSize asked, given;
    } cases[] = {{{401, 300}, {404, 300}}, {{1, 1}, {8, 8}}, {{5, 7}, {8, 8}}, {{9, 8}, {12, 8}},
                 {{-20, -3}, {8, 8}},      {{0x7fffffff, 8}, {8, 8}}};
    for (const auto& c : cases) {
        RequestResize(c.asked.width, c.asked.height);
        EXPECT_EQ(Frame(), c.given) << c.asked.width << "x" << c.asked.height;
    }
}

TEST_F(Surface, TheSameSizeKeepsTheSurfaceAndItsPixels) {
    Create(400, 300);
    Frame([](uint32_t* p, FrameSize) { p[5] = 0x00abcdef; });
    RequestResize(400, 300);
    uint32_t seen = 0;
    Frame([&](uint32_t* p, FrameSize) { seen = p[5]; });
    EXPECT_EQ(seen, 0x00abcdefu);
    EXPECT_FALSE(Logged("release offscreen 400x300"));
}

TEST_F(Surface, WindowedFramesReachTheWindowUnscaled) {
    Create(8, 8);
    Frame([](uint32_t* p, FrameSize s) {
        p[0] = 0x00ff0000;
        p[s.width * 7 + 7] = 0x000000ff;
    });
    const auto shown = display.LastPresented();
    ASSERT_EQ(shown.width, 8);
    ASSERT_EQ(shown.height, 8);
    EXPECT_EQ(shown.pixels[0], 0x00ff0000u);
    EXPECT_EQ(shown.pixels[63], 0x000000ffu);
    EXPECT_EQ(display.FrameCounts().windowCopies, 1);
}

TEST_F(Surface, ClearFillsTheWholeSurface) {
    ClearFrame(0x123456);  // no surface yet: nothing to fill, nothing breaks
    Create(8, 8);
    Frame([](uint32_t* p, FrameSize) { p[9] = 0x00ffffff; });
    ClearFrame(0x00123456);
    std::vector<uint32_t> seen;
    Frame([&](uint32_t* p, FrameSize s) { seen.assign(p, p + s.width * s.height); });
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 0x00123456u), 64);
}

TEST_F(Surface, DoublingHalvesTheModeAndStretchesOntoTheBackBuffer) {
    Create(400, 300);
    RequestDisplayMode(1, 640, 480, 1);
    EXPECT_TRUE(IsFullscreen());
    const FrameSize size = Frame([](uint32_t* p, FrameSize s) {
        std::fill(p, p + s.width * s.height, 0u);
        p[1] = 0x00ff0000;  // pixel (1, 0)
    });
    EXPECT_EQ(size, (FrameSize{320, 240}));
    EXPECT_EQ(display.Operations(),
              (std::vector<std::string>{"exclusive level", "display mode 640x480x32", "primary", "back buffer",
                                        "foreground", "hide cursor", "release offscreen 400x300",
                                        "offscreen 320x240"}));
    const auto shown = display.LastPresented();
    ASSERT_EQ(shown.width, 640);
    ASSERT_EQ(shown.height, 480);
    for (int x : {2, 3})
        for (int y : {0, 1}) EXPECT_EQ(shown.pixels[y * 640 + x], 0x00ff0000u) << x << "," << y;
    EXPECT_EQ(shown.pixels[1], 0u);
    EXPECT_EQ(shown.pixels[4], 0u);
    EXPECT_EQ(display.FrameCounts().flips, 1);
    EXPECT_EQ(display.FrameCounts().windowCopies, 0);
}

TEST_F(Surface, AnyDoublingValueIsOneStep) {
    Create(400, 300);
    RequestDisplayMode(1, 640, 480, 40);
    EXPECT_EQ(Frame(), (FrameSize{320, 240}));
}

TEST_F(Surface, ResizeIsIgnoredWhileFullScreenIsRequestedOrCurrent) {
    Create(400, 300);
    RequestDisplayMode(1, 640, 480, 0);
    RequestResize(100, 100);
    EXPECT_EQ(Frame(), (FrameSize{640, 480}));
    RequestResize(100, 100);
    EXPECT_EQ(Frame(), (FrameSize{640, 480}));
}

TEST_F(Surface, LeavingKeepsTheFullScreenSizeUntilTheNextResize) {
    Create(400, 300);
    RequestDisplayMode(1, 640, 480, 1);
    Frame();
    display.ClearOperations();
    RequestDisplayMode(0, 0, 0, 0);
    EXPECT_TRUE(IsFullscreen());  // until the render thread has switched
    RequestResize(400, 300);
    EXPECT_EQ(Frame(), (FrameSize{320, 240}));
    EXPECT_FALSE(IsFullscreen());
    EXPECT_EQ(display.Operations(),
              (std::vector<std::string>{"normal level", "release back buffer", "release primary", "desktop mode"}));
    EXPECT_EQ(display.DisplayWidth(), 1024);
    EXPECT_EQ(display.FrameCounts().windowCopies, 1);
    RequestResize(400, 300);
    EXPECT_EQ(Frame(), (FrameSize{400, 300}));
}

TEST_F(Surface, LostSurfacesAreRestoredAndThatFrameIsNotFlipped) {
    Create(400, 300);
    RequestDisplayMode(1, 640, 480, 0);
    Frame();
    display.ClearOperations();
    display.LoseSurfaces();
    Frame();
    EXPECT_EQ(display.Operations(), (std::vector<std::string>{"restore back buffer", "restore primary"}));
    EXPECT_EQ(display.FrameCounts().flips, 1);
    Frame();
    EXPECT_EQ(display.FrameCounts().flips, 2);
}

TEST_F(Surface, StoppingInFullScreenRestoresTheDesktopAndStartsWindowedNextTime) {
    Create(400, 300);
    RequestDisplayMode(1, 640, 480, 0);
    Frame();
    EXPECT_TRUE(display.CursorHidden());
    DestroySurfaces();
    EXPECT_TRUE(Logged("desktop mode"));
    EXPECT_FALSE(display.CursorHidden());
    EXPECT_EQ(display.DisplayWidth(), 1024);
    EXPECT_FALSE(IsFullscreen());
    Create(400, 300);
    EXPECT_EQ(Frame(), (FrameSize{400, 300}));
    EXPECT_FALSE(Logged("exclusive level"));
}

TEST_F(Surface, ListsOnlyModesInTheFramesExactFormat) {
    std::vector<std::string> items;
    auto add = [&](const char* text) { items.push_back(text); };
    ListDisplayModes(add);  // no display object: nothing
    EXPECT_TRUE(items.empty());
    Create(400, 300);
    ListDisplayModes(add);
    EXPECT_EQ(items, (std::vector<std::string>{"320x240 32BPP", "640x480 32BPP", "1024x768 32BPP"}));
}

TEST_F(Surface, NoFrameWithoutSurfaces) {
    int32_t w = 0, h = 0;
    EXPECT_EQ(BeginFrame(&w, &h), nullptr);
    PresentFrame();
    EXPECT_EQ(display.FrameCounts().windowCopies, 0);
}
}  // namespace
