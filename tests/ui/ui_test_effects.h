#pragma once
#include "core/effect_settings.h"
#include "ui/effect_page.h"

// Effects that exist only in these tests, listed by the tests' own factory table so the
// panel is tested apart from the real effect types. Type ids: 0 Zebra (has a page),
// 1 Aardvark (no page), 2 Heavy (a payload so large that eight do not fit in a preset).
struct ZebraEffect : Effect {
    static constexpr char kName[] = "Zebra v0.0";
    static constexpr int kPageTemplate = 103;
    void render(const uint8_t*, uint32_t*, int32_t, int32_t) override {}
    const char* name() const override { return kName; }
    const SettingTable* settingTable() const override;
    const PageDefinition* page() const override;
    void settingsChanged() override { ++changes; }

    int32_t speed = 30, current = 30;  // trackbar 1014; the trackbar also jumps current
    int32_t blend = 0;                 // check box 1015, whole word
    int32_t channels = 2;              // check boxes 1009 (bit 0) and 1010 (bit 1)
    int32_t style = 1;                 // radios 1013 (style 0) and 1016 (style 1)
    int32_t fill = 0;                  // radio 1021: 1 when checked, else 0
    int32_t colour = 0x112233;         // colour button 1011
    int changes = 0;
};

struct AardvarkEffect : Effect {
    static constexpr char kName[] = "Aardvark v0.0";
    void render(const uint8_t*, uint32_t*, int32_t, int32_t) override {}
    const char* name() const override { return kName; }
};

struct HeavyEffect : Effect {
    static constexpr char kName[] = "Heavy v0.0";
    void render(const uint8_t*, uint32_t*, int32_t, int32_t) override {}
    const char* name() const override { return kName; }
    int32_t save(uint8_t*) override { return kPayloadScratchBytes; }
};
