#include "tests/ui/ui_test_effects.h"

#include "engine/effect_factory.h"

const SettingTable* ZebraEffect::settingTable() const {
    static const SettingWord words[] = {
        {"speed", FieldKind::Number, SettingMember(&ZebraEffect::speed)},
        {"colour", FieldKind::Colour, SettingMember(&ZebraEffect::colour)},
    };
    static const SettingTable table = MakeSettingTable(words);
    return &table;
}

const PageDefinition* ZebraEffect::page() const {
    static const PageBinding bindings[] = {
        {.controlId = 1014, .kind = ControlKind::Trackbar, .word = SettingMember(&ZebraEffect::speed),
         .minimum = 0, .maximum = 64, .alsoWord = SettingMember(&ZebraEffect::current)},
        {.controlId = 1015, .kind = ControlKind::CheckBox, .word = SettingMember(&ZebraEffect::blend)},
        {.controlId = 1009, .kind = ControlKind::CheckBox, .word = SettingMember(&ZebraEffect::channels), .mask = 1},
        {.controlId = 1010, .kind = ControlKind::CheckBox, .word = SettingMember(&ZebraEffect::channels), .mask = 2},
        {.controlId = 1013, .kind = ControlKind::RadioButton, .word = SettingMember(&ZebraEffect::style), .value = 0},
        {.controlId = 1016, .kind = ControlKind::RadioButton, .word = SettingMember(&ZebraEffect::style), .value = 1},
        {.controlId = 1021, .kind = ControlKind::RadioButton, .word = SettingMember(&ZebraEffect::fill), .value = 1,
         .uncheckedValue = 0, .uncheckedStores = true},
        {.controlId = 1011, .kind = ControlKind::ColourButton, .word = SettingMember(&ZebraEffect::colour)},
    };
    static const PageDefinition definition = MakePage(kPageTemplate, bindings);
    return &definition;
}

const EffectFactory effectFactories[] = {MakeEffect<ZebraEffect>, MakeEffect<AardvarkEffect>,
                                         MakeEffect<HeavyEffect>, nullptr};
