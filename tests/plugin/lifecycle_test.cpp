#include <algorithm>
#include <chrono>
#include <thread>

#include "plugin/lifecycle.h"
#include "tests/output/window_fixture.h"

namespace {
void WaitForFrames(const HeadlessDisplay& display, int count) {
    // The bound only guards against a hang.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (display.PresentedCount() < count && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

// Init and Quit over the in-memory platform: the window, the surface and a render thread
// presenting the (empty, cleared) chain's frames.
TEST_F(OutputWindowTest, InitShowsFramesAndQuitWritesTheSettings) {
    ASSERT_EQ(Init(&module), 0);
    WindowHandle handle = OutputWindowHandle();
    ASSERT_NE(handle, nullptr);
    WaitForFrames(display, 3);
    Quit(&module);

    ASSERT_GE(display.PresentedCount(), 3);
    const auto shown = display.LastPresented();
    EXPECT_EQ(shown.width, 396);  // the client size 394 x 294, rounded
    EXPECT_EQ(shown.height, 294);
    EXPECT_EQ(std::count(shown.pixels.begin(), shown.pixels.end(), 0u), 396 * 294);
    EXPECT_FALSE(HeadlessWindowSystem::Of(handle).alive);
    EXPECT_EQ(OutputWindowHandle(), nullptr);
    EXPECT_EQ(display.Operations().back(), "release device");
    EXPECT_EQ(shell.file.size(), 7u);
    EXPECT_EQ(shell.file["cfg_w"], 400);
}

// The window thread's requests meet the render thread's frames only through the surface lock
// and whole words; run under the thread sanitizer this finds any other meeting.
TEST_F(OutputWindowTest, RequestsFromTheWindowThreadWhileFramesRun) {
    ASSERT_EQ(Init(&module), 0);
    WindowHandle handle = OutputWindowHandle();
    for (int i = 0; i < 20; ++i) {
        windows.UserPlaces(handle, {10, 10, 100 + 13 * i, 80 + 7 * i});
        if (i % 5 == 4) RequestDisplayMode(1, 640, 480, i % 2);
        if (i % 5 == 0) HandleOutputWindowEvent(handle, OutputWindowEvent::leftButtonDown);
        WaitForFrames(display, display.PresentedCount() + 1);
    }
    HandleOutputWindowEvent(handle, OutputWindowEvent::keyDown, kEscapeKey);
    WaitForFrames(display, display.PresentedCount() + 2);
    EXPECT_FALSE(IsFullscreen());
    Quit(&module);
    EXPECT_EQ(renderThread, nullptr);
}

TEST_F(OutputWindowTest, InitWithoutASurfaceClosesTheWindowAndStartsNothing) {
    display.faults.offscreen = true;
    EXPECT_EQ(Init(&module), 1);
    EXPECT_EQ(OutputWindowHandle(), nullptr);
    EXPECT_EQ(renderThread, nullptr);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].second, "Error creating surfaces / DDraw");
    EXPECT_EQ(shell.file.size(), 7u);  // closing the window wrote the settings
    Quit(&module);                     // nothing to stop
    EXPECT_EQ(windows.quitPosts, 1);
}
}  // namespace
