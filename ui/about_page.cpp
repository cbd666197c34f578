#include <memory>

#include "platform/dialog_controls.h"
#include "ui/global_pages.h"
#include "ui/resource_ids.h"

const char kAboutText[] =
    "Compiled on Mar  5 1999 at 17:12:09\r\n\r\nFeatures:\r\n"
    "  * 32BPP rendering, with extendable effect pipeline.\r\n"
    "  * Up to 256 simultaneous effect objects.\r\n"
    "  * 9 effect modules with many modes each\r\n"
    "  * Integrated beat detection\r\n"
    "  * Preset loading and saving (with up to 128kbytes per effect, 1 megabyte total)\r\n"
    "  * Fast windowed and fullscreen resizeable DirectDraw output\r\n\r\nIssues:\r\n"
    "  * Beat detection is STILL crap. I know. Working on something better.\r\n"
    "  * Not a lot of display options. Coming up are docking modes.\r\n"
    "  * This is just the beginning as far as effects go. Hopefully the next one will have about twice as many "
    "available.\r\n"
    "  * The plug-in tends to suck a lot of cycles. A LOT of CPU power. :)\r\n"
    "  * The add-in effect system isn't implemented yet. It will be pretty easy to do, though, and will be "
    "pretty cool.\r\n";

namespace {
class AboutPage final : public DialogHandler {
public:
    // 0: the read-only text does not take the focus with its whole text selected.
    int OnInit(WindowHandle dialog) override {
        dialogControls().SetText(dialog, IDC_ABOUT_TEXT, kAboutText);
        return 0;
    }
};
}  // namespace

std::unique_ptr<DialogHandler> MakeAboutPage() { return std::make_unique<AboutPage>(); }
