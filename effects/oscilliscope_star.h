#pragma once
#include "core/effect.h"

// Each channel's waveform as a five-armed star turning about the frame's centre, the
// left one way and the right the other, drawn with the thick additive pen.
class OscilliscopeStarEffect : public Effect {
public:
    static constexpr char kName[] = "Oscilliscope Star v0.0";

    void render(const uint8_t* samples, uint32_t* frame, int32_t width, int32_t height) override;
    const char* name() const override { return kName; }
    const SettingTable* settingTable() const override;
    const PageDefinition* page() const override;

    int32_t enabledChannels = 3;  // bit 0 left, bit 1 right
    int32_t leftColour = 0xFFFFFF;
    int32_t rightColour = 0xFFFFFF;
    // Not saved: every effect starts upright.
    double leftAngle = 0.0;
    double rightAngle = 0.0;
};
