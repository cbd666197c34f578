#include "effects/fadeout.h"

#include <cstddef>

#include "effects/packed_pixels.h"
#include "core/mmx.h"
#include "core/effect_settings.h"
#include "core/page_definition.h"

FadeoutEffect::FadeoutEffect() { settingsChanged(); }

const SettingTable* FadeoutEffect::settingTable() const {
    static const SettingWord words[] = {
        {"fade amount", FieldKind::Number, SettingMember(&FadeoutEffect::fadeAmount)},
    };
    static const SettingTable table = MakeSettingTable(words);
    return &table;
}

const PageDefinition* FadeoutEffect::page() const {
    static const PageBinding bindings[] = {
        {.controlId = 1014, .kind = ControlKind::Trackbar,
         .word = SettingMember(&FadeoutEffect::fadeAmount), .minimum = 1, .maximum = 92},
    };
    static const PageDefinition definition = MakePage(104, bindings);
    return &definition;
}

// Amounts outside 0..255 only come from presets; stored presets rely on what they do:
// at 256 or more every channel turns 0, below 0 the difference wraps to 8 bits.
void FadeoutEffect::settingsChanged() {
    const int32_t amount = fadeAmount;
    for (int32_t v = 0; v < 256; ++v)
        fadeTable[v] = v < amount ? 0 : static_cast<uint8_t>(uint32_t(v) - uint32_t(amount));
}

void FadeoutEffect::render(const uint8_t*, uint32_t* frame, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return;
    const size_t count = size_t(width) * size_t(height);
    size_t first = 0;
    if (mmxAvailable) {
        // The packed path subtracts only the amount's low byte; the table covers the tail.
        const size_t groups = count / 8;
        SubtractSaturatedBytes(frame, groups, static_cast<uint8_t>(uint32_t(fadeAmount)));
        first = groups * 8;
    }
    for (size_t i = first; i < count; ++i) {
        const uint32_t w = frame[i];
        frame[i] = (w & 0xFF000000u) | uint32_t(fadeTable[(w >> 16) & 0xFF]) << 16 |
                   uint32_t(fadeTable[(w >> 8) & 0xFF]) << 8 | fadeTable[w & 0xFF];
    }
}
