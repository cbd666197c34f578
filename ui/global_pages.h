#pragma once
#include <cstdint>

#include "core/frame_types.h"

struct SampleIntake;

// The settings pages that belong to no effect, in the order of the panel's list:
// 0 about, 1 display settings, 2 beat detection (of the intake given). Null for another
// index or when the page cannot be created.
WindowHandle OpenGlobalPage(int index, InstanceHandle instance, WindowHandle parent, SampleIntake& intake);

struct ModeSize {
    int32_t width, height;
};
// Reads a mode text: the leading digits are the width, the character after them must
// exist, and the digits after that are the height. Missing digits read as 0, so a text
// can parse to a size that is not a mode; false only when the text ends after the width.
bool ParseModeText(const char* text, ModeSize& size);

extern const char kAboutText[];
