#pragma once
#include <string>

#include "platform/shell.h"

// The Linux desktop's shell: messages go to standard error; the autosave file and the
// settings file ("qelv.ini") live in $XDG_CONFIG_HOME/qelv (~/.config/qelv by default).
// Its files are regular files or none: one that cannot be read or written is left as it
// is, and standard error says why, once.
class NativeShell final : public Shell {
public:
    // configDirectory empty: the XDG rule above.
    explicit NativeShell(std::string configDirectory = {});
    void ShowMessage(WindowHandle owner, const char* text, const char* caption) override;
    std::string ProgramFilePath(const char* fileName) override;
    int ReadSetting(const char* section, const char* key, int fallback) override;
    void WriteSetting(const char* section, const char* key, int value) override;
    bool WriteFileAtomically(const char* path, const void* bytes, size_t count) override;

private:
    void Report(const std::string& problem);

    std::string directory;
    std::string reported;  // the last problem told, not told again
};
