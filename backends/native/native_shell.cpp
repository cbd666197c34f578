#include "backends/native/native_shell.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

#include "player/input_file.h"
#include "player/output_file.h"
#include "backends/native/tool_messages.h"

namespace {
std::string DefaultDirectory() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) return std::string(xdg) + "/qelv";
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.config/qelv";
    return {};
}

std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

// A settings file is a few hundred bytes; one far larger is read only this far, and then
// never written back, so that nothing beyond is lost.
constexpr size_t kMaxSettingsBytes = size_t(1) << 20;

// False, with the problem, for a file that is there but cannot be read; none is empty.
bool ReadLines(const std::string& path, std::vector<std::string>& lines, bool& whole, std::string& problem) {
    lines.clear();
    whole = true;
    struct stat status{};
    if (stat(path.c_str(), &status) != 0 && errno == ENOENT) return true;
    std::vector<uint8_t> bytes;
    bool cut = false;
    if (!ReadWholeFile(path, kMaxSettingsBytes, bytes, cut, problem)) return false;
    whole = !cut;
    std::istringstream split(std::string(bytes.begin(), bytes.end()));
    for (std::string line; std::getline(split, line);) lines.push_back(line);
    return true;
}

// Index of the line holding key in section, or of the section header when only the
// section exists; -1 for neither.
struct Place {
    int sectionLine = -1, keyLine = -1, sectionEnd = -1;
};

Place Find(const std::vector<std::string>& lines, const std::string& section, const std::string& key) {
    Place place;
    bool inside = false;
    for (int i = 0; i < int(lines.size()); ++i) {
        const std::string line = Trim(lines[size_t(i)]);
        if (!line.empty() && line.front() == '[') {
            if (inside) return place;
            inside = line == "[" + section + "]";
            if (inside) place.sectionLine = place.sectionEnd = i;
            continue;
        }
        if (!inside) continue;
        if (!line.empty()) place.sectionEnd = i;
        const size_t eq = line.find('=');
        if (eq != std::string::npos && Trim(line.substr(0, eq)) == key) place.keyLine = i;
    }
    return place;
}
}  // namespace

NativeShell::NativeShell(std::string configDirectory)
    : directory(configDirectory.empty() ? DefaultDirectory() : std::move(configDirectory)) {}

void NativeShell::ShowMessage(WindowHandle, const char* text, const char* caption) {
    std::fprintf(ToolMessages(), "%s: %s\n", caption, text);
}

std::string NativeShell::ProgramFilePath(const char* fileName) {
    if (directory.empty()) return {};
    std::error_code ignored;
    std::filesystem::create_directories(directory, ignored);
    return directory + "/" + fileName;
}

void NativeShell::Report(const std::string& problem) {
    if (problem == reported) return;
    std::fprintf(ToolMessages(), "qelv: %s\n", problem.c_str());
    reported = problem;
}

int NativeShell::ReadSetting(const char* section, const char* key, int fallback) {
    if (directory.empty()) return fallback;
    std::vector<std::string> lines;
    bool whole = true;
    std::string problem;
    if (!ReadLines(directory + "/qelv.ini", lines, whole, problem)) {
        Report(problem);
        return fallback;
    }
    const Place place = Find(lines, section, key);
    if (place.keyLine < 0) return fallback;
    const std::string& line = lines[size_t(place.keyLine)];
    // Like the profile API: leading digits (with a sign) count, anything else reads as 0.
    return int(std::strtol(Trim(line.substr(line.find('=') + 1)).c_str(), nullptr, 10));
}

void NativeShell::WriteSetting(const char* section, const char* key, int value) {
    const std::string path = ProgramFilePath("qelv.ini");
    if (path.empty()) return;
    std::vector<std::string> lines;
    bool whole = true;
    std::string problem;
    if (!ReadLines(path, lines, whole, problem)) return Report(problem);
    if (!whole) return;
    const Place place = Find(lines, section, key);
    const std::string entry = std::string(key) + "=" + std::to_string(value);
    if (place.keyLine >= 0) {
        lines[size_t(place.keyLine)] = entry;
    } else if (place.sectionLine >= 0) {
        lines.insert(lines.begin() + place.sectionEnd + 1, entry);
    } else {
        lines.push_back("[" + std::string(section) + "]");
        lines.push_back(entry);
    }
    std::string text;
    for (const std::string& line : lines) text += line + '\n';
    // Written beside and renamed over it: a failed write keeps the old settings.
    WriteFileAtomically(path.c_str(), text.data(), text.size());
}

bool NativeShell::WriteFileAtomically(const char* path, const void* bytes, size_t count) {
    std::string problem;
    if (WriteWholeFile(path, bytes, count, problem, DeviceOutput::Refused)) return true;
    Report(problem);
    return false;
}
