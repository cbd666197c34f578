#pragma once
#include <cstdint>

#include "core/effect.h"

// Floods the whole frame with one colour on every interval-th beat, replacing the
// picture or mixing it half and half with the colour.
class BeatClearEffect : public Effect {
public:
    static constexpr char kName[] = "Beat Clear v0.0";

    void render(const uint8_t* samples, uint32_t* frame, int32_t width, int32_t height) override;
    const char* name() const override { return kName; }
    // The interval is not part of the payload: a loaded effect starts at interval 1.
    void load(const uint8_t* data, int32_t length) override;
    const SettingTable* settingTable() const override;
    const PageDefinition* page() const override;

    int32_t interval = 1;     // clear on every interval-th beat; 0 never clears
    int32_t beatCounter = 0;  // beats seen since the last clear
    int32_t colour = 0xFFFFFF;
    int32_t blend = 0;        // nonzero: mix with the colour instead of replacing
};
