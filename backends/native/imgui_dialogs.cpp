#include "backends/native/imgui_dialogs.h"

#include <imgui.h>

#include <algorithm>
#include <string>

namespace {
// What an owner-drawn button hands to its dialog's painter.
struct SwatchRecord {
    ImVec2 min, max;
    std::string caption;
};

// Colours come as 0x00BBGGRR, which is ImGui's byte order less the opacity.
ImU32 Opaque(uint32_t colour) { return (colour & 0x00FFFFFFu) | 0xFF000000u; }

std::string WithoutReturns(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

void DrawGroupBox(const std::string& caption, ImVec2 min, ImVec2 max) {
    ImDrawList* list = ImGui::GetWindowDrawList();
    const ImU32 line = ImGui::GetColorU32(ImGuiCol_Border);
    const float lineY = min.y + ImGui::GetFontSize() / 2;
    const float gapStart = min.x + 6, gapEnd = gapStart + ImGui::CalcTextSize(caption.c_str()).x + 4;
    list->AddLine({min.x, lineY}, {caption.empty() ? max.x : gapStart, lineY}, line);
    if (!caption.empty()) list->AddLine({gapEnd, lineY}, {max.x, lineY}, line);
    list->AddLine({max.x, lineY}, max, line);
    list->AddLine({min.x, max.y}, max, line);
    list->AddLine({min.x, lineY}, {min.x, max.y}, line);
    list->AddText({gapStart + 2, min.y}, ImGui::GetColorU32(ImGuiCol_Text), caption.c_str());
}
}  // namespace

ImGuiDialogs::ImGuiDialogs(const std::map<int, DialogTemplate>& templates, float pixelsPerUnit)
    : templates(templates), scale(pixelsPerUnit) {}

void ImGuiDialogs::SeedControls(Window& window) {
    auto form = templates.find(window.templateId);
    if (form == templates.end()) return;
    for (const ControlTemplate& c : form->second.controls) {
        if (c.id < 0) continue;
        Control& control = window.controls[c.id];
        control.text = c.caption;
        control.sorted = c.sorted;
    }
}

bool ImGuiDialogs::ShownOnItsOwn(Window& window) {
    // Pages are drawn inside their parent, over the area they were placed on.
    Window* parent = Find(window.parent);
    return window.visible && !(parent && !parent->destroyed);
}

bool ImGuiDialogs::Shown() {
    for (const auto& [id, form] : templates)
        for (WindowHandle dialog : LiveDialogs(id))
            if (ShownOnItsOwn(*Find(dialog))) return true;
    return false;
}

void ImGuiDialogs::Draw() {
    for (const auto& [id, form] : templates) {
        for (WindowHandle dialog : LiveDialogs(id)) {
            if (!ShownOnItsOwn(*Find(dialog))) continue;
            ImGui::PushID(dialog);
            ImGui::SetNextWindowPos({16, 16}, ImGuiCond_FirstUseEver);
            bool open = true;
            const std::string title = form.caption + "###dialog";
            if (ImGui::Begin(title.c_str(), &open,
                             ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoCollapse |
                                 ImGuiWindowFlags_NoSavedSettings)) {
                const ImVec2 origin = ImGui::GetCursorScreenPos();
                DrawControls(dialog, form, origin.x, origin.y);
                ImGui::SetCursorScreenPos(origin);
                ImGui::Dummy({float(form.width) * scale, float(form.height) * scale});
            }
            ImGui::End();
            ImGui::PopID();
            if (!open) actions.push_back([this, dialog] { CloseByUser(dialog); });
        }
    }
}

void ImGuiDialogs::DrawControls(WindowHandle dialog, const DialogTemplate& form, float left, float top) {
    ImGui::PushID(dialog);
    for (size_t index = 0; index < form.controls.size(); ++index) DrawControl(dialog, form, index, left, top);
    if (auto extra = extras.find(Find(dialog)->templateId); extra != extras.end()) extra->second(left, top, scale);
    ImGui::PopID();
}

void ImGuiDialogs::DrawControl(WindowHandle dialog, const DialogTemplate& form, size_t index, float left, float top) {
    const ControlTemplate& shape = form.controls[index];
    const int id = shape.id;
    // Unnamed controls (labels, frames) share one identifier and only show their caption.
    Control unnamed;
    unnamed.text = shape.caption;
    Control& control = id >= 0 ? ControlOf(dialog, id) : unnamed;
    const ImVec2 min{left + float(shape.x) * scale, top + float(shape.y) * scale};
    const ImVec2 size{float(shape.width) * scale, float(shape.height) * scale};
    const ImVec2 max{min.x + size.x, min.y + size.y};
    ImGui::PushID(int(index));
    ImGui::SetCursorScreenPos(min);
    const std::string label = control.text + "##control";
    switch (shape.kind) {
        case ControlKind::Text: {
            float shift = 0;
            const float room = size.x - ImGui::CalcTextSize(control.text.c_str()).x;
            if (shape.align == TextAlign::Right) shift = room;
            if (shape.align == TextAlign::Centre) shift = room / 2;
            ImGui::SetCursorScreenPos({min.x + std::max(0.f, shift), min.y});
            ImGui::TextUnformatted(control.text.c_str());
            break;
        }
        case ControlKind::GroupBox: DrawGroupBox(control.text, min, max); break;
        case ControlKind::PushButton:
            if (ImGui::Button(label.c_str(), size)) actions.push_back([this, dialog, id] { ClickButton(dialog, id); });
            break;
        case ControlKind::CheckBox: {
            bool checked = control.checked;
            if (ImGui::Checkbox(label.c_str(), &checked))
                actions.push_back([this, dialog, id] { ClickCheckBox(dialog, id); });
            break;
        }
        case ControlKind::RadioButton:
            if (ImGui::RadioButton(label.c_str(), control.checked))
                actions.push_back([this, dialog, &form, index] { ClickRadioInGroup(dialog, form, index); });
            break;
        case ControlKind::OwnerDrawButton: {
            if (ImGui::InvisibleButton("swatch", size)) actions.push_back([this, dialog, id] { ClickButton(dialog, id); });
            SwatchRecord record{min, max, control.text};
            Window* window = Find(dialog);
            if (!window->handler->OnDrawItem(dialog, id, &record))
                DrawSwatch(&record, ImGui::GetColorU32(ImGuiCol_Button) & 0x00FFFFFFu, 0x00FFFFFF);
            break;
        }
        case ControlKind::ListBox:
            if (ImGui::BeginListBox("##list", size)) {
                for (size_t item = 0; item < control.items.size(); ++item) {
                    ImGui::PushID(int(item));
                    if (ImGui::Selectable(control.items[item].text.c_str(), control.selection == int(item)))
                        actions.push_back([this, dialog, id, item] { ChooseItem(dialog, id, int(item)); });
                    ImGui::PopID();
                }
                ImGui::EndListBox();
            }
            break;
        case ControlKind::ComboBox: {
            const bool chosen = control.selection >= 0 && control.selection < int(control.items.size());
            ImGui::SetNextItemWidth(size.x);
            if (ImGui::BeginCombo("##combo", chosen ? control.items[size_t(control.selection)].text.c_str() : "")) {
                for (size_t item = 0; item < control.items.size(); ++item) {
                    ImGui::PushID(int(item));
                    if (ImGui::Selectable(control.items[item].text.c_str(), control.selection == int(item)))
                        actions.push_back([this, dialog, id, item] { ChooseItem(dialog, id, int(item)); });
                    ImGui::PopID();
                }
                ImGui::EndCombo();
            }
            break;
        }
        case ControlKind::Trackbar: {
            int position = control.position;
            ImGui::SetNextItemWidth(size.x);
            if (ImGui::SliderInt("##trackbar", &position, control.minimum, std::max(control.minimum, control.maximum)))
                actions.push_back([this, dialog, id, position] { MoveTrackbar(dialog, id, position); });
            break;
        }
        case ControlKind::Edit: {
            std::string text = WithoutReturns(control.text);
            ImGui::InputTextMultiline("##edit", text.data(), text.size() + 1, size, ImGuiInputTextFlags_ReadOnly);
            break;
        }
        case ControlKind::Area: break;
    }
    ImGui::PopID();
    if (shape.kind != ControlKind::Area) return;
    // The pages placed over this area, drawn at its corner.
    for (const auto& [templateId, pageForm] : templates)
        for (WindowHandle page : LiveDialogs(templateId)) {
            Window* window = Find(page);
            if (window->parent == dialog && window->visible && window->placedOver == id)
                DrawControls(page, pageForm, min.x, min.y);
        }
}

void ImGuiDialogs::ClickRadioInGroup(WindowHandle dialog, const DialogTemplate& form, size_t index) {
    // Automatic radio buttons clear the others of their group, which runs from a button
    // that starts a group up to the next one that does.
    size_t first = index, end = index + 1;
    while (first > 0 && !form.controls[first].startsGroup && form.controls[first - 1].kind == ControlKind::RadioButton)
        --first;
    while (end < form.controls.size() && form.controls[end].kind == ControlKind::RadioButton &&
           !form.controls[end].startsGroup)
        ++end;
    for (size_t other = first; other < end; ++other)
        if (other != index) SetChecked(dialog, form.controls[other].id, false);
    ClickRadio(dialog, form.controls[index].id);
}

void ImGuiDialogs::AfterFrame() {
    DeliverWakes();
    std::vector<std::function<void()>> due;
    due.swap(actions);
    for (auto& action : due) action();
}

void ImGuiDialogs::DrawSwatch(DrawItemHandle item, uint32_t fill, uint32_t text) {
    const auto& record = *static_cast<const SwatchRecord*>(item);
    ImDrawList* list = ImGui::GetWindowDrawList();
    list->AddRectFilled(record.min, record.max, Opaque(fill));
    list->AddRect(record.min, record.max, IM_COL32_BLACK);
    const ImVec2 extent = ImGui::CalcTextSize(record.caption.c_str());
    list->AddText({(record.min.x + record.max.x - extent.x) / 2, (record.min.y + record.max.y - extent.y) / 2},
                  Opaque(text), record.caption.c_str());
}
