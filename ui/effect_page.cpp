#include "ui/effect_page.h"

#include <memory>
#include <mutex>

#include "platform/dialog_controls.h"
#include "ui/colour_swatch.h"

namespace {
// The render lock of the chain whose effects the pages edit; none outside a panel.
std::mutex* chainLock = nullptr;

std::unique_lock<std::mutex> LockChain() {
    return chainLock ? std::unique_lock<std::mutex>(*chainLock) : std::unique_lock<std::mutex>();
}

// One page procedure for every effect: it interprets the effect's binding table. The
// page holds the effect that created it, so it edits exactly that effect; the panel
// closes the page before the effect can be destroyed.
class EffectPage final : public DialogHandler {
public:
    EffectPage(Effect& effect, const PageDefinition& page) : effect(effect), page(page) {}

    int OnInit(WindowHandle dialog) override {
        DialogControls& controls = dialogControls();
        for (const PageBinding& b : Bindings()) {
            const int32_t state = ControlState(effect, b);
            switch (b.kind) {
            case ControlKind::Trackbar:
                controls.SetTrackbarRange(dialog, b.controlId, b.minimum, b.maximum);
                controls.SetTrackbarPosition(dialog, b.controlId, state);
                break;
            case ControlKind::CheckBox:
            case ControlKind::RadioButton:
                controls.SetChecked(dialog, b.controlId, state != 0);
                break;
            case ControlKind::ColourButton:
                break;
            }
        }
        return 1;
    }

    void OnScroll(WindowHandle dialog, int controlId) override {
        bool changed = false;
        for (const PageBinding& b : Bindings()) {
            if (b.controlId != controlId || b.kind != ControlKind::Trackbar) continue;
            Store(b, dialogControls().TrackbarPosition(dialog, controlId));
            changed = true;
        }
        if (changed) SettingsChanged();
    }

    void OnCommand(WindowHandle dialog, int controlId, int) override {
        DialogControls& controls = dialogControls();
        bool changed = false;
        for (const PageBinding& b : Bindings()) {
            if (b.controlId != controlId) continue;
            const bool checked = controls.IsChecked(dialog, controlId);
            switch (b.kind) {
            case ControlKind::Trackbar:
                continue;
            case ControlKind::CheckBox:
            case ControlKind::RadioButton:
                Store(b, checked ? 1 : 0);
                break;
            case ControlKind::ColourButton: {
                int32_t colour = effect.*b.word;
                ChooseEffectColor(dialog, colour);
                Store(b, colour);
                controls.Invalidate(dialog, controlId);
                break;
            }
            }
            changed = true;
        }
        if (changed) SettingsChanged();
    }

    bool OnDrawItem(WindowHandle, int controlId, DrawItemHandle item) override {
        for (const PageBinding& b : Bindings()) {
            if (b.controlId == controlId && b.kind == ControlKind::ColourButton) {
                DrawColorSwatch(item, effect.*b.word);
                return true;
            }
        }
        return false;
    }

private:
    struct Range {
        const PageBinding *first, *last;
        const PageBinding* begin() const { return first; }
        const PageBinding* end() const { return last; }
    };
    Range Bindings() const { return {page.bindings, page.bindings + page.count}; }

    // The render thread reads the words and what settingsChanged derives from them while
    // it draws; written under the render lock, a frame never meets a half-made change.
    // Never held while a chooser waits for the user.
    void Store(const PageBinding& b, int32_t state) {
        const std::unique_lock<std::mutex> lock = LockChain();
        StoreControl(effect, b, state);
    }
    void SettingsChanged() {
        const std::unique_lock<std::mutex> lock = LockChain();
        effect.settingsChanged();
    }

    Effect& effect;
    const PageDefinition& page;
};
}  // namespace

int32_t ControlState(const Effect& effect, const PageBinding& b) {
    const int32_t value = effect.*b.word;
    switch (b.kind) {
    case ControlKind::CheckBox: return (b.mask ? (uint32_t(value) & b.mask) != 0 : value != 0) ? 1 : 0;
    case ControlKind::RadioButton: return value == b.value ? 1 : 0;
    case ControlKind::Trackbar:
    case ControlKind::ColourButton: break;
    }
    return value;
}

void StoreControl(Effect& effect, const PageBinding& b, int32_t state) {
    int32_t value = state;
    if (b.kind == ControlKind::CheckBox && b.mask) {
        const uint32_t bits = uint32_t(effect.*b.word) & ~b.mask;
        value = int32_t(state ? bits | b.mask : bits);
    } else if (b.kind == ControlKind::CheckBox) {
        value = state ? 1 : 0;
    } else if (b.kind == ControlKind::RadioButton) {
        value = state || !b.uncheckedStores ? b.value : b.uncheckedValue;
    }
    effect.*b.word = value;
    if (b.alsoWord) effect.*b.alsoWord = value;
}

void SetEffectPageLock(std::mutex* lock) { chainLock = lock; }

WindowHandle OpenEffectPage(InstanceHandle instance, WindowHandle parent, Effect& effect,
                            const PageDefinition& page) {
    return dialogControls().CreateDialogWindow(instance, page.templateId, parent,
                                               std::make_unique<EffectPage>(effect, page));
}

// Every effect's page is its table run by the one page procedure above, so the
// interface's default opening lives here, beside that procedure.
WindowHandle Effect::createSettingsPage(InstanceHandle instance, WindowHandle parent) {
    const PageDefinition* definition = page();
    return definition ? OpenEffectPage(instance, parent, *this, *definition) : nullptr;
}
