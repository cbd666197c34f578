#include "backends/native/imgui_dialog_services.h"

#include <imgui.h>
#include <imgui_stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "backends/native/file_browser_dialog.h"
#include "platform/shell.h"
#include "backends/native/tool_messages.h"

namespace fs = std::filesystem;

bool ImGuiDialogServices::Ask(const char* title, const std::function<int()>& body) {
    const std::string name = std::string(*title ? title : "Qelv") + "###chooser";
    bool opened = false;
    int answer = 0;
    runModal([&] {
        if (!opened) {
            ImGui::OpenPopup(name.c_str());
            opened = true;
        }
        const ImVec2 middle = ImGui::GetMainViewport()->GetCenter();
        ImGui::SetNextWindowPos(middle, ImGuiCond_Appearing, {0.5f, 0.5f});
        if (ImGui::BeginPopupModal(name.c_str(), nullptr, ImGuiWindowFlags_AlwaysAutoResize)) {
            answer = body();
            if (answer) ImGui::CloseCurrentPopup();
            ImGui::EndPopup();
        }
        return answer == 0;
    });
    return answer == 1;
}

namespace {
std::vector<std::string> Split(const std::string& patterns) {
    std::vector<std::string> parts;
    for (size_t start = 0, end; start <= patterns.size(); start = end + 1) {
        end = std::min(patterns.find(';', start), patterns.size());
        if (end > start) parts.push_back(patterns.substr(start, end - start));
    }
    return parts;
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::is_directory(path, error);
}
}  // namespace

ImGuiDialogServices::ImGuiDialogServices(RunModal runModal, Places places)
    : runModal(std::move(runModal)), places(std::move(places)) {
    std::string error;
    if (!this->places.recentFile.empty() && !recent.Read(this->places.recentFile, error))
        std::fprintf(ToolMessages(), "qelv: %s\n", error.c_str());
}

std::vector<BrowserFilter> ImGuiDialogServices::Filters(const FileDialogRequest& request, bool saving) const {
    std::vector<BrowserFilter> filters;
    for (int i = 0; i < request.filterCount; ++i) {
        BrowserFilter filter{request.filters[i].name, Split(request.filters[i].pattern)};
        const auto& patterns = filter.patterns;
        if (!saving && std::find(patterns.begin(), patterns.end(), "*.qlp") != patterns.end())
            filter.patterns.insert(filter.patterns.end(), places.presetPatterns.begin(), places.presetPatterns.end());
        std::string shown;
        for (const std::string& pattern : filter.patterns) shown += (shown.empty() ? "" : ", ") + pattern;
        filter.label += " (" + shown + ")";
        filters.push_back(std::move(filter));
    }
    return filters;
}

bool ImGuiDialogServices::ChooseFile(const FileDialogRequest& request, bool saving, std::string& path) {
    FileBrowserDialog::Setup setup;
    // A full path in the file-name box starts the chooser in its folder.
    const fs::path initial(request.initialFile);
    const bool placed = initial.is_absolute() && IsFolder(initial.parent_path().string());
    setup.name = placed ? initial.filename().string() : request.initialFile;
    for (const std::string& folder : {placed ? initial.parent_path().string() : std::string(), request.initialDirectory,
                                      recent.folders().empty() ? std::string() : recent.folders().front(),
                                      places.startFolder})
        if (IsFolder(folder)) {
            setup.folder = folder;
            break;
        }
    if (setup.folder.empty()) setup.folder = WorkingDirectory();
    setup.filters = Filters(request, saving);
    setup.defaultExtension = request.defaultExtension;
    setup.saving = saving;
    setup.confirmOverwrite = (request.flags & kFileOverwritePrompt) != 0;
    setup.recent = recent.folders();
    FileBrowserDialog browser(std::move(setup));
    if (!Ask(request.title, [&] { return browser.Draw(); })) return false;
    path = browser.chosenPath();
    recent.Add(fs::path(path).parent_path().string());
    if (!places.recentFile.empty()) {
        const std::string text = recent.Text();
        shell().WriteFileAtomically(places.recentFile.c_str(), text.data(), text.size());
    }
    return true;
}

bool ImGuiDialogServices::ChooseOpenFile(const FileDialogRequest& request, std::string& path) {
    return ChooseFile(request, false, path);
}

bool ImGuiDialogServices::ChooseSaveFile(const FileDialogRequest& request, std::string& path) {
    return ChooseFile(request, true, path);
}

bool ImGuiDialogServices::ChooseColour(WindowHandle, uint32_t& colour, uint32_t*) {
    // Colours are 0x00BBGGRR.
    float rgb[3] = {float(colour & 0xFF) / 255, float((colour >> 8) & 0xFF) / 255, float((colour >> 16) & 0xFF) / 255};
    const bool confirmed = Ask("Color", [&] {
        ImGui::ColorPicker3("##colour", rgb);
        if (ImGui::Button("OK")) return 1;
        ImGui::SameLine();
        return ImGui::Button("Cancel") ? -1 : 0;
    });
    if (!confirmed) return false;
    auto byte = [](float value) { return uint32_t(value <= 0 ? 0 : value >= 1 ? 255 : int(value * 255 + 0.5f)); };
    colour = byte(rgb[0]) | byte(rgb[1]) << 8 | byte(rgb[2]) << 16;
    return true;
}

std::string ImGuiDialogServices::WorkingDirectory() {
    std::error_code error;
    const fs::path here = fs::current_path(error);
    return error ? std::string() : here.string();
}

void ImGuiDialogServices::SetWorkingDirectory(const std::string& directory) {
    std::error_code error;
    fs::current_path(directory, error);  // an unusable directory leaves the current one
}

bool ImGuiDialogServices::IsDirectory(const std::string& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

std::string ImGuiDialogServices::ModuleFileName(InstanceHandle) {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.string();
}
