#pragma once
#include "core/effect_settings.h"

// Effects that exist only in these tests; the tests' own factory table lists them, so the
// chain and the preset format are tested apart from the real effect types.
struct CountingEffect : Effect {
    static constexpr char kName[] = "Counting";
    static int alive;
    CountingEffect() { ++alive; }
    ~CountingEffect() override { --alive; }
    // Adds one to pixel 0 per render and writes the beat it saw into pixel 1.
    void render(const uint8_t*, uint32_t* frame, int32_t, int32_t) override {
        ++frame[0];
        frame[1] = uint32_t(beat);
    }
    const char* name() const override { return kName; }
    const SettingTable* settingTable() const override;
    int32_t first = 7, second = 0x112233;
};

struct SilentEffect : Effect {
    static constexpr char kName[] = "Silent";
    void render(const uint8_t*, uint32_t*, int32_t, int32_t) override {}
    const char* name() const override { return kName; }
};
