#pragma once
#include <cstdint>
#include <vector>

class Effect;
struct EffectChain;

// The chain `qelv render` shows when no preset is given: one entry per effect, its type
// id and the settings that differ from the type's defaults, by setting name.
struct DefaultSetting {
    const char* name;
    int32_t value;
};
struct DefaultEffect {
    int32_t typeId;
    std::vector<DefaultSetting> settings;
};
const std::vector<DefaultEffect>& DefaultChainTable();

// Appends the table's effects to the chain, skipping the types this build does not have,
// and sets the framebuffer-clear flag to suit them.
void BuildDefaultChain(EffectChain& chain);

// Sets the setting word of that name as a settings page would; false when there is none.
bool SetSettingByName(Effect& effect, const char* name, int32_t value);
