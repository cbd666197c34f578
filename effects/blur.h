#pragma once
#include <cstdint>

#include "core/effect.h"

// Replaces every pixel by the mean of its four direct neighbours, in place in one pass,
// so that drawn shapes spread into a glow. No settings: load and save are the defaults.
class BlurEffect : public Effect {
public:
    static constexpr char kName[] = "Blur v0.0";

    void render(const uint8_t* samples, uint32_t* frame, int32_t width, int32_t height) override;
    const char* name() const override { return kName; }
    const PageDefinition* page() const override;

private:
    // What a row costs in a band that guesses its start and keeps its old rows, over one
    // of the first band's, as the last frames measured it: the first band takes that much
    // more, so that the bands end together. It changes where the bands are cut, never a
    // word of the frame.
    double keptRowCost = 1.25;
};
