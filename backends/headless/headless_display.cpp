#include "backends/headless/headless_display.h"

#include <new>

namespace {
// Larger sides are refused rather than allocated, as a real display would.
constexpr int32_t kLargestSide = 16384;

std::string SizeText(int32_t width, int32_t height) { return std::to_string(width) + "x" + std::to_string(height); }
}  // namespace

class HeadlessSurface final : public DisplaySurface {
public:
    HeadlessSurface(HeadlessDisplay& display, std::string kind, int32_t width, int32_t height)
        : display(display), kind(std::move(kind)), width(width), height(height),
          pixels(size_t(width) * size_t(height)) {}
    ~HeadlessSurface() override { display.Log("release " + kind); }

    uint32_t* Lock() override {
        std::lock_guard<std::mutex> guard(display.mutex);
        ++display.tally.locks;
        return display.faults.lock ? nullptr : pixels.data();
    }

    bool Unlock(uint32_t* locked) override {
        std::lock_guard<std::mutex> guard(display.mutex);
        ++display.tally.unlocks;
        return !display.faults.unlock && locked == pixels.data();
    }

    bool Fill(uint32_t colour) override {
        {
            std::lock_guard<std::mutex> guard(display.mutex);
            ++display.tally.fills;
        }
        for (uint32_t& p : pixels) p = colour;
        return true;
    }

    // Nearest-pixel stretch: destination pixel (x, y) shows source (x * w / W, y * h / H).
    BlitResult StretchFrom(DisplaySurface& source, int32_t sourceWidth, int32_t sourceHeight) override {
        {
            std::lock_guard<std::mutex> guard(display.mutex);
            ++display.tally.stretches;
            if (display.lost) return BlitResult::surfaceLost;
        }
        const auto& from = static_cast<HeadlessSurface&>(source);
        if (sourceWidth > from.width || sourceHeight > from.height || sourceWidth <= 0 || sourceHeight <= 0)
            return BlitResult::failed;
        for (int32_t y = 0; y < height; ++y) {
            const int64_t sy = int64_t(y) * sourceHeight / height;
            for (int32_t x = 0; x < width; ++x) {
                const int64_t sx = int64_t(x) * sourceWidth / width;
                pixels[size_t(y) * size_t(width) + size_t(x)] = from.pixels[size_t(sy) * size_t(from.width) + size_t(sx)];
            }
        }
        return BlitResult::ok;
    }

    // The primary's one back buffer becomes the visible picture.
    BlitResult Flip() override {
        {
            std::lock_guard<std::mutex> guard(display.mutex);
            ++display.tally.flips;
            if (display.lost) return BlitResult::surfaceLost;
        }
        if (!backBuffer) return BlitResult::failed;
        pixels.swap(backBuffer->pixels);
        display.Present(pixels, width, height);
        return BlitResult::ok;
    }

    bool Restore() override {
        display.Log("restore " + kind);
        std::lock_guard<std::mutex> guard(display.mutex);
        if (kind == "primary") display.lost = false;
        return true;
    }

    HeadlessDisplay& display;
    const std::string kind;
    const int32_t width, height;
    std::vector<uint32_t> pixels;
    HeadlessSurface* backBuffer = nullptr;  // primary only
};

class HeadlessDevice final : public DisplayDevice {
public:
    explicit HeadlessDevice(HeadlessDisplay& display) : display(display) { display.Log("device"); }
    ~HeadlessDevice() override { display.Log("release device"); }

    bool SetNormalLevel(WindowHandle) override { return Step("normal level", display.faults.normalLevel); }
    bool SetExclusiveLevel(WindowHandle) override { return Step("exclusive level", display.faults.exclusiveLevel); }

    bool SetDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel) override {
        bool offered = false;
        for (const DisplayMode& mode : display.modes)
            offered |= mode.width == width && mode.height == height && mode.format.bitsPerPixel == bitsPerPixel;
        if (!Step("display mode " + SizeText(width, height) + "x" + std::to_string(bitsPerPixel),
                  display.faults.displayMode || !offered))
            return false;
        std::lock_guard<std::mutex> guard(display.mutex);
        display.displayWidth = width;
        display.displayHeight = height;
        return true;
    }

    std::unique_ptr<DisplaySurface> CreateOffscreenSurface(int32_t width, int32_t height,
                                                           const PixelFormat& format) override {
        const bool sensible = width > 0 && height > 0 && width <= kLargestSide && height <= kLargestSide &&
                              SameFormat(format, kFramePixelFormat);
        if (!Step("offscreen " + SizeText(width, height), display.faults.offscreen || !sensible)) return nullptr;
        try {
            return std::make_unique<HeadlessSurface>(display, "offscreen " + SizeText(width, height), width, height);
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }

    std::unique_ptr<DisplaySurface> CreateFlippingPrimary() override {
        if (!Step("primary", display.faults.primary)) return nullptr;
        return std::make_unique<HeadlessSurface>(display, "primary", display.DisplayWidth(), display.DisplayHeight());
    }

    std::unique_ptr<DisplaySurface> AttachedBackBuffer(DisplaySurface& primary) override {
        if (!Step("back buffer", display.faults.backBuffer)) return nullptr;
        auto& front = static_cast<HeadlessSurface&>(primary);
        auto back = std::make_unique<HeadlessSurface>(display, "back buffer", front.width, front.height);
        front.backBuffer = back.get();
        return back;
    }

    void CopyToWindow(DisplaySurface& surface, WindowHandle, int32_t width, int32_t height) override {
        {
            std::lock_guard<std::mutex> guard(display.mutex);
            ++display.tally.windowCopies;
        }
        auto& from = static_cast<HeadlessSurface&>(surface);
        if (width != from.width || height != from.height) return;
        display.Present(from.pixels, width, height);
    }

    void EnumerateModes(const std::function<void(const DisplayMode&)>& visit) override {
        for (const DisplayMode& mode : display.modes) visit(mode);
    }

    void RestoreDesktopMode() override {
        display.Log("desktop mode");
        std::lock_guard<std::mutex> guard(display.mutex);
        display.displayWidth = display.desktopWidth;
        display.displayHeight = display.desktopHeight;
    }

    void BringToForeground(WindowHandle) override { display.Log("foreground"); }

    void HideCursor() override {
        display.Log("hide cursor");
        std::lock_guard<std::mutex> guard(display.mutex);
        display.cursorHidden = true;
    }

    void ShowCursor() override {
        display.Log("show cursor");
        std::lock_guard<std::mutex> guard(display.mutex);
        display.cursorHidden = false;
    }

private:
    // Logs the step, marked when it fails; true when it succeeds.
    bool Step(const std::string& operation, bool fail) {
        display.Log(fail ? operation + " failed" : operation);
        return !fail;
    }

    HeadlessDisplay& display;
};

HeadlessDisplay::HeadlessDisplay() : displayWidth(desktopWidth), displayHeight(desktopHeight) {
    const PixelFormat bgr32{true, 32, 0xff, 0xff00, 0xff0000};
    const PixelFormat rgb24{true, 24, 0xff0000, 0xff00, 0xff};
    const PixelFormat rgb16{true, 16, 0xf800, 0x7e0, 0x1f};
    modes = {{320, 240, kFramePixelFormat}, {640, 480, rgb16},        {640, 480, rgb24},
             {640, 480, kFramePixelFormat}, {800, 600, bgr32},        {1024, 768, kFramePixelFormat}};
}

std::unique_ptr<DisplayDevice> HeadlessDisplay::CreateDevice() {
    if (faults.device) {
        Log("device failed");
        return nullptr;
    }
    return std::make_unique<HeadlessDevice>(*this);
}

void HeadlessDisplay::LoseSurfaces() {
    std::lock_guard<std::mutex> guard(mutex);
    lost = true;
}

void HeadlessDisplay::Log(std::string operation) {
    std::lock_guard<std::mutex> guard(mutex);
    operations.push_back(std::move(operation));
}

void HeadlessDisplay::Present(const std::vector<uint32_t>& pixels, int32_t width, int32_t height) {
    std::lock_guard<std::mutex> guard(mutex);
    lastPresented.width = width;
    lastPresented.height = height;
    lastPresented.pixels = pixels;
    ++presented;
}

std::vector<std::string> HeadlessDisplay::Operations() const {
    std::lock_guard<std::mutex> guard(mutex);
    return operations;
}

void HeadlessDisplay::ClearOperations() {
    std::lock_guard<std::mutex> guard(mutex);
    operations.clear();
}

HeadlessDisplay::Counts HeadlessDisplay::FrameCounts() const {
    std::lock_guard<std::mutex> guard(mutex);
    return tally;
}

HeadlessDisplay::Picture HeadlessDisplay::LastPresented() const {
    std::lock_guard<std::mutex> guard(mutex);
    return lastPresented;
}

int HeadlessDisplay::PresentedCount() const {
    std::lock_guard<std::mutex> guard(mutex);
    return presented;
}

int32_t HeadlessDisplay::DisplayWidth() const {
    std::lock_guard<std::mutex> guard(mutex);
    return displayWidth;
}

int32_t HeadlessDisplay::DisplayHeight() const {
    std::lock_guard<std::mutex> guard(mutex);
    return displayHeight;
}

bool HeadlessDisplay::CursorHidden() const {
    std::lock_guard<std::mutex> guard(mutex);
    return cursorHidden;
}
