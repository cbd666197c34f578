#pragma once
#include <cstdint>

#include "platform/dialog_controls.h"

// Colour settings are 0x00RRGGBB; the colour chooser and the display's drawing use
// 0x00BBGGRR. The same swap converts both ways and drops the top byte.
constexpr uint32_t SwapRedBlue(uint32_t colour) {
    return (colour & 0xFFu) << 16 | (colour & 0xFF00u) | (colour >> 16 & 0xFFu);
}

// Runs the colour chooser on a colour setting, owned by owner; a cancel keeps the value.
// Every chooser shares the same 16 custom colours while the library is loaded.
void ChooseEffectColor(WindowHandle owner, int32_t& colour);
// Paints an owner-drawn colour button: the colour, and its caption in the complement.
void DrawColorSwatch(DrawItemHandle item, int32_t colour);
