#pragma once
#include "core/effect.h"

// One soft disc swinging about the frame's centre on a damped spring; every beat moves
// the spring's anchor to a random place and may blow the particle up for a moment.
class FlyinParticleEffect : public Effect {
public:
    static constexpr char kName[] = "Flyin' Particle v0.0";
    static constexpr int kSpriteSide = 8;

    FlyinParticleEffect() { settingsChanged(); }
    void render(const uint8_t* samples, uint32_t* frame, int32_t width, int32_t height) override;
    const char* name() const override { return kName; }
    // Also lets the particle take the loaded size at once.
    void load(const uint8_t* data, int32_t length) override;
    const SettingTable* settingTable() const override;
    const PageDefinition* page() const override;
    // Colours the sprite.
    void settingsChanged() override;

    int32_t flags = 1;  // bit 0 enabled, bit 1 size change on beats
    int32_t colour = 0xFFFFFF;
    int32_t distance = 16;  // flight radius in 32nds
    int32_t size = 8;       // pixels, between beats
    int32_t beatSize = 8;   // pixels, taken on a beat
    int32_t currentSize = 8;
    uint32_t sprite[kSpriteSide * kSpriteSide] = {};

    // Motion, relative to the frame's centre; never saved.
    double targetX = 0.0, targetY = 0.0;
    double velocityX = -0.01551, velocityY = 0.0;
    double positionX = -0.6, positionY = 0.3;

private:
    void draw(uint32_t* frame, int32_t width, int32_t height, int64_t x, int64_t y, int32_t drawnSize) const;
};
