#include "backends/native/imgui_dialog_services.h"

#include <imgui.h>
#include <imgui_stdlib.h>

#include <filesystem>

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

bool ImGuiDialogServices::ChooseFile(const FileDialogRequest& request, const char* confirm, std::string& path) {
    std::string typed = request.initialFile;
    const std::string directory = request.initialDirectory.empty() ? WorkingDirectory() : request.initialDirectory;
    std::string types;
    for (int i = 0; i < request.filterCount; ++i)
        types += std::string(i ? ", " : "Types: ") + request.filters[i].name + " (" + request.filters[i].pattern + ")";
    const bool confirmed = Ask(request.title, [&] {
        ImGui::TextUnformatted(("In " + directory).c_str());
        if (!types.empty()) ImGui::TextUnformatted(types.c_str());
        ImGui::SetNextItemWidth(400);
        if (ImGui::IsWindowAppearing()) ImGui::SetKeyboardFocusHere();
        const bool entered = ImGui::InputText("File", &typed, ImGuiInputTextFlags_EnterReturnsTrue);
        if ((ImGui::Button(confirm) || entered) && !typed.empty()) return 1;
        ImGui::SameLine();
        return ImGui::Button("Cancel") ? -1 : 0;
    });
    if (!confirmed) return false;
    fs::path chosen(typed);
    if (chosen.is_relative()) chosen = fs::path(directory) / chosen;
    if (!chosen.has_extension() && *request.defaultExtension) chosen += std::string(".") + request.defaultExtension;
    path = chosen.lexically_normal().string();
    return true;
}

bool ImGuiDialogServices::ChooseOpenFile(const FileDialogRequest& request, std::string& path) {
    return ChooseFile(request, "Open", path);
}

bool ImGuiDialogServices::ChooseSaveFile(const FileDialogRequest& request, std::string& path) {
    return ChooseFile(request, "Save", path);
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
