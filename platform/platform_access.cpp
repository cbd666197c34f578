#include "platform/display_device.h"
#include "platform/window_system.h"

// Installed by the platform before Init; until then no window or surface can be made.
namespace {
DisplayDriver* currentDisplayDriver = nullptr;
WindowSystem* currentWindowSystem = nullptr;
}  // namespace

DisplayDriver* displayDriver() { return currentDisplayDriver; }
void InstallDisplayDriver(DisplayDriver* driver) { currentDisplayDriver = driver; }

WindowSystem* windowSystem() { return currentWindowSystem; }
void InstallWindowSystem(WindowSystem* system) { currentWindowSystem = system; }
