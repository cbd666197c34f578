#include "ui/global_pages.h"

#include <memory>

#include "platform/dialog_controls.h"
#include "ui/resource_ids.h"

std::unique_ptr<DialogHandler> MakeAboutPage();
std::unique_ptr<DialogHandler> MakeDisplaySettingsPage();
std::unique_ptr<DialogHandler> MakeBeatSettingsPage(SampleIntake& intake);

WindowHandle OpenGlobalPage(int index, InstanceHandle instance, WindowHandle parent, SampleIntake& intake) {
    DialogControls& controls = dialogControls();
    switch (index) {
    case 0: return controls.CreateDialogWindow(instance, IDD_ABOUT_PAGE, parent, MakeAboutPage());
    case 1: return controls.CreateDialogWindow(instance, IDD_DISPLAY_PAGE, parent, MakeDisplaySettingsPage());
    case 2: return controls.CreateDialogWindow(instance, IDD_BEAT_PAGE, parent, MakeBeatSettingsPage(intake));
    default: return nullptr;
    }
}
