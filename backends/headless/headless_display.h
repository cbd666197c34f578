#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/display_device.h"

// A display in memory for tests and offline rendering. It keeps a log of the structural
// operations (levels, modes, surfaces made and released, restores), counts the per-frame
// ones, keeps the last presented picture, and fails any step on request.
// Tests change faults and modes only while no render thread runs.
class HeadlessDisplay final : public DisplayDriver {
public:
    struct Faults {
        bool device = false;
        bool offscreen = false;
        bool normalLevel = false;
        bool exclusiveLevel = false;
        bool displayMode = false;
        bool primary = false;
        bool backBuffer = false;
        bool lock = false;
        bool unlock = false;
    };
    struct Picture {
        int32_t width = 0, height = 0;
        std::vector<uint32_t> pixels;
    };
    struct Counts {
        int locks = 0, unlocks = 0, fills = 0, stretches = 0, flips = 0, windowCopies = 0;
    };

    HeadlessDisplay();
    std::unique_ptr<DisplayDevice> CreateDevice() override;

    Faults faults;
    std::vector<DisplayMode> modes;        // what the display offers
    int32_t desktopWidth = 1024, desktopHeight = 768;

    // Surfaces are lost until the primary is restored.
    void LoseSurfaces();
    std::vector<std::string> Operations() const;
    void ClearOperations();
    Counts FrameCounts() const;
    // The last picture that reached the window or the screen, and how many did.
    Picture LastPresented() const;
    int PresentedCount() const;
    int32_t DisplayWidth() const;
    int32_t DisplayHeight() const;
    bool CursorHidden() const;

private:
    friend class HeadlessDevice;
    friend class HeadlessSurface;
    void Log(std::string operation);
    void Present(const std::vector<uint32_t>& pixels, int32_t width, int32_t height);

    mutable std::mutex mutex;
    std::vector<std::string> operations;
    Counts tally;
    Picture lastPresented;
    int presented = 0;
    bool lost = false;
    bool cursorHidden = false;
    int32_t displayWidth, displayHeight;
};
