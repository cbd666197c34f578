#include "backends/headless/recording_shell.h"

#include <cstdio>
#include <filesystem>

void RecordingShell::ShowMessage(WindowHandle owner, const char* text, const char* caption) {
    messages.push_back({owner, text, caption});
}

std::string RecordingShell::ProgramFilePath(const char* fileName) {
    return directory.empty() ? std::string() : directory + "/" + fileName;
}

int RecordingShell::ReadSetting(const char* section, const char* key, int fallback) {
    auto it = settings.find(std::string(section) + "/" + key);
    return it == settings.end() ? fallback : it->second;
}

void RecordingShell::WriteSetting(const char* section, const char* key, int value) {
    settings[std::string(section) + "/" + key] = value;
}

bool RecordingShell::WriteFileAtomically(const char* path, const void* bytes, size_t count) {
    namespace fs = std::filesystem;
    std::error_code code;
    // A device or a pipe is written directly: renaming over it would remove it.
    const fs::file_status status = fs::status(path, code);
    const bool direct = fs::exists(status) && !fs::is_regular_file(status);
    const std::string writing = direct ? std::string(path) : std::string(path) + ".new";
    std::FILE* file = std::fopen(writing.c_str(), "wb");
    if (!file) return false;
    const bool cut = failWriteAfter >= 0 && size_t(failWriteAfter) < count;
    const size_t n = cut ? size_t(failWriteAfter) : count;
    bool written = std::fwrite(bytes, 1, n, file) == n && !cut;
    written = std::fclose(file) == 0 && written;
    if (direct) return written;
    if (written) fs::rename(writing, path, code);
    if (written && !code) return true;
    fs::remove(writing, code);
    return false;
}
