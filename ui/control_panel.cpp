#include "ui/control_panel.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>

#include "output/output_window.h"
#include "engine/autosave.h"
#include "engine/engine.h"
#include "engine/effect_factory.h"
#include "engine/preset_bytes.h"
#include "platform/dialog_controls.h"
#include "platform/dialog_services.h"
#include "platform/shell.h"
#include "ui/effect_page.h"
#include "ui/global_pages.h"
#include "ui/resource_ids.h"

namespace {
constexpr char kNothingSelected[] = "No effect/setting selected";
constexpr int kPathChars = 259;
constexpr FileFilter kPresetFilters[] = {{"Qelv5 presets", "*.qlp"}, {"All files", "*.*"}};

// Panel state. Everything but the window handle and the frame-rate text is used on the
// host's window thread only.
InstanceHandle pluginInstance = nullptr;
Engine* panelEngine = nullptr;
std::atomic<WindowHandle> panelWindow{nullptr};
WindowHandle currentPage = nullptr;
std::string lastPresetPath;

// The render thread leaves the latest frame-rate line here and wakes the panel, which
// picks it up on its own thread: the render thread never waits for the window thread,
// which may itself be waiting for the render thread to end.
std::mutex frameRateLock;
char frameRateText[64];

DialogControls& Controls() { return dialogControls(); }
// The chain the panel edits: its engine's, set when the panel opens.
EffectChain& Chain() { return panelEngine->chain; }

std::string GetPluginDirectory() {
    std::string path = dialogServices().ModuleFileName(pluginInstance);
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

const char* SlotName(int slot) {
    const Effect* effect = slot >= 0 && slot < kChainSlots ? Chain().effects[slot] : nullptr;
    return effect ? effect->name() : "";
}

void ClosePage() {
    if (!currentPage) return;
    Controls().DestroyDialogWindow(currentPage);
    currentPage = nullptr;
}

void ShowPage(WindowHandle panel, WindowHandle page) {
    if (!page) {
        Controls().SetText(panel, IDC_PAGE_CAPTION, kNothingSelected);
        return;
    }
    currentPage = page;
    Controls().PlacePage(panel, IDC_PAGE_AREA, page);
}

void Refill(WindowHandle panel) {
    Controls().ClearItems(panel, IDC_ACTIVE_EFFECTS);
    for (int i = 0; i < kChainSlots && Chain().effects[i]; ++i)
        Controls().AddItem(panel, IDC_ACTIVE_EFFECTS, Chain().effects[i]->name());
    Controls().SetText(panel, IDC_PAGE_CAPTION, kNothingSelected);
}

// Both lists open the page of what was chosen and clear the other list's selection.
void OnListSelection(WindowHandle panel, int listId) {
    DialogControls& controls = Controls();
    const int index = controls.Selection(panel, listId);
    if (index != kNoItem) {
        controls.SetText(panel, IDC_PAGE_CAPTION, controls.ItemText(panel, listId, index).c_str());
        ClosePage();
        WindowHandle page = nullptr;
        if (listId == IDC_GLOBAL_SETTINGS) {
            page = OpenGlobalPage(index, pluginInstance, panel, panelEngine->intake);
        } else if (index < kChainSlots && Chain().effects[index]) {
            page = Chain().effects[index]->createSettingsPage(pluginInstance, panel);
        }
        ShowPage(panel, page);
    }
    controls.SetSelection(panel, listId == IDC_GLOBAL_SETTINGS ? IDC_ACTIVE_EFFECTS : IDC_GLOBAL_SETTINGS, kNoItem);
}

void Add(WindowHandle panel) {
    DialogControls& controls = Controls();
    const int item = controls.Selection(panel, IDC_LIBRARY);
    if (item == kNoItem) return;
    const intptr_t typeId = controls.ItemData(panel, IDC_LIBRARY, item);
    if (typeId < 0 || typeId >= EffectTypeCount()) return;  // also the combo box's error value
    const int slot = Chain().AppendEffect(int32_t(typeId));
    if (slot < 0) return;
    controls.AddItem(panel, IDC_ACTIVE_EFFECTS, SlotName(slot));
}

void Remove(WindowHandle panel) {
    const int index = Controls().Selection(panel, IDC_ACTIVE_EFFECTS);
    if (index == kNoItem) return;
    Controls().DeleteItem(panel, IDC_ACTIVE_EFFECTS, index);
    ClosePage();
    Chain().RemoveEffect(index);
}

// Up and down move the selected effect by one and the selection follows it; an open page
// keeps editing the effect it belongs to.
void MoveUp(WindowHandle panel) {
    DialogControls& controls = Controls();
    const int i = controls.Selection(panel, IDC_ACTIVE_EFFECTS);
    if (i == kNoItem || i == 0 || i >= ChainLength(Chain())) return;
    controls.DeleteItem(panel, IDC_ACTIVE_EFFECTS, i - 1);
    Chain().SwapEffects(i - 1);
    controls.InsertItem(panel, IDC_ACTIVE_EFFECTS, i, SlotName(i));
    controls.SetSelection(panel, IDC_ACTIVE_EFFECTS, i - 1);
}

void MoveDown(WindowHandle panel) {
    DialogControls& controls = Controls();
    const int i = controls.Selection(panel, IDC_ACTIVE_EFFECTS);
    if (i == kNoItem || i >= controls.ItemCount(panel, IDC_ACTIVE_EFFECTS) - 1 || i + 1 >= ChainLength(Chain()))
        return;
    controls.DeleteItem(panel, IDC_ACTIVE_EFFECTS, i);
    Chain().SwapEffects(i);
    controls.InsertItem(panel, IDC_ACTIVE_EFFECTS, i + 1, SlotName(i + 1));
    controls.SetSelection(panel, IDC_ACTIVE_EFFECTS, i + 1);
}

void Clear(WindowHandle panel) {
    Controls().ClearItems(panel, IDC_ACTIVE_EFFECTS);
    ClosePage();
    Chain().ClearChain();
}

// The presets shipped with the plug-in sit in a "presets" folder beside it; without one
// the choosers start beside the plug-in itself.
std::string PresetDirectory() {
    const std::string plugin = GetPluginDirectory();
    const std::string presets = plugin + "\\presets";
    return !plugin.empty() && dialogServices().IsDirectory(presets) ? presets : plugin;
}

FileDialogRequest PresetRequest(WindowHandle panel, const char* title, unsigned flags) {
    FileDialogRequest request;
    request.owner = panel;
    request.initialDirectory = PresetDirectory();
    request.filters = kPresetFilters;
    request.filterCount = 2;
    request.title = title;
    // Saved presets get the extension the filter shows.
    request.defaultExtension = "qlp";
    request.flags = flags;
    return request;
}

// The file choosers may change the process's current directory; the host expects it kept.
void Load(WindowHandle panel) {
    DialogServices& services = dialogServices();
    const std::string directory = services.WorkingDirectory();
    std::string path;
    if (services.ChooseOpenFile(PresetRequest(panel, "Load Preset", kFileExplorerStyle | kFileHideReadOnly), path)) {
        lastPresetPath = path.substr(0, kPathChars);
        PresetBuffer buffer;
        const int32_t n = buffer.bytes ? ReadPresetFile(path.c_str(), buffer.bytes.get()) : -1;
        if (n < 0) {
            shell().ShowMessage(panel, "Error loading preset", "Load Preset");
        } else if (!IsPresetHeader(buffer.bytes.get(), n)) {
            // Checked before the chain is emptied: a wrong file must not cost the user's chain.
            ReportInvalidPreset();
        } else {
            Clear(panel);
            ReadPresetBytes(Chain(), buffer.bytes.get(), n);
            Controls().SetChecked(panel, IDC_FRAMEBUFFER_CLEAR, Chain().framebufferClear != 0);
            Refill(panel);
        }
    }
    services.SetWorkingDirectory(directory);
}

void Save(WindowHandle panel) {
    DialogServices& services = dialogServices();
    const std::string directory = services.WorkingDirectory();
    FileDialogRequest request =
        PresetRequest(panel, "Save Preset", kFileExplorerStyle | kFileHideReadOnly | kFileOverwritePrompt);
    request.initialFile = lastPresetPath;
    std::string path;
    if (services.ChooseSaveFile(request, path)) {
        lastPresetPath = path.substr(0, kPathChars);
        PresetBuffer buffer;
        const int32_t n = buffer.bytes ? WritePresetBytes(Chain(), buffer.bytes.get(), kPresetCapacity) : -1;
        if (n < 0) shell().ShowMessage(panel, "Preset too large", "Save Preset");
        // A failed write is reported like a failed open: the user must not think it saved.
        // The file is replaced all at once, so a write that fails part-way keeps the old one.
        else if (!shell().WriteFileAtomically(path.c_str(), buffer.bytes.get(), size_t(n)))
            shell().ShowMessage(panel, "Error saving preset", "Save Preset");
    }
    services.SetWorkingDirectory(directory);
}

class ControlPanel final : public DialogHandler {
public:
    int OnInit(WindowHandle panel) override {
        DialogControls& controls = Controls();
        // The combo box sorts its names; each keeps its type id as item data.
        for (int i = 0; i < EffectTypeCount(); ++i) {
            char name[kEffectNameBytes] = {};
            effectFactories[i](name);
            const int item = controls.AddItem(panel, IDC_LIBRARY, name);
            if (item != kNoItem) controls.SetItemData(panel, IDC_LIBRARY, item, i);
        }
        if (Chain().framebufferClear) controls.SetChecked(panel, IDC_FRAMEBUFFER_CLEAR, true);
        for (const char* entry : {"About Qelv", "Display Settings", "Beat Detection"})
            controls.AddItem(panel, IDC_GLOBAL_SETTINGS, entry);
        Refill(panel);
        return 1;
    }

    void OnCommand(WindowHandle panel, int controlId, int notification) override {
        switch (controlId) {
        case IDC_ACTIVE_EFFECTS:
        case IDC_GLOBAL_SETTINGS:
            if (notification == kSelectionChanged) OnListSelection(panel, controlId);
            break;
        case IDC_FRAMEBUFFER_CLEAR:
            Chain().framebufferClear = Controls().IsChecked(panel, IDC_FRAMEBUFFER_CLEAR) ? 1 : 0;
            break;
        case IDC_ADD: Add(panel); break;
        case IDC_REMOVE: Remove(panel); break;
        case IDC_UP: MoveUp(panel); break;
        case IDC_DOWN: MoveDown(panel); break;
        case IDC_CLEAR: Clear(panel); break;
        case IDC_LOAD: Load(panel); break;
        case IDC_SAVE: Save(panel); break;
        default: break;
        }
    }

    // The close box only hides the panel; Quit destroys it.
    void OnClose(WindowHandle panel) override { Controls().ShowDialog(panel, false); }

    void OnWake(WindowHandle panel) override {
        char text[sizeof frameRateText];
        {
            std::lock_guard<std::mutex> lock(frameRateLock);
            std::memcpy(text, frameRateText, sizeof text);
        }
        Controls().SetText(panel, IDC_FRAME_RATE, text);
    }
};
}  // namespace

WindowHandle OpenControlPanel(VisModule* module, Engine& engine) {
    currentPage = nullptr;
    panelEngine = &engine;
    SetEffectPageLock(&engine.chain.renderLock);
    // Without the host's record there is no instance to take the template from.
    if (!module) return nullptr;
    pluginInstance = module->instance;
    WindowHandle panel = Controls().CreateDialogWindow(pluginInstance, IDD_CONTROL_PANEL, module->parentWindow,
                                                       std::make_unique<ControlPanel>());
    panelWindow = panel;
    if (panel) SetControlPanelToggle(ToggleControlPanel);
    return panel;
}

int CloseControlPanel() {
    WindowHandle panel = panelWindow.exchange(nullptr);
    if (!panel) return 0;
    SetControlPanelToggle(nullptr);
    // The open page is a child of the panel and goes with it.
    currentPage = nullptr;
    return Controls().DestroyDialogWindow(panel) ? 1 : 0;
}

void ToggleControlPanel() {
    WindowHandle panel = panelWindow;
    if (panel) Controls().ShowDialog(panel, !Controls().IsDialogVisible(panel));
}

bool ReplaceChainInPanel(const std::function<bool()>& load) {
    WindowHandle panel = panelWindow;
    if (panel) ClosePage();
    const bool loaded = load();
    if (panel) {
        Controls().SetChecked(panel, IDC_FRAMEBUFFER_CLEAR, Chain().framebufferClear != 0);
        Refill(panel);
    }
    return loaded;
}

void ShowFrameRate(const char* text) {
    {
        std::lock_guard<std::mutex> lock(frameRateLock);
        std::snprintf(frameRateText, sizeof frameRateText, "%s", text);
    }
    if (WindowHandle panel = panelWindow) dialogControls().Wake(panel);
}
