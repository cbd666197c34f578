#include "effects/bass_spin.h"

#include <algorithm>
#include <cmath>

#include "effects/line_drawing.h"
#include "effects/saturating_convert.h"
#include "effects/triangle_fill.h"
#include "core/effect_settings.h"
#include "core/page_definition.h"

namespace {
constexpr int kBassBins = 44;
constexpr int32_t kLevelFloor = 7680;  // keeps the level divisor positive
constexpr int32_t kMinimumBoost = 12;  // the bar never stops turning

bool IsTip(BassSpinEffect::Tip t) { return t.x != 0 || t.y != 0; }
}  // namespace

void BassSpinEffect::render(const uint8_t* samples, uint32_t* frame, int32_t width, int32_t height) {
    for (int channel = 0; channel < 2; ++channel)
        if (enabledChannels & (1 << channel))
            spin(channel, samples + (channel ? kSpectrumOffset1 : kSpectrumOffset0), frame, width, height);
}

void BassSpinEffect::spin(int channel, const uint8_t* spectrum, uint32_t* frame, int32_t width,
                          int32_t height) {
    Spinner& s = spinners[channel];
    const uint32_t colour = uint32_t(channel ? rightColour : leftColour);
    const int32_t r = std::min(height / 2, (3 * width) / 8);
    const int32_t cy = height / 2;
    const int32_t cx = channel ? width / 2 + r / 2 : width / 2 - r / 2;

    int32_t sum = 0;
    for (int bin = 0; bin < kBassBins; ++bin) sum += spectrum[bin];
    const int32_t level = std::min((sum * 512) / (previousBassSum + kLevelFloor), 255);
    previousBassSum = sum;
    const int32_t boost = std::max(level - 104, kMinimumBoost);

    // The order of the operations is part of the result.
    s.speed = boost * 0.010416666666666666 * 0.7 + s.speed * 0.3;
    s.angle = s.speed * s.direction * 0.5235983333333333 + s.angle;
    const double arm = level * r * 0.00390625;
    const int32_t u = SaturatingTrunc(arm * std::cos(s.angle));
    const int32_t v = SaturatingTrunc(arm * std::sin(s.angle));
    const Tip plus{cx + u, cy + v}, minus{cx - u, cy - v};

    if (style == 0) {
        if (IsTip(s.previousPlus))
            AddLineThick(frame, s.previousPlus.x, s.previousPlus.y, plus.x, plus.y, width, height, colour);
        s.previousPlus = plus;
        AddLineThick(frame, cx, cy, plus.x, plus.y, width, height, colour);
        if (IsTip(s.previousMinus))
            AddLineThick(frame, s.previousMinus.x, s.previousMinus.y, minus.x, minus.y, width, height,
                         colour);
        s.previousMinus = minus;
        AddLineThick(frame, cx, cy, minus.x, minus.y, width, height, colour);
    } else if (style == 1) {
        if (IsTip(s.previousPlus))
            AddTriangle(frame, cx, cy, s.previousPlus.x, s.previousPlus.y, plus.x, plus.y, width, height,
                        colour);
        s.previousPlus = plus;
        if (IsTip(s.previousMinus))
            AddTriangle(frame, cx, cy, s.previousMinus.x, s.previousMinus.y, minus.x, minus.y, width, height,
                        colour);
        s.previousMinus = minus;
    }
}

const SettingTable* BassSpinEffect::settingTable() const {
    static const SettingWord words[] = {
        {"enabled channels", FieldKind::Flags, SettingMember(&BassSpinEffect::enabledChannels)},
        {"left colour", FieldKind::Colour, SettingMember(&BassSpinEffect::leftColour)},
        {"right colour", FieldKind::Colour, SettingMember(&BassSpinEffect::rightColour)},
        {"style", FieldKind::Number, SettingMember(&BassSpinEffect::style)},
    };
    static const SettingTable table = MakeSettingTable(words);
    return &table;
}

const PageDefinition* BassSpinEffect::page() const {
    static const PageBinding bindings[] = {
        {.controlId = 1009, .kind = ControlKind::CheckBox,
         .word = SettingMember(&BassSpinEffect::enabledChannels), .mask = 1},
        {.controlId = 1010, .kind = ControlKind::CheckBox,
         .word = SettingMember(&BassSpinEffect::enabledChannels), .mask = 2},
        {.controlId = 1011, .kind = ControlKind::ColourButton,
         .word = SettingMember(&BassSpinEffect::leftColour)},
        {.controlId = 1012, .kind = ControlKind::ColourButton,
         .word = SettingMember(&BassSpinEffect::rightColour)},
        {.controlId = 1021, .kind = ControlKind::RadioButton, .word = SettingMember(&BassSpinEffect::style),
         .value = 1, .uncheckedValue = 0, .uncheckedStores = true},
        {.controlId = 1014, .kind = ControlKind::RadioButton, .word = SettingMember(&BassSpinEffect::style),
         .value = 0, .uncheckedValue = 1, .uncheckedStores = true},
    };
    static const PageDefinition definition = MakePage(110, bindings);
    return &definition;
}
