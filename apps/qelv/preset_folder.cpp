#include "apps/qelv/preset_folder.h"

#include <algorithm>
#include <filesystem>

#include "apps/qelv/render_options.h"

namespace fs = std::filesystem;

PresetFolder::PresetFolder(const std::string& presetPath) {
    const fs::path given(presetPath);
    const fs::path folder = given.parent_path();
    std::vector<std::string> names;
    std::error_code error;  // an unreadable folder leaves just the given preset
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (OutputExtension(name) == ".qlp" && it->is_regular_file(error)) names.push_back(name);
    }
    const std::string givenName = given.filename().string();
    if (std::find(names.begin(), names.end(), givenName) == names.end()) names.push_back(givenName);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) paths.push_back((folder / name).string());
    index = size_t(std::find(names.begin(), names.end(), givenName) - names.begin());
}

const std::string& PresetFolder::Step(int step) {
    const auto count = int64_t(paths.size());
    index = size_t(((int64_t(index) + step) % count + count) % count);
    return paths[index];
}
