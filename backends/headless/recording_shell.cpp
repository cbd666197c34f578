#include "backends/headless/recording_shell.h"

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
