#include "apps/qelv/play/fullscreen_modes.h"

#include <algorithm>

#include "apps/qelv/render/render_options.h"
#include "output/frame_surface.h"
#include "output/output_window.h"

FullscreenModes::FullscreenModes(const std::vector<WindowSize>& displayModes) : modes(displayModes) {
    display.modes.clear();
    for (const WindowSize& size : modes) display.modes.push_back({size.width, size.height, kFramePixelFormat});
    InstallDisplayDriver(&display);
    CreateSurfaces(kMinimumSide, kMinimumSide, nullptr);
}

FullscreenModes::~FullscreenModes() {
    DestroySurfaces();
    InstallDisplayDriver(nullptr);
}

FullscreenLook FullscreenModes::Look(int32_t pixelSize) const {
    FullscreenLook look;
    const WindowSize chosen{windowSettings.fsW, windowSettings.fsH};
    if (std::find(modes.begin(), modes.end(), chosen) != modes.end()) look.mode = {chosen.width, chosen.height};
    look.pixelSize = pixelSize > 0 ? pixelSize : windowSettings.fsD != 0 ? 2 : 1;
    return look;
}
