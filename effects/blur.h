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
};
