#include "output/frame_surface.h"

#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>

#include "platform/display_device.h"
#include "platform/shell.h"

namespace {
constexpr int32_t kMinimumSide = 8;

struct FrameSurface {
    std::unique_ptr<DisplayDevice> device;
    WindowHandle window = nullptr;
    std::unique_ptr<DisplaySurface> offscreen;
    std::unique_ptr<DisplaySurface> primary;
    std::unique_ptr<DisplaySurface> backBuffer;
    int32_t currentWidth = 0, currentHeight = 0;
    uint32_t* lockedPixels = nullptr;

    // Guarded by the surface lock.
    int32_t pendingWidth = 0, pendingHeight = 0;
    bool resizePending = false;

    // Stored by other threads without the lock, one whole word at a time; the request
    // flag is written last and read first, so the mode it asks for is complete.
    std::atomic<int32_t> modeWidth{0}, modeHeight{0}, doublingShift{0};
    std::atomic<int32_t> fullscreenRequested{0}, fullscreenCurrent{0};
};

FrameSurface surface;
std::mutex surfaceLock;

void ReleaseSurfaces() {
    surface.backBuffer.reset();
    surface.primary.reset();
    surface.offscreen.reset();
    surface.lockedPixels = nullptr;
}

void LeaveFullscreen() {
    surface.device->SetNormalLevel(surface.window);
    surface.backBuffer.reset();
    surface.primary.reset();
    surface.device->RestoreDesktopMode();
}

// A switch that fails part way goes back to the normal level and, once the mode was
// changed, to the desktop's own mode, so a failed attempt never leaves the screen stuck.
bool EnterFullscreen() {
    const int32_t shift = surface.doublingShift, width = surface.modeWidth, height = surface.modeHeight;
    surface.pendingWidth = width >> shift;
    surface.pendingHeight = height >> shift;
    surface.resizePending = true;

    DisplayDevice& device = *surface.device;
    bool entered = false;
    if (device.SetExclusiveLevel(surface.window)) {
        const bool modeSet = device.SetDisplayMode(width, height, kFramePixelFormat.bitsPerPixel);
        if (modeSet) {
            surface.primary = device.CreateFlippingPrimary();
            if (surface.primary) surface.backBuffer = device.AttachedBackBuffer(*surface.primary);
            if (!surface.backBuffer) surface.primary.reset();
            entered = surface.backBuffer != nullptr;
        }
        if (!entered) {
            device.SetNormalLevel(surface.window);
            if (modeSet) device.RestoreDesktopMode();
        }
        // Only a switch that got as far as the new mode brings the window forward.
        if (modeSet) device.BringToForeground(surface.window);
    }
    if (entered) device.HideCursor();
    return entered;
}

void SwitchModeIfRequested() {
    const int32_t requested = surface.fullscreenRequested;
    if (requested == surface.fullscreenCurrent) return;
    if (!requested) {
        LeaveFullscreen();
        surface.fullscreenCurrent = 0;
        return;
    }
    const bool entered = EnterFullscreen();
    // A failed switch withdraws its own request, not one made since.
    int32_t expected = 1;
    if (!entered) surface.fullscreenRequested.compare_exchange_strong(expected, 0);
    surface.fullscreenCurrent = entered ? 1 : 0;
}

// False when the surface could not be made; the size then stays pending.
bool ApplyPendingSize() {
    const bool sizeChanges =
        surface.pendingWidth != surface.currentWidth || surface.pendingHeight != surface.currentHeight;
    // A surface lost to an earlier failed re-creation is made again even at the same size.
    if (surface.resizePending && (sizeChanges || !surface.offscreen)) {
        surface.offscreen.reset();
        surface.offscreen =
            surface.device->CreateOffscreenSurface(surface.pendingWidth, surface.pendingHeight, kFramePixelFormat);
        if (!surface.offscreen) return false;
        surface.currentWidth = surface.pendingWidth;
        surface.currentHeight = surface.pendingHeight;
    }
    surface.resizePending = false;
    return true;
}
}  // namespace

int CreateSurfaces(int32_t width, int32_t height, WindowHandle window) {
    std::lock_guard<std::mutex> lock(surfaceLock);
    ReleaseSurfaces();
    DisplayDriver* driver = displayDriver();
    surface.device = driver ? driver->CreateDevice() : nullptr;
    if (!surface.device) {
        shell().ShowMessage(window, "Error creating ddraw object", "DDraw");
        return 1;
    }
    surface.fullscreenCurrent = 0;
    surface.window = window;
    surface.currentWidth = width;
    surface.currentHeight = height;
    surface.device->SetNormalLevel(window);
    surface.offscreen = surface.device->CreateOffscreenSurface(width, height, kFramePixelFormat);
    if (!surface.offscreen) {
        surface.device.reset();
        shell().ShowMessage(window, "Error creating surfaces", "DDraw");
        return 1;
    }
    return 0;
}

void DestroySurfaces() {
    std::lock_guard<std::mutex> lock(surfaceLock);
    // Stopping in full screen gives the desktop back its mode and the host its cursor (Escape
    // shows it through the window; a stop never passes there), and the next start opens
    // windowed instead of repeating an old request.
    if (surface.device && surface.fullscreenCurrent) {
        LeaveFullscreen();
        surface.device->ShowCursor();
    }
    ReleaseSurfaces();
    surface.device.reset();
    surface.fullscreenRequested = 0;
    surface.fullscreenCurrent = 0;
    surface.resizePending = false;
}

void RequestResize(int32_t width, int32_t height) {
    if (IsFullscreen()) return;
    std::lock_guard<std::mutex> lock(surfaceLock);
    // Unsigned, so that no width can overflow on the way to a multiple of 4.
    const int32_t rounded = int32_t((uint32_t(width) + 3u) & ~3u);
    surface.pendingWidth = rounded < kMinimumSide ? kMinimumSide : rounded;
    surface.pendingHeight = height < kMinimumSide ? kMinimumSide : height;
    surface.resizePending = true;
}

void RequestDisplayMode(int32_t fullscreen, int32_t modeWidth, int32_t modeHeight, int32_t doublingShift) {
    surface.modeWidth = modeWidth;
    surface.modeHeight = modeHeight;
    // Doubling is on or off; a damaged setting must not become a wild shift count.
    surface.doublingShift = doublingShift != 0 ? 1 : 0;
    surface.fullscreenRequested = fullscreen;
}

int IsFullscreen() { return surface.fullscreenCurrent || surface.fullscreenRequested ? 1 : 0; }

void ClearFrame(uint32_t colour) {
    if (surface.offscreen) surface.offscreen->Fill(colour);
}

uint32_t* BeginFrame(int32_t* width, int32_t* height) {
    {
        std::lock_guard<std::mutex> lock(surfaceLock);
        if (!surface.device) return nullptr;
        SwitchModeIfRequested();
        if (!ApplyPendingSize()) return nullptr;
    }
    *width = surface.currentWidth;
    *height = surface.currentHeight;
    if (!surface.offscreen) return nullptr;
    surface.lockedPixels = surface.offscreen->Lock();
    return surface.lockedPixels;
}

void PresentFrame() {
    if (!surface.offscreen || !surface.lockedPixels) return;
    uint32_t* const pixels = surface.lockedPixels;
    surface.lockedPixels = nullptr;
    if (!surface.offscreen->Unlock(pixels)) return;
    if (surface.fullscreenCurrent) {
        if (!surface.backBuffer) return;
        const BlitResult blit =
            surface.backBuffer->StretchFrom(*surface.offscreen, surface.currentWidth, surface.currentHeight);
        if (blit == BlitResult::surfaceLost) {
            surface.backBuffer->Restore();
            surface.primary->Restore();
            return;
        }
        surface.primary->Flip();
        return;
    }
    surface.device->CopyToWindow(*surface.offscreen, surface.window, surface.currentWidth, surface.currentHeight);
}

void ListDisplayModes(const std::function<void(const char* text)>& addItem) {
    if (!surface.device) return;
    surface.device->EnumerateModes([&](const DisplayMode& mode) {
        if (!SameFormat(mode.format, kFramePixelFormat)) return;
        char text[32];
        std::snprintf(text, sizeof text, "%dx%d 32BPP", mode.width, mode.height);
        addItem(text);
    });
}
