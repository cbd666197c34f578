#include "tests/engine/test_effects.h"

#include "engine/effect_factory.h"

int CountingEffect::alive = 0;

const SettingTable* CountingEffect::settingTable() const {
    static const SettingWord words[] = {
        {"first", FieldKind::Number, SettingMember(&CountingEffect::first)},
        {"second", FieldKind::Colour, SettingMember(&CountingEffect::second)},
    };
    static const SettingTable table = MakeSettingTable(words);
    return &table;
}

// Type id 0 counts, type id 1 is silent; 2..8 are left out on purpose.
const EffectFactory effectFactories[] = {MakeEffect<CountingEffect>, MakeEffect<SilentEffect>, nullptr};
