#include "effects/beat_clear.h"

#include <algorithm>
#include <cstddef>

#include "effects/packed_pixels.h"
#include "core/mmx.h"
#include "core/effect_settings.h"
#include "core/page_definition.h"
#include "core/row_bands.h"

namespace {
constexpr int32_t kDefaultInterval = 1;

inline uint32_t HalfBlend(uint32_t pixel, uint32_t colour) {
    return ((pixel >> 1) & 0xFF7F7F7Fu) + ((colour >> 1) & 0xFF7F7F7Fu);
}
}  // namespace

const SettingTable* BeatClearEffect::settingTable() const {
    static const SettingWord words[] = {
        {"colour", FieldKind::Colour, SettingMember(&BeatClearEffect::colour)},
        {"blend", FieldKind::Number, SettingMember(&BeatClearEffect::blend)},
        {"interval", FieldKind::Number, SettingMember(&BeatClearEffect::interval)},
    };
    static const SettingTable table = MakeSettingTable(words, 2);
    return &table;
}

const PageDefinition* BeatClearEffect::page() const {
    static const PageBinding bindings[] = {
        {.controlId = 1014, .kind = ControlKind::Trackbar, .word = SettingMember(&BeatClearEffect::interval),
         .minimum = 0, .maximum = 100},
        {.controlId = 1016, .kind = ControlKind::ColourButton, .word = SettingMember(&BeatClearEffect::colour)},
        {.controlId = 1015, .kind = ControlKind::CheckBox, .word = SettingMember(&BeatClearEffect::blend)},
    };
    static const PageDefinition definition = MakePage(108, bindings);
    return &definition;
}

void BeatClearEffect::load(const uint8_t* data, int32_t length) {
    Effect::load(data, length);
    interval = kDefaultInterval;
}

void BeatClearEffect::render(const uint8_t*, uint32_t* frame, int32_t width, int32_t height) {
    if (!beat) return;
    const int32_t every = interval;
    if (every == 0) return;
    if (++beatCounter < every) return;
    beatCounter = 0;

    if (width <= 0 || height <= 0) return;
    const size_t count = size_t(width) * size_t(height);
    const uint32_t fill = uint32_t(colour);
    if (!blend) {
        ForEachBand(resources, count, kLineWords, [&](int, size_t begin, size_t end) {
            if (mmxAvailable) {
                FillAligned(frame + begin, end - begin, fill);
            } else {
                std::fill(frame + begin, frame + end, fill);
            }
        });
        return;
    }
    // Cuts at whole cache lines fall between pairs: the packed path pairs the words as one
    // band does.
    ForEachBand(resources, count, kLineWords, [&](int, size_t begin, size_t end) {
        size_t first = begin;
        if (mmxAvailable) {
            HalfBlendPairs(frame + begin, (end - begin) / 2, fill);
            first = begin + (end - begin) / 2 * 2;
        }
        // An odd last pixel has no partner for the packed path and is mixed on its own.
        for (size_t i = first; i < end; ++i) frame[i] = HalfBlend(frame[i], fill);
    });
}
