#include "plugin/render_thread.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "plugin/lifecycle.h"
#include "output/frame_surface.h"
#include "engine/frame_rate.h"
#include "ui/control_panel.h"

namespace {
int64_t TickCount() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

int RenderThreadMain() {
    uint8_t snapshot[kSnapshotBytes];
    char text[64];
    int64_t start = TickCount();
    int count = 0;
    if (quitFlag) return 0;
    do {
        const int32_t beat = pluginEngine.intake.TakeSnapshot(snapshot);
        if (pluginEngine.chain.framebufferClear) ClearFrame(0);
        int32_t width = 0, height = 0;
        uint32_t* frame = BeginFrame(&width, &height);
        if (!frame) continue;
        pluginEngine.chain.RenderChain(snapshot, frame, width, height, beat);
        PresentFrame();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (++count == 21) {
            std::snprintf(text, sizeof text, "%d FPS @ %dx%dx32bpp", FramesPerSecond(21, TickCount() - start),
                          width, height);
            ShowFrameRate(text);
            count = 0;
            start = TickCount();
        }
    } while (!quitFlag);
    return 0;
}
