#pragma once
#include <string>

#include "core/frame_types.h"

// The OS services the engine asks for outside drawing: message boxes, where the host's
// files live, and the host's settings file. One implementation per platform.
class Shell {
public:
    virtual ~Shell() = default;
    // A modal message box with an OK button; owner may be null.
    virtual void ShowMessage(WindowHandle owner, const char* text, const char* caption) = 0;
    // Full path of fileName in the host's program directory (the autosave file's home).
    virtual std::string ProgramFilePath(const char* fileName) = 0;
    // Integer settings of the host's settings file.
    virtual int ReadSetting(const char* section, const char* key, int fallback) = 0;
    virtual void WriteSetting(const char* section, const char* key, int value) = 0;
};

// The shell in force; the platform installs its own before the engine runs.
Shell& shell();
void InstallShell(Shell* shell);
