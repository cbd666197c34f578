#include "plugin/render_thread.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>

#include "plugin/lifecycle.h"
#include "output/frame_surface.h"
#include "engine/frame_rate.h"
#include "ui/control_panel.h"

namespace {
// The pause after each frame ends early when Quit asks the thread to end, so that Quit,
// which blocks the host's window thread, does not wait out the rest of the 20 ms.
std::mutex pauseLock;
std::condition_variable pauseEnds;

void PauseAfterFrame() {
    std::unique_lock<std::mutex> lock(pauseLock);
    pauseEnds.wait_for(lock, std::chrono::milliseconds(20), [] { return quitFlag != 0; });
}

int64_t TickCount() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

void WakeRenderThread() {
    // Taken once so that a thread between its check of quitFlag and its wait sees the wake.
    { std::lock_guard<std::mutex> lock(pauseLock); }
    pauseEnds.notify_all();
}

int RenderThreadMain() {
    uint8_t snapshot[kSnapshotBytes];
    char text[64];
    int64_t start = TickCount();
    int count = 0;
    if (quitFlag) return 0;
    do {
        const int32_t beat = pluginEngine.intake.TakeSnapshot(snapshot);
        if (pluginEngine.chain.framebufferClear.load(std::memory_order_relaxed)) ClearFrame(0);
        int32_t width = 0, height = 0;
        uint32_t* frame = BeginFrame(&width, &height);
        if (!frame) continue;
        pluginEngine.chain.RenderChain(snapshot, frame, width, height, beat);
        PresentFrame();
        PauseAfterFrame();
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
