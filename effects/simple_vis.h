#pragma once
#include <cstdint>

#include "core/effect.h"

// Spectrum analyser or oscilloscope of both channels, added onto the frame with AddLine:
// channel 0 (left) in the upper half, channel 1 (right) in the lower half.
class SimpleVisEffect final : public Effect {
public:
    static constexpr char kName[] = "SimpleVis v0.0";

    enum Style : int32_t {
        kSolidSpectrum = 0,
        kLineSpectrum = 1,
        kLineOscilloscope = 2,
        kSolidOscilloscope = 3,
    };

    void render(const uint8_t* samples, uint32_t* frame, int32_t width, int32_t height) override;
    const char* name() const override { return kName; }
    const SettingTable* settingTable() const override;
    const PageDefinition* page() const override;

    int32_t enabledChannels = 3;  // bit 0: left, bit 1: right
    int32_t leftColour = 0xFFFFFF;
    int32_t rightColour = 0xFFFFFF;
    int32_t style = kSolidSpectrum;  // any other value draws nothing
};
