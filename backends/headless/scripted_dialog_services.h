#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/dialog_services.h"

// Choosers that answer from a script and record what they were asked: for tests.
class ScriptedDialogServices final : public DialogServices {
public:
    struct FileQuestion {
        bool save;
        FileDialogRequest request;
        std::vector<std::pair<std::string, std::string>> filters;  // name, pattern
        std::string title, defaultExtension;
    };
    struct ColourQuestion {
        WindowHandle owner;
        uint32_t initial;
    };

    bool ChooseOpenFile(const FileDialogRequest& request, std::string& path) override;
    bool ChooseSaveFile(const FileDialogRequest& request, std::string& path) override;
    bool ChooseColour(WindowHandle owner, uint32_t& colour, uint32_t customColours[16]) override;
    std::string WorkingDirectory() override { return currentDirectory; }
    void SetWorkingDirectory(const std::string& directory) override { currentDirectory = directory; }
    std::string ModuleFileName(InstanceHandle) override { return moduleFileName; }
    bool IsDirectory(const std::string& path) override { return directories.count(path) != 0; }

    // Answers in order; no answer left (or nullopt) means the user cancelled.
    std::deque<std::optional<std::string>> fileAnswers;
    std::deque<std::optional<uint32_t>> colourAnswers;
    // Runs while a chooser is open, as the user's time in it.
    std::function<void()> whileOpen;
    // Where a file chooser leaves the process's current directory, as real ones may.
    std::string directoryAfterChooser = "C:\\Chooser";

    std::vector<FileQuestion> fileQuestions;
    std::vector<ColourQuestion> colourQuestions;
    std::vector<uint32_t*> customColourTables;
    std::string currentDirectory = "C:\\Host";
    std::string moduleFileName = "C:\\Host\\Plugins\\qelv.dll";
    std::set<std::string> directories;  // the folders that exist

private:
    bool AnswerFile(bool save, const FileDialogRequest& request, std::string& path);
};
