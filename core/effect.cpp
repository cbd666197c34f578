#include "core/effect.h"

#include "core/effect_settings.h"

void Effect::load(const uint8_t* data, int32_t length) {
    if (const SettingTable* table = settingTable()) LoadPayload(*this, *table, data, length);
    settingsChanged();
}

int32_t Effect::save(uint8_t* out) {
    const SettingTable* table = settingTable();
    return table ? SavePayload(*this, *table, out) : 0;
}
