#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "core/frame_types.h"

// The display operations the frame surface needs, shaped after a classic display API:
// a display object with cooperative levels and modes, and surfaces that can be locked,
// filled, stretched, flipped and restored. One implementation per platform.

struct PixelFormat {
    bool rgb;
    int32_t bitsPerPixel;
    uint32_t redMask, greenMask, blueMask;
};

// The only format the frame buffer uses: 0x00RRGGBB words.
constexpr PixelFormat kFramePixelFormat{true, 32, 0xff0000, 0xff00, 0xff};

constexpr bool SameFormat(const PixelFormat& a, const PixelFormat& b) {
    return a.rgb == b.rgb && a.bitsPerPixel == b.bitsPerPixel && a.redMask == b.redMask &&
           a.greenMask == b.greenMask && a.blueMask == b.blueMask;
}

struct DisplayMode {
    int32_t width, height;
    PixelFormat format;
};

enum class BlitResult { ok, failed, surfaceLost };

// A surface; destroying it releases it.
class DisplaySurface {
public:
    virtual ~DisplaySurface() = default;
    // The whole surface, waiting while it is busy; rows of width x 4 bytes. Null on failure.
    virtual uint32_t* Lock() = 0;
    virtual bool Unlock(uint32_t* pixels) = 0;
    virtual bool Fill(uint32_t colour) = 0;
    // Stretches (0, 0, width, height) of source onto the whole of this surface, waiting.
    virtual BlitResult StretchFrom(DisplaySurface& source, int32_t width, int32_t height) = 0;
    virtual BlitResult Flip() = 0;
    virtual bool Restore() = 0;
};

// The display object; destroying it releases it. Its surfaces are released first.
class DisplayDevice {
public:
    virtual ~DisplayDevice() = default;
    virtual bool SetNormalLevel(WindowHandle window) = 0;
    virtual bool SetExclusiveLevel(WindowHandle window) = 0;  // exclusive and full screen
    virtual bool SetDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel) = 0;
    // A system-memory off-screen surface of exactly this size and format.
    virtual std::unique_ptr<DisplaySurface> CreateOffscreenSurface(int32_t width, int32_t height,
                                                                   const PixelFormat& format) = 0;
    // The full-screen primary surface with one back buffer, and that back buffer.
    virtual std::unique_ptr<DisplaySurface> CreateFlippingPrimary() = 0;
    virtual std::unique_ptr<DisplaySurface> AttachedBackBuffer(DisplaySurface& primary) = 0;
    // Copies (0, 0, width, height) of the surface unscaled to (0, 0) of the window's client area.
    virtual void CopyToWindow(DisplaySurface& surface, WindowHandle window, int32_t width, int32_t height) = 0;
    virtual void EnumerateModes(const std::function<void(const DisplayMode&)>& visit) = 0;
    virtual void RestoreDesktopMode() = 0;
    virtual void BringToForeground(WindowHandle window) = 0;
    virtual void HideCursor() = 0;
    virtual void ShowCursor() = 0;
};

class DisplayDriver {
public:
    virtual ~DisplayDriver() = default;
    // A new display object on the default display, or null when none can be made.
    virtual std::unique_ptr<DisplayDevice> CreateDevice() = 0;
};

// The driver in force; null until a platform installs one (then no surface can be made).
DisplayDriver* displayDriver();
void InstallDisplayDriver(DisplayDriver* driver);
