#pragma once
#include <functional>
#include <map>
#include <vector>

#include "backends/headless/memory_dialogs.h"
#include "backends/native/dialog_templates.h"
#include "backends/native/window_overlay.h"

// Dialogs of the native tool: the controls keep their state in memory, as for tests, and
// every shown dialog is drawn with Dear ImGui each frame from its template, a page inside
// the area control it was placed over. What the user does there reaches the dialogs'
// handlers through the same user-side calls the tests make.
class ImGuiDialogs final : public MemoryDialogs, public WindowOverlay {
public:
    explicit ImGuiDialogs(const std::map<int, DialogTemplate>& templates = BuiltInDialogTemplates(),
                          float pixelsPerUnit = 2);

    // True while some dialog is shown.
    bool Shown() override;
    // Draws the shown dialogs. What the user did is only kept: handlers may open modal
    // choosers that run frames of their own.
    void Draw() override;
    // Hands the wake-ups and what the user did during the last Draw to the dialogs.
    void AfterFrame() override;
    // The wake-ups alone (the frame-rate line): no handler they reach opens a chooser.
    void AfterFrameBehindChooser() override { DeliverWakes(); }

    void DrawSwatch(DrawItemHandle item, uint32_t fill, uint32_t text) override;

    // Something drawn over every dialog made from a template, after its controls, with
    // the dialog's corner in pixels and the pixels per dialog unit: live readings that
    // the template has no control for.
    using Extra = std::function<void(float left, float top, float scale)>;
    void SetExtra(int templateId, Extra draw) { extras[templateId] = std::move(draw); }

protected:
    void SeedControls(Window& window) override;

private:
    void DrawControls(WindowHandle dialog, const DialogTemplate& form, float left, float top);
    void DrawControl(WindowHandle dialog, const DialogTemplate& form, size_t index, float left, float top);
    void ClickRadioInGroup(WindowHandle dialog, const DialogTemplate& form, size_t index);
    bool ShownOnItsOwn(Window& window);

    const std::map<int, DialogTemplate>& templates;
    const float scale;
    std::vector<std::function<void()>> actions;
    std::map<int, Extra> extras;
};
