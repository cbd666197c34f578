#include "host/preset_library.h"

#include <algorithm>
#include <filesystem>

#include "host/path_extension.h"

namespace fs = std::filesystem;

namespace {
bool IsFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}
}  // namespace

std::vector<std::string> PresetLibraryFolders() {
    std::error_code error;
    const fs::path tool = fs::read_symlink("/proc/self/exe", error);
    return PresetLibraryFolders(error ? std::string() : (tool.parent_path().parent_path() / QELV_PRESET_INSTALL_DIR).string());
}

std::vector<std::string> PresetLibraryFolders(const std::string& installed) {
    std::vector<std::string> folders;
    if (!installed.empty()) folders.push_back(installed);
    folders.push_back(QELV_SOURCE_PRESETS);
    return folders;
}

std::string PresetFolderFromLibraryFolder(const std::string& libraryFolder) {
    return (fs::path(libraryFolder) / QELV_PRESETS_FROM_LIBDIR).lexically_normal().string();
}

std::string FindShippedPreset(const std::string& name, const std::vector<std::string>& folders) {
    if (name.empty() || fs::path(name).has_parent_path()) return {};
    for (const std::string& folder : folders)
        for (const char* extension : {"", ".qlp", ".json"}) {
            const fs::path candidate = fs::path(folder) / (name + extension);
            if (IsFile(candidate)) return candidate.string();
        }
    return {};
}

std::string FindPreset(const std::string& given, const std::vector<std::string>& folders) {
    if (given.empty() || IsFile(given)) return given;
    const std::string shipped = FindShippedPreset(given, folders);
    return shipped.empty() ? given : shipped;
}

std::vector<std::string> PresetFilesIn(const std::string& folder) {
    std::vector<std::string> paths;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (PathExtension(it->path().string()) == ".qlp" && it->is_regular_file(error))
            paths.push_back(it->path().string());
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::string LibraryFolder(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders)
        if (!PresetFilesIn(folder).empty()) return folder;
    return {};
}

std::string PresetName(const std::string& path) { return fs::path(path).stem().string(); }
