#include "effects/fadeout.h"

#include <cstddef>

#include "effects/packed_pixels.h"
#include "core/mmx.h"
#include "core/effect_settings.h"
#include "core/page_definition.h"
#include "core/row_bands.h"

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

namespace {
// Each channel of a pixel in a 16-bit lane of its own (blue and red, then green and
// alpha): 0x100 set before the subtraction keeps every borrow inside its lane, and bit 8
// of the lane then says whether the channel was at least the amount. For amounts 0..255
// this is the table's saturating step, without a lookup per channel.
constexpr uint32_t kLanes = 0x00FF00FFu, kLaneCarry = 0x01000100u;

uint32_t FadeLanes(uint32_t lanes, uint32_t amounts) {
    const uint32_t t = (lanes | kLaneCarry) - amounts;
    const uint32_t kept = (t >> 8) & 0x00010001u;
    return t & (kept * 0xFFu);
}

uint32_t FadeWord(uint32_t w, uint32_t amounts) {
    return (w & 0xFF000000u) | FadeLanes(w & kLanes, amounts) | (FadeLanes((w >> 8) & 0xFFu, amounts) << 8);
}

void FadeInLanes(uint32_t* frame, size_t first, size_t end, uint32_t amount) {
    const uint32_t amounts = amount * 0x00010001u;
    size_t i = first;
    // Runs of a fixed length, which the compiler turns into whatever wide registers the
    // build's processor has; the words are independent, so any width gives these bytes.
    constexpr size_t kRun = 16;
    for (; i + kRun <= end; i += kRun)
        for (size_t j = 0; j < kRun; ++j) frame[i + j] = FadeWord(frame[i + j], amounts);
    for (; i < end; ++i) frame[i] = FadeWord(frame[i], amounts);
}
}  // namespace

void FadeoutEffect::render(const uint8_t*, uint32_t* frame, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return;
    // Cuts at whole cache lines, a multiple of the packed path's groups of 8, keep the
    // groups where one band has them.
    ForEachBand(resources, size_t(width) * size_t(height), kLineWords,
                [&](int, size_t begin, size_t end) { fade(frame, begin, end); });
}

void FadeoutEffect::fade(uint32_t* frame, size_t begin, size_t end) const {
    size_t first = begin;
    if (mmxAvailable) {
        // The packed path subtracts only the amount's low byte; the table covers the tail.
        const size_t groups = (end - begin) / 8;
        SubtractSaturatedBytes(frame + begin, groups, static_cast<uint8_t>(uint32_t(fadeAmount)));
        first = begin + groups * 8;
    }
    if (fadeAmount >= 0 && fadeAmount <= 255) {
        FadeInLanes(frame, first, end, uint32_t(fadeAmount));
        return;
    }
    for (size_t i = first; i < end; ++i) {
        const uint32_t w = frame[i];
        frame[i] = (w & 0xFF000000u) | uint32_t(fadeTable[(w >> 16) & 0xFF]) << 16 |
                   uint32_t(fadeTable[(w >> 8) & 0xFF]) << 8 | fadeTable[w & 0xFF];
    }
}
