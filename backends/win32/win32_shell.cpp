#include <windows.h>

#include <string>

#include "platform/shell.h"
#include "backends/win32/win32_display.h"
#include "backends/win32/win32_window.h"

namespace {
// Full path of the host's executable (the process's main module).
std::string HostExecutablePath() {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

class Win32Shell final : public Shell {
public:
    void ShowMessage(WindowHandle owner, const char* text, const char* caption) override {
        MessageBoxA(static_cast<HWND>(owner), text, caption, MB_OK);
    }

    std::string ProgramFilePath(const char* fileName) override {
        std::string path = HostExecutablePath();
        const size_t slash = path.find_last_of('\\');
        if (slash == std::string::npos) return {};
        return path.substr(0, slash) + "\\" + fileName;
    }

    // The host's settings file: its executable's path with the extension "ini", read and
    // written through the profile API so that the host's own sections stay intact.
    int ReadSetting(const char* section, const char* key, int fallback) override {
        return int(GetPrivateProfileIntA(section, key, fallback, SettingsPath().c_str()));
    }

    void WriteSetting(const char* section, const char* key, int value) override {
        char text[16];
        wsprintfA(text, "%d", value);
        WritePrivateProfileStringA(section, key, text, SettingsPath().c_str());
    }

    bool WriteFileAtomically(const char* path, const void* bytes, size_t count) override {
        const std::string temporary = std::string(path) + ".new";
        HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        // Flushed before the move, so that the file renamed into place holds the bytes.
        bool complete = WriteFile(file, bytes, DWORD(count), &written, nullptr) && written == count &&
                        FlushFileBuffers(file);
        complete = CloseHandle(file) && complete;
        if (complete)
            complete = MoveFileExA(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        if (!complete) DeleteFileA(temporary.c_str());
        return complete;
    }

private:
    static std::string SettingsPath() {
        std::string path = HostExecutablePath();
        const size_t dot = path.find_last_of('.');
        return dot == std::string::npos ? path + ".ini" : path.substr(0, dot + 1) + "ini";
    }
};

Win32Shell win32Shell;
}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        InstallShell(&win32Shell);
        InstallDisplayDriver(&Win32Display());
        InstallWindowSystem(&Win32Windows());
    }
    return TRUE;
}
