#include "backends/win32/win32_display.h"

#include <windows.h>
#include <ddraw.h>

#include <vector>

namespace {
HWND AsWindow(WindowHandle window) { return static_cast<HWND>(window); }

class Win32Surface final : public DisplaySurface {
public:
    Win32Surface(IDirectDrawSurface* surface, int32_t width, int32_t height)
        : surface(surface), width(width), height(height) {}
    ~Win32Surface() override { surface->Release(); }

    uint32_t* Lock() override {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return nullptr;
        lockedMemory = static_cast<uint8_t*>(desc.lpSurface);
        lockedPitch = desc.lPitch;
        if (lockedPitch == width * 4) return reinterpret_cast<uint32_t*>(lockedMemory);
        // Rows padded by the driver: lend a packed copy, since a frame's rows must follow
        // each other without gaps.
        packed.resize(size_t(width) * size_t(height));
        for (int32_t y = 0; y < height; ++y)
            CopyMemory(&packed[size_t(y) * size_t(width)], lockedMemory + ptrdiff_t(y) * lockedPitch, size_t(width) * 4);
        return packed.data();
    }

    bool Unlock(uint32_t* pixels) override {
        if (!lockedMemory) return false;
        if (!packed.empty() && pixels == packed.data())
            for (int32_t y = 0; y < height; ++y)
                CopyMemory(lockedMemory + ptrdiff_t(y) * lockedPitch, &packed[size_t(y) * size_t(width)], size_t(width) * 4);
        const bool unlocked = SUCCEEDED(surface->Unlock(lockedMemory));
        lockedMemory = nullptr;
        return unlocked;
    }

    bool Fill(uint32_t colour) override {
        DDBLTFX effect{};
        effect.dwSize = sizeof effect;
        effect.dwFillColor = colour;
        return SUCCEEDED(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &effect));
    }

    BlitResult StretchFrom(DisplaySurface& source, int32_t sourceWidth, int32_t sourceHeight) override {
        RECT rect{0, 0, sourceWidth, sourceHeight};
        return Result(surface->Blt(nullptr, static_cast<Win32Surface&>(source).surface, &rect, DDBLT_WAIT, nullptr));
    }

    BlitResult Flip() override { return Result(surface->Flip(nullptr, DDFLIP_WAIT)); }

    bool Restore() override { return SUCCEEDED(surface->Restore()); }

    IDirectDrawSurface* const surface;

private:
    static BlitResult Result(HRESULT result) {
        if (result == DDERR_SURFACELOST) return BlitResult::surfaceLost;
        return SUCCEEDED(result) ? BlitResult::ok : BlitResult::failed;
    }

    const int32_t width, height;
    uint8_t* lockedMemory = nullptr;
    LONG lockedPitch = 0;
    std::vector<uint32_t> packed;
};

HRESULT WINAPI VisitMode(LPDDSURFACEDESC desc, LPVOID context) {
    const DDPIXELFORMAT& f = desc->ddpfPixelFormat;
    const DisplayMode mode{int32_t(desc->dwWidth), int32_t(desc->dwHeight),
                           {(f.dwFlags & DDPF_RGB) != 0, int32_t(f.dwRGBBitCount), f.dwRBitMask, f.dwGBitMask,
                            f.dwBBitMask}};
    (*static_cast<const std::function<void(const DisplayMode&)>*>(context))(mode);
    return DDENUMRET_OK;
}

class Win32Device final : public DisplayDevice {
public:
    explicit Win32Device(IDirectDraw* directDraw) : directDraw(directDraw) {}
    ~Win32Device() override { directDraw->Release(); }

    bool SetNormalLevel(WindowHandle window) override {
        return SUCCEEDED(directDraw->SetCooperativeLevel(AsWindow(window), DDSCL_NORMAL));
    }

    bool SetExclusiveLevel(WindowHandle window) override {
        return SUCCEEDED(directDraw->SetCooperativeLevel(AsWindow(window), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN));
    }

    bool SetDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel) override {
        return SUCCEEDED(directDraw->SetDisplayMode(DWORD(width), DWORD(height), DWORD(bitsPerPixel)));
    }

    std::unique_ptr<DisplaySurface> CreateOffscreenSurface(int32_t width, int32_t height,
                                                           const PixelFormat& format) override {
        if (width <= 0 || height <= 0) return nullptr;
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
        desc.dwWidth = DWORD(width);
        desc.dwHeight = DWORD(height);
        desc.lPitch = LONG(width) * 4;
        desc.ddpfPixelFormat.dwSize = sizeof desc.ddpfPixelFormat;
        desc.ddpfPixelFormat.dwFlags = format.rgb ? DDPF_RGB : 0;
        desc.ddpfPixelFormat.dwRGBBitCount = DWORD(format.bitsPerPixel);
        desc.ddpfPixelFormat.dwRBitMask = format.redMask;
        desc.ddpfPixelFormat.dwGBitMask = format.greenMask;
        desc.ddpfPixelFormat.dwBBitMask = format.blueMask;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        IDirectDrawSurface* surface = nullptr;
        if (FAILED(directDraw->CreateSurface(&desc, &surface, nullptr))) return nullptr;
        return std::make_unique<Win32Surface>(surface, width, height);
    }

    std::unique_ptr<DisplaySurface> CreateFlippingPrimary() override {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        desc.dwBackBufferCount = 1;
        IDirectDrawSurface* surface = nullptr;
        if (FAILED(directDraw->CreateSurface(&desc, &surface, nullptr))) return nullptr;
        return std::make_unique<Win32Surface>(surface, 0, 0);
    }

    std::unique_ptr<DisplaySurface> AttachedBackBuffer(DisplaySurface& primary) override {
        DDSCAPS caps{DDSCAPS_BACKBUFFER};
        IDirectDrawSurface* back = nullptr;
        if (FAILED(static_cast<Win32Surface&>(primary).surface->GetAttachedSurface(&caps, &back))) return nullptr;
        return std::make_unique<Win32Surface>(back, 0, 0);
    }

    void CopyToWindow(DisplaySurface& surface, WindowHandle window, int32_t width, int32_t height) override {
        // Without a window, GetDC would hand out the whole screen's context.
        if (!window) return;
        HDC windowDc = GetDC(AsWindow(window));
        if (!windowDc) return;
        IDirectDrawSurface* source = static_cast<Win32Surface&>(surface).surface;
        HDC surfaceDc = nullptr;
        if (SUCCEEDED(source->GetDC(&surfaceDc))) {
            BitBlt(windowDc, 0, 0, width, height, surfaceDc, 0, 0, SRCCOPY);
            source->ReleaseDC(surfaceDc);
        }
        ReleaseDC(AsWindow(window), windowDc);
    }

    void EnumerateModes(const std::function<void(const DisplayMode&)>& visit) override {
        directDraw->EnumDisplayModes(0, nullptr, const_cast<std::function<void(const DisplayMode&)>*>(&visit),
                                     VisitMode);
    }

    void RestoreDesktopMode() override { ChangeDisplaySettingsA(nullptr, 0); }
    void BringToForeground(WindowHandle window) override { SetForegroundWindow(AsWindow(window)); }
    void HideCursor() override { ::ShowCursor(FALSE); }
    void ShowCursor() override { ::ShowCursor(TRUE); }

private:
    IDirectDraw* const directDraw;
};

class Win32DisplayDriver final : public DisplayDriver {
public:
    std::unique_ptr<DisplayDevice> CreateDevice() override {
        IDirectDraw* directDraw = nullptr;
        if (FAILED(DirectDrawCreate(nullptr, &directDraw, nullptr)) || !directDraw) return nullptr;
        return std::make_unique<Win32Device>(directDraw);
    }
};

Win32DisplayDriver win32DisplayDriver;
}  // namespace

DisplayDriver& Win32Display() { return win32DisplayDriver; }
