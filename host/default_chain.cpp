#include "host/default_chain.h"

#include <cstring>

#include "engine/effect_chain.h"
#include "core/effect.h"
#include "core/effect_settings.h"

namespace {
constexpr int32_t kFadeoutTypeId = 3;
}  // namespace

const std::vector<DefaultEffect>& DefaultChainTable() {
    // Trails fade and stream outwards behind the drawing effects, which add up in cool
    // colours so that only the strongest moments reach white.
    static const std::vector<DefaultEffect> table = {
        {3, {{"fade amount", 18}}},                                                           // Fadeout
        {4, {{"normal direction", 31}, {"on-beat direction", 24}, {"on-beat changes", 1}}},  // Blitter Feedback
        {1, {{"rotation speed", 6}, {"low colour", 0x102040}, {"mid colour", 0x2060C0},       // Dot Plane
             {"high colour", 0x40C0FF}, {"top colour", 0xE0FFFF}}},
        {0, {{"style", 1}, {"left colour", 0x4060C0}, {"right colour", 0xC04060}}},           // SimpleVis
        {2, {{"left colour", 0x40A060}, {"right colour", 0xA08030}}},                         // Oscilliscope Star
        {7, {{"left colour", 0x402080}, {"right colour", 0x204080}}},                         // Bass Spin
        {8, {{"flags", 3}, {"colour", 0xFFC080}, {"size", 12}, {"beat size", 40}}},           // Flyin' Particle
        {6, {}},                                                                              // Blur
        {5, {{"interval", 16}, {"blend", 1}, {"colour", 0x101830}}},                          // Beat Clear
    };
    return table;
}

bool SetSettingByName(Effect& effect, const char* name, int32_t value) {
    const SettingTable* table = effect.settingTable();
    for (int i = 0; table && i < table->count; ++i) {
        if (std::strcmp(table->words[i].name, name) == 0) {
            effect.*table->words[i].word = value;
            effect.settingsChanged();
            return true;
        }
    }
    return false;
}

void BuildDefaultChain(EffectChain& chain) {
    bool fading = false;
    std::vector<uint8_t> payload(kPayloadScratchBytes);
    for (const DefaultEffect& entry : DefaultChainTable()) {
        const int slot = chain.AppendEffect(entry.typeId);
        if (slot < 0) continue;  // a type this build does not have yet
        Effect& effect = *chain.effects[slot];
        for (const DefaultSetting& setting : entry.settings) SetSettingByName(effect, setting.name, setting.value);
        // Read back as a preset would be, so that state a load derives from the settings
        // (the particle's size at start) is the saved chain's: saved and loaded again, the
        // default chain draws the same frames.
        effect.load(payload.data(), effect.save(payload.data()));
        fading = fading || entry.typeId == kFadeoutTypeId;
    }
    // Without anything that fades, kept frames would only pile up towards white.
    chain.framebufferClear = fading ? 0 : 1;
}
