#include "effects/oscilliscope_star.h"

#include <algorithm>
#include <cmath>

#include "effects/line_drawing.h"
#include "effects/saturating_convert.h"
#include "core/effect_settings.h"
#include "core/page_definition.h"

namespace {
constexpr int kArms = 5;
constexpr int kPointsPerArm = 64;
constexpr double kArmSpacing = 1.256636;  // a fifth of a turn
constexpr double kTurnPerFrame = 0.03;
constexpr double kFullTurn = 6.28318;

// Each arm is a radial oscilloscope trace whose swing widens from the centre outwards.
void DrawStar(const int8_t* wave, double angle, uint32_t* frame, int32_t width, int32_t height,
              uint32_t colour) {
    const int32_t cx = width / 2, cy = height / 2;
    const int32_t r = std::min(cx, cy);
    for (int arm = 0; arm < kArms; ++arm) {
        const double theta = arm * kArmSpacing + angle;
        const double sine = std::sin(theta), cosine = std::cos(theta);
        int32_t previousX = cx, previousY = cy;
        // Both advance by dyadic steps, so the sums are exact.
        double distance = 0.0;
        double swingScale = 1.0 / 1024;
        for (int k = 0; k < kPointsPerArm; ++k) {
            const double swing = double(wave[arm * kPointsPerArm + k]) * r * swingScale;
            const int32_t x = cx + SaturatingTrunc(distance * cosine) - SaturatingTrunc(swing * sine);
            const int32_t y = cy + SaturatingTrunc(distance * sine) + SaturatingTrunc(swing * cosine);
            AddLineThick(frame, x, y, previousX, previousY, width, height, colour);
            previousX = x;
            previousY = y;
            distance += r / 64.0;
            swingScale += 7.0 / 65536;
        }
    }
}
}  // namespace

void OscilliscopeStarEffect::render(const uint8_t* samples, uint32_t* frame, int32_t width, int32_t height) {
    const auto* left = reinterpret_cast<const int8_t*>(samples + kWaveformOffset0);
    const auto* right = reinterpret_cast<const int8_t*>(samples + kWaveformOffset1);
    if (enabledChannels & 1) DrawStar(left, leftAngle, frame, width, height, uint32_t(leftColour));
    // The left angle only falls, so the wrap never brings it back; only its sine and
    // cosine matter. Both turn also while their channel is off.
    leftAngle -= kTurnPerFrame;
    if (leftAngle >= kFullTurn) leftAngle -= kFullTurn;
    if (enabledChannels & 2) DrawStar(right, rightAngle, frame, width, height, uint32_t(rightColour));
    rightAngle += kTurnPerFrame;
    if (rightAngle >= kFullTurn) rightAngle -= kFullTurn;
}

const SettingTable* OscilliscopeStarEffect::settingTable() const {
    static const SettingWord words[] = {
        {"enabled channels", FieldKind::Flags, SettingMember(&OscilliscopeStarEffect::enabledChannels)},
        {"left colour", FieldKind::Colour, SettingMember(&OscilliscopeStarEffect::leftColour)},
        {"right colour", FieldKind::Colour, SettingMember(&OscilliscopeStarEffect::rightColour)},
    };
    static const SettingTable table = MakeSettingTable(words);
    return &table;
}

const PageDefinition* OscilliscopeStarEffect::page() const {
    static const PageBinding bindings[] = {
        {.controlId = 1009, .kind = ControlKind::CheckBox,
         .word = SettingMember(&OscilliscopeStarEffect::enabledChannels), .mask = 1},
        {.controlId = 1010, .kind = ControlKind::CheckBox,
         .word = SettingMember(&OscilliscopeStarEffect::enabledChannels), .mask = 2},
        {.controlId = 1011, .kind = ControlKind::ColourButton,
         .word = SettingMember(&OscilliscopeStarEffect::leftColour)},
        {.controlId = 1012, .kind = ControlKind::ColourButton,
         .word = SettingMember(&OscilliscopeStarEffect::rightColour)},
    };
    static const PageDefinition definition = MakePage(107, bindings);
    return &definition;
}
