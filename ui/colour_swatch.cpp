#include "ui/colour_swatch.h"

#include "platform/dialog_services.h"

namespace {
uint32_t customColours[16];
}

void ChooseEffectColor(WindowHandle owner, int32_t& colour) {
    uint32_t chosen = SwapRedBlue(uint32_t(colour));
    if (dialogServices().ChooseColour(owner, chosen, customColours)) colour = int32_t(SwapRedBlue(chosen));
}

void DrawColorSwatch(DrawItemHandle item, int32_t colour) {
    const uint32_t fill = SwapRedBlue(uint32_t(colour));
    dialogControls().DrawSwatch(item, fill, ~fill & 0xFFFFFFu);
}
