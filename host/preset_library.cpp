#include "host/preset_library.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

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

std::vector<std::string> PresetFilesInEitherForm(const std::string& folder) {
    std::map<std::string, std::string> byName;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string path = it->path().string(), extension = PathExtension(path);
        if ((extension != ".qlp" && extension != ".json") || !it->is_regular_file(error)) continue;
        std::string& kept = byName[PresetName(path)];
        if (kept.empty() || extension == ".qlp") kept = path;
    }
    std::vector<std::string> paths;
    for (const auto& [name, path] : byName) paths.push_back(path);
    return paths;
}

namespace {
// Letters to change, add or remove to turn one name into the other, letter case aside.
size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            const size_t next = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = row[j];
            row[j] = next;
        }
    }
    return row[b.size()];
}
}  // namespace

std::string NearestPresetHint(const std::string& given, const std::vector<std::string>& folders) {
    if (given.empty() || fs::path(given).has_parent_path() || given.size() > 64 || IsFile(FindPreset(given, folders)))
        return {};
    const std::string asked = PresetName(given);
    // Close enough to be a slip: a third of the name's letters, and at least two.
    const size_t reach = std::max<size_t>(2, asked.size() / 3);
    std::map<size_t, std::vector<std::string>> byDistance;
    for (const std::string& folder : folders)
        for (const std::string& path : PresetFilesInEitherForm(folder)) {
            const std::string name = PresetName(path);
            const size_t distance = EditDistance(asked, name);
            auto& names = byDistance[distance];
            if (distance <= reach && std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
        }
    std::string hint;
    for (const auto& [distance, names] : byDistance)
        for (const std::string& name : names) {
            if (hint.size() > 200) break;
            hint += (hint.empty() ? "" : ", ") + ("'" + name + "'");
        }
    const std::string list = "'qelv preset list' shows the shipped presets";
    return hint.empty() ? "; " + list : "; did you mean " + hint + "? " + list;
}

std::string LibraryFolder(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders)
        if (!PresetFilesIn(folder).empty()) return folder;
    return {};
}

std::string PresetName(const std::string& path) { return fs::path(path).stem().string(); }
