#include "plugin/lifecycle.h"
#include "core/vis_module.h"

const char kPluginTitle[] = "Qelv 5.0 preview 2";

namespace {
// No exception may reach the host: every entry point it calls ends here at the latest.
void ConfigEntry(VisModule* module) noexcept { Config(module); }

int32_t InitEntry(VisModule* module) noexcept {
    try {
        return Init(module);
    } catch (...) {
        return 1;
    }
}

int32_t RenderEntry(VisModule* module) noexcept {
    try {
        return pluginEngine.intake.Render(module);
    } catch (...) {
        return 0;
    }
}

void QuitEntry(VisModule* module) noexcept {
    try {
        Quit(module);
    } catch (...) {
    }
}

VisModule visModule = {
    kPluginTitle, nullptr, nullptr, 0, 0, 0,
    14,  // delay hint the host reads
    2, 2, {}, {}, ConfigEntry, InitEntry, RenderEntry, QuitEntry, nullptr,
};
PluginHeader pluginHeader = {0x101, kPluginTitle, moduleAt};
}  // namespace

VisModule* moduleAt(int32_t index) { return index == 0 ? &visModule : nullptr; }

extern "C" PluginHeader* vambloVisGetHeader() { return &pluginHeader; }
