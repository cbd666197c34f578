#pragma once
#include <cstdint>

#include "core/effect.h"

// One control of an effect's settings page and the setting word it edits.
enum class ControlKind : uint8_t {
    Trackbar,      // range minimum..maximum, position = the word
    CheckBox,      // the word = checked ? 1 : 0, or only the bits of mask when mask != 0
    RadioButton,   // a click stores value (checked) or uncheckedValue (not checked)
    ColourButton,  // owner-drawn swatch; a click runs the colour chooser on the word
};

struct PageBinding {
    int controlId;
    ControlKind kind;
    int32_t Effect::* word;
    int32_t minimum = 0;         // Trackbar
    int32_t maximum = 0;         // Trackbar
    uint32_t mask = 0;           // CheckBox on some bits of a bit set
    int32_t value = 0;           // RadioButton
    int32_t uncheckedValue = 0;  // RadioButton, when uncheckedStores is set
    bool uncheckedStores = false;
    int32_t Effect::* alsoWord = nullptr;  // a second word that takes the same value
};

// A settings page: its dialog template and its controls. After every change the page
// calls the effect's settingsChanged(), so derived tables are rebuilt at once.
struct PageDefinition {
    int templateId;
    const PageBinding* bindings;
    int count;
};

template <int N>
constexpr PageDefinition MakePage(int templateId, const PageBinding (&bindings)[N]) {
    return PageDefinition{templateId, bindings, N};
}
constexpr PageDefinition MakePage(int templateId) { return PageDefinition{templateId, nullptr, 0}; }
