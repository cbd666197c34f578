#pragma once
#include <cstdint>
#include <string>

#include "core/frame_types.h"

// The choosers and process services the control panel and its pages ask of the OS.
// Message boxes are the Shell's.
enum FileDialogFlags : unsigned {
    kFileExplorerStyle = 1,
    kFileHideReadOnly = 2,
    kFileOverwritePrompt = 4,
};

struct FileFilter {
    const char* name;
    const char* pattern;
};

struct FileDialogRequest {
    WindowHandle owner = nullptr;
    std::string initialDirectory;
    std::string initialFile;  // what the file name box starts with
    const FileFilter* filters = nullptr;
    int filterCount = 0;
    const char* title = "";
    const char* defaultExtension = "";
    unsigned flags = 0;
};

class DialogServices {
public:
    virtual ~DialogServices() = default;
    // True and the chosen full path when the user confirms; false when cancelled.
    virtual bool ChooseOpenFile(const FileDialogRequest& request, std::string& path) = 0;
    virtual bool ChooseSaveFile(const FileDialogRequest& request, std::string& path) = 0;
    // The full colour chooser starting at colour (0x00BBGGRR); true and the new colour
    // when confirmed. The 16 custom colours are the caller's and may be changed.
    virtual bool ChooseColour(WindowHandle owner, uint32_t& colour, uint32_t customColours[16]) = 0;
    virtual std::string WorkingDirectory() = 0;
    virtual void SetWorkingDirectory(const std::string& directory) = 0;
    // Full file name of the module behind instance (the plug-in's own file).
    virtual std::string ModuleFileName(InstanceHandle instance) = 0;
    virtual bool IsDirectory(const std::string& path) = 0;
};

// The services in force; without a platform's, every chooser is cancelled.
DialogServices& dialogServices();
void InstallDialogServices(DialogServices* services);
