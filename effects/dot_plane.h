#pragma once
#include "core/effect.h"

// The left channel's recent spectrum as a turning, tilted landscape of 64 x 64 dots: a
// new row enters at the front every frame, older rows move back and keep swinging on a
// spring, and every dot keeps the colour of the height it entered with.
class DotPlaneEffect : public Effect {
public:
    static constexpr char kName[] = "Dot Plane v0.0";
    static constexpr int kGrid = 64;

    DotPlaneEffect() { settingsChanged(); }
    void render(const uint8_t* samples, uint32_t* frame, int32_t width, int32_t height) override;
    const char* name() const override { return kName; }
    const SettingTable* settingTable() const override;
    const PageDefinition* page() const override;
    // Rebuilds the colour ramp from the five colours.
    void settingsChanged() override;

    int32_t rotationSpeed = 16;  // fifths of a degree per frame
    int32_t bottomColour = 0x1C6B18;
    int32_t lowColour = 0xFF0A23;
    int32_t midColour = 0x2A1D74;
    int32_t highColour = 0x9036D9;
    int32_t topColour = 0x6B88FF;  // approached, never reached

    float rotationAngle = 0.0f;  // degrees, kept in 0..360
    float tiltAngle = -20.0f;    // degrees; the range rule makes it 340 after one frame
    // Row 0 is the front edge, where new data enters.
    float heights[kGrid][kGrid] = {};
    float speeds[kGrid][kGrid] = {};
    uint32_t dotColours[kGrid][kGrid] = {};
    uint32_t ramp[kGrid] = {};

private:
    void advanceRows(const uint8_t* spectrum);
};
