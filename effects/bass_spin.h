#pragma once
#include "core/effect.h"

// Each channel's bass energy spins a bar about a centre left or right of the middle,
// traced as lines from tip to tip or swept as filled triangles.
class BassSpinEffect : public Effect {
public:
    static constexpr char kName[] = "Bass Spin v0.0";

    void render(const uint8_t* samples, uint32_t* frame, int32_t width, int32_t height) override;
    const char* name() const override { return kName; }
    const SettingTable* settingTable() const override;
    const PageDefinition* page() const override;

    // The first four words share SimpleVis's payload layout.
    int32_t enabledChannels = 3;  // bit 0 left, bit 1 right
    int32_t leftColour = 0xFFFFFF;
    int32_t rightColour = 0xFFFFFF;
    int32_t style = 1;  // 0 lines, 1 filled triangles, anything else draws nothing

    // Run-time state, never saved nor touched by load.
    struct Tip {
        int32_t x = 0, y = 0;  // (0, 0): no tip yet
    };
    struct Spinner {
        Tip previousPlus, previousMinus;
        double angle, speed, direction;
    };
    // One value for both channels: each channel is measured against the one drawn last.
    int32_t previousBassSum = 0;
    // 3.14159 exactly as written, not pi.
    Spinner spinners[2] = {{{}, {}, 3.14159, 0.0, -1.0}, {{}, {}, 0.0, 0.0, 1.0}};

private:
    void spin(int channel, const uint8_t* spectrum, uint32_t* frame, int32_t width, int32_t height);
};
