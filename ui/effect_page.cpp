#include "ui/effect_page.h"

// Placeholder until the dialog layer lands: no platform shows pages yet.
WindowHandle OpenEffectPage(InstanceHandle, WindowHandle, Effect&, const PageDefinition&) {
    return nullptr;
}
