#include "tests/output/window_fixture.h"

namespace {
using Lines = std::vector<std::string>;

int toggles = 0;
void CountToggle() { ++toggles; }

TEST_F(OutputWindowTest, OpensTheCaptionlessWindowAtTheDefaultPlacement) {
    Open();
    const auto& w = window();
    EXPECT_EQ(w.className, "qelv_5");
    EXPECT_EQ(w.title, "Qelv5 - Render Output (right click for control panel)");
    EXPECT_EQ(w.style, 0x100C0000u);
    EXPECT_EQ(w.parent, parent);
    EXPECT_EQ(w.instance, instance);
    EXPECT_EQ(windows.log.front(), "register qelv_5");
    EXPECT_EQ(windows.log[1], "open 100,100 400x300");
    int32_t width = 0, height = 0;
    OutputClientSize(&width, &height);
    EXPECT_EQ(width, 394);
    EXPECT_EQ(height, 294);
}

TEST_F(OutputWindowTest, SettingsAreReadAndWrittenInOrderWithTheirDefaults) {
    Open();
    CloseOutputWindow();
    EXPECT_EQ(shell.calls, (Lines{"read Qelv5 cfg_x 100", "read Qelv5 cfg_y 100", "read Qelv5 cfg_w 400",
                                  "read Qelv5 cfg_h 300", "read Qelv5 cfg_fs_w 320", "read Qelv5 cfg_fs_h 240",
                                  "read Qelv5 cfg_fs_d 0", "write Qelv5 cfg_x 100", "write Qelv5 cfg_y 100",
                                  "write Qelv5 cfg_w 400", "write Qelv5 cfg_h 300", "write Qelv5 cfg_fs_w 320",
                                  "write Qelv5 cfg_fs_h 240", "write Qelv5 cfg_fs_d 0"}));
    EXPECT_EQ(windows.log.back(), "unregister qelv_5");
    EXPECT_EQ(OutputWindowHandle(), nullptr);
}

TEST_F(OutputWindowTest, StoredPlacementOpensTheWindowAndTheFirstFrameRoundsItsClientSize) {
    shell.file = {{"cfg_x", 10}, {"cfg_y", 20}, {"cfg_w", 640}, {"cfg_h", 480}, {"cfg_fs_d", 1}};
    Open();
    EXPECT_EQ(windows.log[1], "open 10,20 640x480");
    EXPECT_EQ(windowSettings.fsD, 1);
    EXPECT_EQ(Frame(), (FrameSize{636, 474}));  // client 634 x 474
}

TEST_F(OutputWindowTest, AClassThatCannotBeRegisteredFailsWithAMessage) {
    windows.failRegistration = true;
    EXPECT_EQ(OpenOutputWindow(&module), 1);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].first, parent);
    EXPECT_EQ(shell.messages[0].second, "Error registering window class / Error");
    EXPECT_TRUE(shell.calls.empty());
}

TEST_F(OutputWindowTest, AWindowThatCannotBeCreatedFailsInsteadOfGoingOnWithout) {
    windows.failCreation = true;
    EXPECT_EQ(OpenOutputWindow(&module), 1);
    EXPECT_EQ(OutputWindowHandle(), nullptr);
    EXPECT_TRUE(windows.registeredClasses.empty());
    ASSERT_EQ(shell.messages.size(), 1u);
}

TEST_F(OutputWindowTest, SizingResizesTheSurfaceAndStoresThePlacement) {
    Open();
    windows.UserPlaces(OutputWindowHandle(), {30, 40, 207, 150});
    EXPECT_EQ(Frame(), (FrameSize{204, 144}));  // client 201 x 144
    EXPECT_EQ(windowSettings.x, 30);
    EXPECT_EQ(windowSettings.y, 40);
    EXPECT_EQ(windowSettings.w, 207);
    EXPECT_EQ(windowSettings.h, 150);
}

TEST_F(OutputWindowTest, MinimisingNeitherResizesNorChangesThePlacement) {
    Open();
    const FrameSize before = Frame();
    windows.UserMinimises(OutputWindowHandle());
    EXPECT_EQ(Frame(), before);
    EXPECT_EQ(windowSettings.x, 100);
    EXPECT_EQ(windowSettings.y, 100);
    EXPECT_EQ(windowSettings.w, 400);
    EXPECT_EQ(windowSettings.h, 300);
}

TEST_F(OutputWindowTest, RightClickTogglesThePanelOnlyWhenWindowed) {
    Open();
    toggles = 0;
    SetControlPanelToggle(CountToggle);
    EXPECT_TRUE(HandleOutputWindowEvent(OutputWindowHandle(), OutputWindowEvent::rightButtonDown));
    EXPECT_EQ(toggles, 1);
    RequestDisplayMode(1, 640, 480, 0);
    EXPECT_TRUE(HandleOutputWindowEvent(OutputWindowHandle(), OutputWindowEvent::rightButtonDown));
    Frame();
    HandleOutputWindowEvent(OutputWindowHandle(), OutputWindowEvent::rightButtonDown);
    EXPECT_EQ(toggles, 1);
}

TEST_F(OutputWindowTest, KeysAndClicksWhileWindowedOnlyReachTheDefaultProcedure) {
    Open();
    const Lines before = windows.log;
    EXPECT_TRUE(HandleOutputWindowEvent(OutputWindowHandle(), OutputWindowEvent::keyDown, kEscapeKey));
    EXPECT_TRUE(HandleOutputWindowEvent(OutputWindowHandle(), OutputWindowEvent::keyDown, 'A'));
    EXPECT_TRUE(HandleOutputWindowEvent(OutputWindowHandle(), OutputWindowEvent::leftButtonDown));
    EXPECT_EQ(windows.log, before);
    EXPECT_FALSE(IsFullscreen());
}

TEST_F(OutputWindowTest, OtherKeysDoNotLeaveFullScreen) {
    Open();
    RequestDisplayMode(1, 640, 480, 0);
    Frame();
    EXPECT_TRUE(HandleOutputWindowEvent(OutputWindowHandle(), OutputWindowEvent::keyDown, ' '));
    Frame();
    EXPECT_TRUE(IsFullscreen());
}

TEST_F(OutputWindowTest, LeavingFullScreenRestoresThePlacementAndResizesAfterTheTimer) {
    Open();
    WindowHandle handle = OutputWindowHandle();
    RequestDisplayMode(1, 640, 480, 0);
    EXPECT_EQ(Frame(), (FrameSize{640, 480}));
    windows.UserPlaces(handle, {0, 0, 640, 480});  // the exclusive level covers the screen
    EXPECT_EQ(windowSettings.w, 400);
    windows.log.clear();

    EXPECT_TRUE(HandleOutputWindowEvent(handle, OutputWindowEvent::keyDown, kEscapeKey));
    EXPECT_EQ(windows.log, (Lines{"move 100,100 400x300", "show cursor", "set timer 1 2000"}));
    EXPECT_EQ(Frame(), (FrameSize{640, 480}));  // the window's requests came while still switching
    EXPECT_FALSE(IsFullscreen());
    EXPECT_EQ(window().placement.width, 400);

    EXPECT_TRUE(windows.FireTimer(handle, 1));
    EXPECT_EQ(Frame(), (FrameSize{396, 294}));
    EXPECT_FALSE(windows.FireTimer(handle, 1));  // one shot
}

TEST_F(OutputWindowTest, ALeftClickLeavesFullScreenToo) {
    Open();
    RequestDisplayMode(1, 640, 480, 1);
    Frame();
    EXPECT_TRUE(HandleOutputWindowEvent(OutputWindowHandle(), OutputWindowEvent::leftButtonDown));
    Frame();
    EXPECT_FALSE(IsFullscreen());
    EXPECT_EQ(windows.cursorShows, 1);
}

TEST_F(OutputWindowTest, OtherTimersAreHandledWithoutEffect) {
    Open();
    const Lines before = windows.log;
    EXPECT_FALSE(HandleOutputWindowEvent(OutputWindowHandle(), OutputWindowEvent::timer, 2));
    EXPECT_EQ(windows.log, before);
}

TEST_F(OutputWindowTest, ClosingDestroysTheWindowAndEndsTheMessageLoop) {
    Open();
    EXPECT_FALSE(HandleOutputWindowEvent(OutputWindowHandle(), OutputWindowEvent::close));
    EXPECT_EQ(OutputWindowHandle(), nullptr);
    EXPECT_EQ(windows.quitPosts, 1);
    CloseOutputWindow();  // nothing left to destroy; the settings are still written
    EXPECT_EQ(windows.quitPosts, 1);
    EXPECT_EQ(shell.file.count("cfg_fs_d"), 1u);
}
}  // namespace
