#pragma once
#include <functional>
#include <string>
#include <vector>

#include "backends/native/file_browser.h"
#include "backends/native/recent_folders.h"
#include "platform/dialog_services.h"

// Choosers as ImGui popups. The callers wait for an answer, so each chooser runs its
// own frames through runModal until the user confirms or cancels; a chooser that is
// left without an answer (the window was closed) counts as cancelled.
class ImGuiDialogServices final : public DialogServices {
public:
    using RunModal = std::function<void(const std::function<bool()>& popup)>;
    struct Places {
        // Where the file chooser starts when the caller names no folder and none was used yet.
        std::string startFolder;
        // The recent-folders file; empty keeps the list for this run only.
        std::string recentFile;
        // Patterns the Open chooser offers beside a filter's "*.qlp", for the other forms of
        // a preset that the tool reads; Save writes only the one.
        std::vector<std::string> presetPatterns;
    };
    explicit ImGuiDialogServices(RunModal runModal, Places places = {});

    bool ChooseOpenFile(const FileDialogRequest& request, std::string& path) override;
    bool ChooseSaveFile(const FileDialogRequest& request, std::string& path) override;
    bool ChooseColour(WindowHandle owner, uint32_t& colour, uint32_t customColours[16]) override;
    std::string WorkingDirectory() override;
    void SetWorkingDirectory(const std::string& directory) override;
    std::string ModuleFileName(InstanceHandle instance) override;
    bool IsDirectory(const std::string& path) override;

private:
    // Shows body in a modal popup until it answers: 1 confirmed, -1 cancelled, 0 not yet.
    bool Ask(const char* title, const std::function<int()>& body);
    bool ChooseFile(const FileDialogRequest& request, bool saving, std::string& path);
    std::vector<BrowserFilter> Filters(const FileDialogRequest& request, bool saving) const;
    RunModal runModal;
    Places places;
    RecentFolders recent;
};
