#pragma once
#include <cstddef>
#include <cstdint>

#include "core/effect.h"

// Lowers every colour channel of the whole frame by a fixed amount each frame, stopping
// at 0, so that the persistent frame turns into fading trails.
class FadeoutEffect : public Effect {
public:
    static constexpr char kName[] = "Fadeout v0.0";

    FadeoutEffect();
    void render(const uint8_t* samples, uint32_t* frame, int32_t width, int32_t height) override;
    const char* name() const override { return kName; }
    const SettingTable* settingTable() const override;
    const PageDefinition* page() const override;
    // Keeps the fade table in step with the amount.
    void settingsChanged() override;

    int32_t fadeAmount = 16;

private:
    // Fades words begin .. end - 1; begin is a multiple of 8.
    void fade(uint32_t* frame, size_t begin, size_t end) const;

    // New channel value for each old one; always built from fadeAmount.
    uint8_t fadeTable[256];
};
