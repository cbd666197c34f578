#include "platform/shell.h"

namespace {
// Until a platform installs its shell, nothing is shown and nothing is stored.
class SilentShell final : public Shell {
public:
    void ShowMessage(WindowHandle, const char*, const char*) override {}
    std::string ProgramFilePath(const char*) override { return {}; }
    int ReadSetting(const char*, const char*, int fallback) override { return fallback; }
    void WriteSetting(const char*, const char*, int) override {}
    bool WriteFileAtomically(const char*, const void*, size_t) override { return false; }
};
SilentShell silentShell;
Shell* current = &silentShell;
}  // namespace

Shell& shell() { return *current; }
void InstallShell(Shell* s) { current = s ? s : &silentShell; }
