#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "output/frame_surface.h"
#include "backends/headless/headless_display.h"
#include "backends/headless/recording_shell.h"

// A frame surface over the in-memory display, driven the way the render thread drives it.
struct FrameSize {
    int32_t width, height;
    bool operator==(const FrameSize&) const = default;
};

struct Surface : ::testing::Test {
    void SetUp() override {
        InstallDisplayDriver(&display);
        InstallShell(&shell);
    }
    void TearDown() override {
        DestroySurfaces();
        InstallDisplayDriver(nullptr);
        InstallShell(nullptr);
    }

    void Create(int32_t width, int32_t height) {
        ASSERT_EQ(CreateSurfaces(width, height, window), 0);
        display.ClearOperations();
    }

    // One frame as the render thread runs it, with draw given the lent pixels.
    template <typename Draw>
    FrameSize Frame(Draw draw) {
        FrameSize size{-1, -1};
        uint32_t* pixels = BeginFrame(&size.width, &size.height);
        if (!pixels) return {0, 0};
        draw(pixels, size);
        PresentFrame();
        return size;
    }
    FrameSize Frame() {
        return Frame([](uint32_t*, FrameSize) {});
    }

    bool Logged(const std::string& operation) const {
        const auto log = display.Operations();
        return std::find(log.begin(), log.end(), operation) != log.end();
    }

    HeadlessDisplay display;
    RecordingShell shell;
    WindowHandle window = reinterpret_cast<WindowHandle>(0x5150);
};
