#include "platform/dialog_controls.h"
#include "platform/dialog_services.h"

namespace {
// Until a platform installs its own, no dialog exists and every chooser is cancelled.
class NoDialogs final : public DialogControls {
public:
    WindowHandle CreateDialogWindow(InstanceHandle, int, WindowHandle, std::unique_ptr<DialogHandler>) override {
        return nullptr;
    }
    bool DestroyDialogWindow(WindowHandle) override { return false; }
    void ShowDialog(WindowHandle, bool) override {}
    bool IsDialogVisible(WindowHandle) override { return false; }
    void PlacePage(WindowHandle, int, WindowHandle) override {}
    void Wake(WindowHandle) override {}
    bool IsChecked(WindowHandle, int) override { return false; }
    void SetChecked(WindowHandle, int, bool) override {}
    std::string Text(WindowHandle, int) override { return {}; }
    void SetText(WindowHandle, int, const char*) override {}
    int AddItem(WindowHandle, int, const char*) override { return kNoItem; }
    int InsertItem(WindowHandle, int, int, const char*) override { return kNoItem; }
    void DeleteItem(WindowHandle, int, int) override {}
    void ClearItems(WindowHandle, int) override {}
    int ItemCount(WindowHandle, int) override { return 0; }
    std::string ItemText(WindowHandle, int, int) override { return {}; }
    void SetItemData(WindowHandle, int, int, intptr_t) override {}
    intptr_t ItemData(WindowHandle, int, int) override { return kNoItem; }
    int Selection(WindowHandle, int) override { return kNoItem; }
    void SetSelection(WindowHandle, int, int) override {}
    void SetTrackbarRange(WindowHandle, int, int, int) override {}
    void SetTrackbarPosition(WindowHandle, int, int) override {}
    int TrackbarPosition(WindowHandle, int) override { return 0; }
    void Invalidate(WindowHandle, int) override {}
    void DrawSwatch(DrawItemHandle, uint32_t, uint32_t) override {}
};

class NoServices final : public DialogServices {
public:
    bool ChooseOpenFile(const FileDialogRequest&, std::string&) override { return false; }
    bool ChooseSaveFile(const FileDialogRequest&, std::string&) override { return false; }
    bool ChooseColour(WindowHandle, uint32_t&, uint32_t*) override { return false; }
    std::string WorkingDirectory() override { return {}; }
    void SetWorkingDirectory(const std::string&) override {}
    std::string ModuleFileName(InstanceHandle) override { return {}; }
    bool IsDirectory(const std::string&) override { return false; }
};

NoDialogs noDialogs;
NoServices noServices;
DialogControls* currentControls = &noDialogs;
DialogServices* currentServices = &noServices;
}  // namespace

DialogControls& dialogControls() { return *currentControls; }
void InstallDialogControls(DialogControls* controls) { currentControls = controls ? controls : &noDialogs; }
DialogServices& dialogServices() { return *currentServices; }
void InstallDialogServices(DialogServices* services) { currentServices = services ? services : &noServices; }
