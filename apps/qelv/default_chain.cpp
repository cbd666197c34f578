#include "apps/qelv/default_chain.h"

#include <cstring>

#include "pipeline/effect_chain.h"
#include "pipeline/effect_settings.h"

namespace {
constexpr int32_t kFadeoutTypeId = 3;
}  // namespace

const std::vector<DefaultEffect>& DefaultChainTable() {
    // Trails fade and stream outwards behind the drawing effects; every eighth beat
    // washes the frame with a dim blue.
    static const std::vector<DefaultEffect> table = {
        {3, {{"fade amount", 10}}},                                                             // Fadeout
        {4, {{"normal direction", 30}, {"on-beat direction", 22}, {"on-beat changes", 1}}},  // Blitter Feedback
        {6, {}},                                                                                // Blur
        {1, {}},                                                                                // Dot Plane
        {0, {{"style", 1}, {"left colour", 0x3080FF}, {"right colour", 0xFF7030}}},             // SimpleVis
        {2, {{"left colour", 0x40FF80}, {"right colour", 0xFFD040}}},                           // Oscilliscope Star
        {7, {{"left colour", 0x8040FF}, {"right colour", 0x40C0FF}}},                           // Bass Spin
        {8, {{"colour", 0xFFE0A0}}},                                                            // Flyin' Particle
        {5, {{"interval", 8}, {"blend", 1}, {"colour", 0x202040}}},                             // Beat Clear
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

void BuildDefaultChain() {
    bool fading = false;
    for (const DefaultEffect& entry : DefaultChainTable()) {
        const int slot = AppendEffect(entry.typeId);
        if (slot < 0) continue;  // a type this build does not have yet
        for (const DefaultSetting& setting : entry.settings)
            SetSettingByName(*effectChain.effects[slot], setting.name, setting.value);
        fading = fading || entry.typeId == kFadeoutTypeId;
    }
    // Without anything that fades, kept frames would only pile up towards white.
    framebufferClear = fading ? 0 : 1;
}
