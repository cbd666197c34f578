#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <string>

#include "platform/dialog_services.h"

namespace {
constexpr int kPathChars = MAX_PATH;

// "name\0pattern\0...\0\0", the form the file choosers take.
std::string FilterText(const FileDialogRequest& request) {
    std::string text;
    for (int i = 0; i < request.filterCount; ++i) {
        text += request.filters[i].name;
        text += '\0';
        text += request.filters[i].pattern;
        text += '\0';
    }
    text += '\0';
    return text;
}

DWORD FlagsOf(unsigned flags) {
    return (flags & kFileExplorerStyle ? OFN_EXPLORER : 0) | (flags & kFileHideReadOnly ? OFN_HIDEREADONLY : 0) |
           (flags & kFileOverwritePrompt ? OFN_OVERWRITEPROMPT : 0);
}

bool RunFileDialog(const FileDialogRequest& request, std::string& path, bool save) {
    const std::string filter = FilterText(request);
    char file[kPathChars + 1] = {};
    std::strncpy(file, request.initialFile.c_str(), kPathChars - 1);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = static_cast<HWND>(request.owner);
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file;
    dialog.nMaxFile = kPathChars - 1;
    dialog.lpstrInitialDir = request.initialDirectory.c_str();
    dialog.lpstrTitle = request.title;
    dialog.lpstrDefExt = request.defaultExtension;
    dialog.Flags = FlagsOf(request.flags);
    if (!(save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog))) return false;
    path = file;
    return true;
}

class Win32DialogServices final : public DialogServices {
public:
    bool ChooseOpenFile(const FileDialogRequest& request, std::string& path) override {
        return RunFileDialog(request, path, false);
    }
    bool ChooseSaveFile(const FileDialogRequest& request, std::string& path) override {
        return RunFileDialog(request, path, true);
    }

    bool ChooseColour(WindowHandle owner, uint32_t& colour, uint32_t customColours[16]) override {
        COLORREF custom[16];
        for (int i = 0; i < 16; ++i) custom[i] = customColours[i];
        CHOOSECOLORA chooser{};
        chooser.lStructSize = sizeof chooser;
        chooser.hwndOwner = static_cast<HWND>(owner);
        chooser.rgbResult = colour;
        chooser.lpCustColors = custom;
        chooser.Flags = CC_RGBINIT | CC_FULLOPEN;
        const bool confirmed = ChooseColorA(&chooser) != 0;
        for (int i = 0; i < 16; ++i) customColours[i] = custom[i];
        if (confirmed) colour = chooser.rgbResult;
        return confirmed;
    }

    std::string WorkingDirectory() override {
        char directory[kPathChars + 1] = {};
        GetCurrentDirectoryA(kPathChars, directory);
        return directory;
    }
    void SetWorkingDirectory(const std::string& directory) override { SetCurrentDirectoryA(directory.c_str()); }
    bool IsDirectory(const std::string& path) override {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    std::string ModuleFileName(InstanceHandle instance) override {
        char path[kPathChars + 1] = {};
        GetModuleFileNameA(static_cast<HMODULE>(instance), path, kPathChars);
        return path;
    }
};

Win32DialogServices win32DialogServices;
const bool installed = (InstallDialogServices(&win32DialogServices), true);
}  // namespace
