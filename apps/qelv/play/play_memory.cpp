#include "apps/qelv/play/play_memory.h"

#include <climits>
#include <cstdio>
#include <filesystem>
#include <string>

#include "host/preset_loading.h"
#include "apps/qelv/render/render_options.h"
#include "output/output_window.h"
#include "engine/autosave.h"
#include "platform/shell.h"
#include "backends/native/tool_messages.h"

namespace {
// No desktop puts a window there: the settings file has no place yet.
constexpr int32_t kUnplaced = INT32_MIN;

bool SideInRange(int32_t side) { return side >= kMinimumSide && side <= kMaximumSide; }
}  // namespace

bool RestoreChain(EffectChain& chain) {
    const std::string path = shell().ProgramFilePath(kAutosaveFileName);
    std::error_code ignored;
    if (path.empty() || !std::filesystem::exists(std::filesystem::symlink_status(path, ignored))) return false;
    // Read as a preset file the user named, so that a damaged one is told by its path.
    std::string error;
    if (LoadPresetFile(chain, path, error)) return true;
    std::fprintf(ToolMessages(), "qelv play: %s; starting with the built-in chain\n", error.c_str());
    return false;
}

void RememberChain(EffectChain& chain) { SaveAutosave(chain); }

RememberedPlace RestoreWindowPlace(int32_t width, int32_t height) {
    windowSettings.x = windowSettings.y = kUnplaced;
    windowSettings.w = width;
    windowSettings.h = height;
    ReadWindowSettings();
    RememberedPlace remembered{{windowSettings.x, windowSettings.y, windowSettings.w, windowSettings.h},
                               windowSettings.x == kUnplaced || windowSettings.y == kUnplaced};
    if (!SideInRange(remembered.place.width) || !SideInRange(remembered.place.height)) {
        remembered.place.width = width;
        remembered.place.height = height;
    }
    return remembered;
}

void RememberWindowPlace(const SdlPlayerWindow::Place& place) {
    windowSettings.x = place.x;
    windowSettings.y = place.y;
    windowSettings.w = place.width;
    windowSettings.h = place.height;
    WriteWindowSettings();
}
