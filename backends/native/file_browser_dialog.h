#pragma once
#include <string>
#include <vector>

#include "backends/native/file_browser.h"
#include "backends/native/recent_folders.h"

// The file chooser's face, drawn with Dear ImGui inside a modal popup one frame at a time:
// the folder as a path box and clickable segments, the recent folders, the listing, the
// filter, a file-name box, OK and Cancel (Enter and Escape).
class FileBrowserDialog {
public:
    struct Setup {
        std::string folder;  // where it starts
        std::string name;    // what the file-name box starts with
        std::vector<BrowserFilter> filters;
        std::string defaultExtension;  // without the dot
        bool saving = false;
        bool confirmOverwrite = false;
        std::vector<std::string> recent;
    };
    explicit FileBrowserDialog(Setup setup);

    // One frame of the chooser: 1 once a file is chosen (chosenPath()), -1 when cancelled,
    // 0 while it stays open.
    int Draw();
    const std::string& chosenPath() const { return chosen; }

private:
    void DrawFolderRow();
    int DrawListing();  // 1 when a file was double-clicked and taken
    int DrawAnswerRow();
    void FolderChanged();
    // Acts on the file-name box: enters a folder it names or settles on a file.
    int Accept();
    std::string TypedName() const;

    Setup setup;
    FileBrowser browser;
    std::string folderText, nameText, note, chosen;
    // The listed file last clicked: its bytes stand for its shown name while the box holds it.
    std::string pickedName, pickedLabel;
    bool askingToReplace = false, enterForAnswer = false;
};
