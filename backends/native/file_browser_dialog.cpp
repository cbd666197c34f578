#include "backends/native/file_browser_dialog.h"

#include <imgui.h>
#include <imgui_stdlib.h>

namespace {
constexpr float kWidth = 560, kListHeight = 260;

bool KeyPressed(ImGuiKey key) { return ImGui::IsKeyPressed(ImGui::GetKeyIndex(key), false); }
bool EnterPressed() { return KeyPressed(ImGuiKey_Enter) || KeyPressed(ImGuiKey_KeyPadEnter); }
}  // namespace

FileBrowserDialog::FileBrowserDialog(Setup setup) : setup(std::move(setup)), browser(this->setup.filters) {
    nameText = this->setup.name;
    browser.Open(this->setup.folder);
    FolderChanged();
}

void FileBrowserDialog::FolderChanged() {
    folderText = ShownName(browser.folder());
    note.clear();
    pickedName.clear();
    pickedLabel.clear();
}

std::string FileBrowserDialog::TypedName() const {
    return !pickedName.empty() && nameText == pickedLabel ? pickedName : nameText;
}

int FileBrowserDialog::Accept() {
    const std::string typed = TypedName();
    FileBrowser::Target target = browser.Resolve(typed, setup.saving ? setup.defaultExtension : "");
    // Opening "name" finds "name.qlp" when only that exists, as the system choosers do.
    if (!setup.saving && target.kind == FileBrowser::Target::Kind::File && !target.exists) {
        const FileBrowser::Target withExtension = browser.Resolve(typed, setup.defaultExtension);
        if (withExtension.exists) target = withExtension;
    }
    switch (target.kind) {
        case FileBrowser::Target::Kind::Nothing:
            note = typed.empty() ? "Type or pick a file name" : "Not a file name";
            return 0;
        case FileBrowser::Target::Kind::Folder:
            browser.Open(target.path);
            nameText.clear();
            return 0;
        case FileBrowser::Target::Kind::File: break;
    }
    if (!setup.saving && !target.exists) {
        note = "There is no file " + ShownName(typed);
        return 0;
    }
    chosen = target.path;
    if (setup.saving && target.exists && setup.confirmOverwrite && !askingToReplace) {
        askingToReplace = true;
        return 0;
    }
    return 1;
}

void FileBrowserDialog::DrawFolderRow() {
    if (ImGui::Button("Up")) browser.Up();
    const auto segments = browser.Segments();
    for (size_t i = 0; i < segments.size(); ++i) {
        ImGui::SameLine(0, i ? 2 : 8);
        ImGui::PushID(int(i));
        if (ImGui::SmallButton(segments[i].first.c_str())) browser.Open(segments[i].second);
        ImGui::PopID();
    }
    ImGui::SetNextItemWidth(kWidth - 110);
    // A path that is no folder stays in the box beside the error line, to be mended.
    if (ImGui::InputText("Folder", &folderText, ImGuiInputTextFlags_EnterReturnsTrue)) browser.GoTo(folderText);
    const auto& recent = setup.recent;
    if (recent.empty()) return;
    ImGui::SetNextItemWidth(kWidth - 110);
    if (ImGui::BeginCombo("Recent", "Recent folders")) {
        for (size_t i = 0; i < recent.size(); ++i) {
            ImGui::PushID(int(i));
            if (ImGui::Selectable(ShownName(recent[i]).c_str(), false)) browser.Open(recent[i]);
            ImGui::PopID();
        }
        ImGui::EndCombo();
    }
}

int FileBrowserDialog::DrawListing() {
    if (!ImGui::BeginListBox("##entries", {kWidth, kListHeight})) return 0;
    std::string enter;
    bool pickNow = false;
    for (size_t i = 0; i < browser.entries().size(); ++i) {
        const BrowserEntry& entry = browser.entries()[i];
        const std::string label = entry.folder ? entry.label + "/" : entry.label;
        ImGui::PushID(int(i));
        const bool picked = !entry.folder && entry.name == pickedName && nameText == pickedLabel;
        if (ImGui::Selectable(label.c_str(), picked,
                              ImGuiSelectableFlags_AllowDoubleClick | ImGuiSelectableFlags_DontClosePopups)) {
            const bool twice = ImGui::IsMouseDoubleClicked(ImGuiMouseButton_Left);
            if (entry.folder) {
                if (twice) enter = entry.name;
            } else {
                pickedName = entry.name;
                pickedLabel = nameText = entry.label;
                pickNow = twice;
            }
        }
        ImGui::PopID();
    }
    ImGui::EndListBox();
    // Acted on after the loop, which walks the listing that entering a folder replaces.
    if (!enter.empty()) browser.GoTo(enter);
    return pickNow ? Accept() : 0;
}

int FileBrowserDialog::DrawAnswerRow() {
    if (askingToReplace) {
        ImGui::TextUnformatted((ShownName(chosen) + " already exists. Replace it?").c_str());
        if (ImGui::Button("Replace") || EnterPressed()) return 1;
        ImGui::SameLine();
        if (ImGui::Button("Keep it") || KeyPressed(ImGuiKey_Escape)) askingToReplace = false;
        return 0;
    }
    ImGui::SetNextItemWidth(kWidth - 110);
    if (ImGui::IsWindowAppearing()) ImGui::SetKeyboardFocusHere();
    // Typing replaces the name it starts with, as in the system choosers.
    const bool entered = ImGui::InputText("File name", &nameText,
                                          ImGuiInputTextFlags_EnterReturnsTrue | ImGuiInputTextFlags_AutoSelectAll);
    const auto& filters = browser.filters();
    if (!filters.empty()) {
        ImGui::SetNextItemWidth(kWidth - 110);
        if (ImGui::BeginCombo("Type", filters[size_t(browser.filter())].label.c_str())) {
            for (size_t i = 0; i < filters.size(); ++i)
                if (ImGui::Selectable(filters[i].label.c_str(), int(i) == browser.filter())) browser.SetFilter(int(i));
            ImGui::EndCombo();
        }
    }
    if (ImGui::Button(setup.saving ? "Save" : "Open", {80, 0}) || entered || enterForAnswer) return Accept();
    ImGui::SameLine();
    if (ImGui::Button("Cancel", {80, 0}) || KeyPressed(ImGuiKey_Escape)) return -1;
    return 0;
}

int FileBrowserDialog::Draw() {
    const std::string before = browser.folder();
    // Enter answers unless a box being typed in takes it; a file clicked in the list and
    // then Enter opens it.
    enterForAnswer = EnterPressed() && !ImGui::IsAnyItemActive();
    DrawFolderRow();
    const int picked = DrawListing();
    const std::string& problem = note.empty() ? browser.error() : note;
    ImGui::TextColored({1.0f, 0.45f, 0.4f, 1}, "%s", problem.c_str());
    const int answer = DrawAnswerRow();
    if (browser.folder() != before) FolderChanged();
    return picked ? picked : answer;
}
