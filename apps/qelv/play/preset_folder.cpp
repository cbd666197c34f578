#include "apps/qelv/play/preset_folder.h"

#include <algorithm>
#include <filesystem>

#include "host/preset_library.h"

namespace fs = std::filesystem;

PresetFolder::PresetFolder(const std::string& presetPath) {
    const fs::path given(presetPath);
    const fs::path folder = given.parent_path();
    // An unreadable folder leaves just the given preset.
    paths = PresetFilesIn(folder.empty() ? "." : folder.string());
    // Listed under the name as it was given, so that ./x.qlp and x.qlp are one preset.
    for (std::string& path : paths) path = (folder / fs::path(path).filename()).string();
    if (std::find(paths.begin(), paths.end(), presetPath) == paths.end()) {
        paths.push_back(presetPath);
        std::sort(paths.begin(), paths.end());
    }
    index = std::find(paths.begin(), paths.end(), presetPath) - paths.begin();
}

PresetFolder PresetFolder::Library(const std::string& folder) {
    PresetFolder library;
    library.paths = PresetFilesIn(folder);
    return library;
}

const std::string& PresetFolder::Step(int step) {
    const auto count = int64_t(paths.size());
    const int64_t from = index >= 0 ? index : step > 0 ? -1 : 0;
    index = ((from + step) % count + count) % count;
    return paths[size_t(index)];
}

const std::string& PresetFolder::Jump(uint32_t draw) {
    const auto count = int64_t(paths.size());
    if (index < 0 || count == 1) index = int64_t(draw % uint64_t(count));
    else index = (index + 1 + int64_t(draw % uint64_t(count - 1))) % count;
    return paths[size_t(index)];
}
