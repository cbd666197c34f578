#include "host/lifecycle.h"
#include "host/sample_intake.h"
#include "host/vis_module.h"

const char kPluginTitle[] = "Qelv 5.0 preview 2";

namespace {
VisModule visModule = {
    kPluginTitle, nullptr, nullptr, 0, 0, 0,
    14,  // delay hint the host reads
    2, 2, {}, {}, Config, Init, Render, Quit, nullptr,
};
PluginHeader pluginHeader = {0x101, kPluginTitle, moduleAt};
}  // namespace

VisModule* moduleAt(int32_t index) { return index == 0 ? &visModule : nullptr; }

extern "C" PluginHeader* vambloVisGetHeader() { return &pluginHeader; }
