#include "tests/output/surface_fixture.h"

namespace {
using Ops = std::vector<std::string>;

TEST_F(Surface, NoDisplayObjectIsShownAndFails) {
    display.faults.device = true;
    EXPECT_EQ(CreateSurfaces(400, 300, window), 1);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].owner, window);
    EXPECT_EQ(shell.messages[0].text, "Error creating ddraw object");
    EXPECT_EQ(shell.messages[0].caption, "DDraw");
    int32_t w, h;
    EXPECT_EQ(BeginFrame(&w, &h), nullptr);
}

TEST_F(Surface, NoFirstSurfaceReleasesTheDisplayObjectAndFails) {
    display.faults.offscreen = true;
    EXPECT_EQ(CreateSurfaces(400, 300, window), 1);
    EXPECT_EQ(display.Operations(), (Ops{"device", "normal level", "offscreen 400x300 failed", "release device"}));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, "Error creating surfaces");
    EXPECT_EQ(shell.messages[0].caption, "DDraw");
    int32_t w, h;
    EXPECT_EQ(BeginFrame(&w, &h), nullptr);
}

TEST_F(Surface, AFailedNormalLevelDoesNotStopTheStart) {
    display.faults.normalLevel = true;
    EXPECT_EQ(CreateSurfaces(400, 300, window), 0);
    EXPECT_EQ(Frame(), (FrameSize{400, 300}));
}

TEST_F(Surface, AFailedRecreationSkipsFramesUntilItSucceeds) {
    Create(400, 300);
    display.faults.offscreen = true;
    RequestResize(200, 100);
    EXPECT_EQ(Frame(), (FrameSize{0, 0}));
    EXPECT_EQ(Frame(), (FrameSize{0, 0}));
    display.faults.offscreen = false;
    EXPECT_EQ(Frame(), (FrameSize{200, 100}));
}

TEST_F(Surface, ASurfaceLostToAFailedRecreationReturnsAtTheOldSize) {
    Create(400, 300);
    display.faults.offscreen = true;
    RequestResize(200, 100);
    Frame();
    display.faults.offscreen = false;
    RequestResize(400, 300);  // back to the size the surface had
    EXPECT_EQ(Frame(), (FrameSize{400, 300}));
}

TEST_F(Surface, AFailedLockSkipsTheFrame) {
    Create(400, 300);
    display.faults.lock = true;
    int32_t w = 0, h = 0;
    EXPECT_EQ(BeginFrame(&w, &h), nullptr);
    PresentFrame();  // nothing was lent, so nothing is unlocked or shown
    EXPECT_EQ(display.FrameCounts().unlocks, 0);
    EXPECT_EQ(display.PresentedCount(), 0);
    display.faults.lock = false;
    EXPECT_EQ(Frame(), (FrameSize{400, 300}));
    EXPECT_EQ(display.PresentedCount(), 1);
}

TEST_F(Surface, AFailedUnlockShowsNothing) {
    Create(400, 300);
    display.faults.unlock = true;
    Frame();
    EXPECT_EQ(display.PresentedCount(), 0);
}

// A switch into full screen that fails goes back to windowed at the normal level, with
// the desktop's mode when it had been changed; the cursor stays and the request is
// withdrawn, while the mode's size stays pending.
struct FailedSwitch {
    bool HeadlessDisplay::Faults::* fault;
    Ops operations;
};

class SwitchFailure : public Surface, public ::testing::WithParamInterface<FailedSwitch> {};

TEST_P(SwitchFailure, LeavesTheSystemWindowed) {
    Create(400, 300);
    display.faults.*GetParam().fault = true;
    RequestDisplayMode(1, 640, 480, 0);
    EXPECT_EQ(Frame(), (FrameSize{640, 480}));
    EXPECT_FALSE(IsFullscreen());
    Ops operations = display.Operations();
    operations.resize(operations.size() - 2);  // the off-screen surface at the mode's size
    EXPECT_EQ(operations, GetParam().operations);
    EXPECT_FALSE(display.CursorHidden());
    EXPECT_EQ(display.DisplayWidth(), 1024);
    EXPECT_EQ(display.FrameCounts().windowCopies, 1);
    EXPECT_EQ(display.FrameCounts().flips, 0);
    EXPECT_TRUE(shell.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Steps, SwitchFailure,
    ::testing::Values(
        FailedSwitch{&HeadlessDisplay::Faults::exclusiveLevel, {"exclusive level failed"}},
        FailedSwitch{&HeadlessDisplay::Faults::displayMode,
                     {"exclusive level", "display mode 640x480x32 failed", "normal level"}},
        FailedSwitch{&HeadlessDisplay::Faults::primary,
                     {"exclusive level", "display mode 640x480x32", "primary failed", "normal level",
                      "desktop mode", "foreground"}},
        FailedSwitch{&HeadlessDisplay::Faults::backBuffer,
                     {"exclusive level", "display mode 640x480x32", "primary", "back buffer failed",
                      "release primary", "normal level", "desktop mode", "foreground"}}));

TEST_F(Surface, AModeTheDisplayDoesNotOfferIsWithdrawnAfterTheNextFrame) {
    Create(400, 300);
    RequestDisplayMode(1, 512, 384, 0);
    EXPECT_TRUE(IsFullscreen());
    EXPECT_EQ(Frame(), (FrameSize{512, 384}));
    EXPECT_FALSE(IsFullscreen());
    EXPECT_EQ(display.FrameCounts().windowCopies, 1);
    RequestResize(400, 300);  // the window's next request brings the window's size back
    EXPECT_EQ(Frame(), (FrameSize{400, 300}));
}
}  // namespace
