#include <cstdint>
#include <memory>

#include "output/frame_surface.h"
#include "output/output_window.h"
#include "platform/dialog_controls.h"
#include "ui/global_pages.h"
#include "ui/resource_ids.h"

namespace {
// Digits as a number, saturating instead of overflowing on absurd texts.
const char* ReadNumber(const char* p, int32_t& value) {
    int64_t v = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        v = v * 10 + (*p - '0');
        if (v > INT32_MAX) v = INT32_MAX;
    }
    value = int32_t(v);
    return p;
}

// Chooses the full-screen mode and pixel doubling; only "Fullscreen" applies them. The
// values live in the window settings and are stored when the output window closes.
class DisplaySettingsPage final : public DialogHandler {
public:
    int OnInit(WindowHandle dialog) override {
        DialogControls& controls = dialogControls();
        ListDisplayModes([&](const char* text) { controls.AddItem(dialog, IDC_MODE_LIST, text); });
        const int count = controls.ItemCount(dialog, IDC_MODE_LIST);
        if (count == 0) {
            const int index = controls.AddItem(dialog, IDC_MODE_LIST, "no suitable (32bpp ARGB) modes found");
            controls.SetSelection(dialog, IDC_MODE_LIST, index);
        }
        for (int i = 0; i < count; ++i) {
            ModeSize size;
            if (!ParseModeText(controls.ItemText(dialog, IDC_MODE_LIST, i).c_str(), size)) continue;
            if (size.width == windowSettings.fsW && size.height == windowSettings.fsH) {
                controls.SetSelection(dialog, IDC_MODE_LIST, i);
                break;
            }
        }
        controls.SetChecked(dialog, IDC_PIXEL_DOUBLING, windowSettings.fsD != 0);
        return 1;
    }

    void OnCommand(WindowHandle dialog, int controlId, int notification) override {
        DialogControls& controls = dialogControls();
        if (controlId == IDC_MODE_LIST && notification == kSelectionChanged) {
            const int index = controls.Selection(dialog, IDC_MODE_LIST);
            ModeSize size;
            if (index != kNoItem && ParseModeText(controls.ItemText(dialog, IDC_MODE_LIST, index).c_str(), size) &&
                size.width > 0 && size.height > 0) {
                windowSettings.fsW = size.width;
                windowSettings.fsH = size.height;
            }
        } else if (controlId == IDC_PIXEL_DOUBLING) {
            windowSettings.fsD = controls.IsChecked(dialog, IDC_PIXEL_DOUBLING) ? 1 : 0;
        } else if (controlId == IDC_FULLSCREEN) {
            RequestDisplayMode(1, windowSettings.fsW, windowSettings.fsH, windowSettings.fsD);
        }
    }
};
}  // namespace

bool ParseModeText(const char* text, ModeSize& size) {
    const char* p = ReadNumber(text, size.width);
    if (*p == '\0') return false;
    ReadNumber(p + 1, size.height);
    return true;
}

std::unique_ptr<DialogHandler> MakeDisplaySettingsPage() { return std::make_unique<DisplaySettingsPage>(); }
