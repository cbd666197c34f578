#include "pipeline/effect.h"

#include "pipeline/effect_settings.h"
#include "ui/effect_page.h"

WindowHandle Effect::createSettingsPage(InstanceHandle instance, WindowHandle parent) {
    const PageDefinition* definition = page();
    return definition ? OpenEffectPage(instance, parent, *this, *definition) : nullptr;
}

void Effect::load(const uint8_t* data, int32_t length) {
    if (const SettingTable* table = settingTable()) LoadPayload(*this, *table, data, length);
    settingsChanged();
}

int32_t Effect::save(uint8_t* out) {
    const SettingTable* table = settingTable();
    return table ? SavePayload(*this, *table, out) : 0;
}
