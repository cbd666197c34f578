#pragma once
#include <cstddef>
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
    // Replaces the file at path with count bytes, all or nothing: the bytes go to a
    // temporary file beside it that is renamed over it only once complete, so a full disk
    // or a failed write leaves the previous file as it was. False when the new bytes did
    // not all arrive.
    virtual bool WriteFileAtomically(const char* path, const void* bytes, size_t count) = 0;
};

// The shell in force; the platform installs its own before the engine runs.
Shell& shell();
void InstallShell(Shell* shell);
