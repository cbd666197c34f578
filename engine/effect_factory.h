#pragma once
#include <cstring>
#include <new>

#include "core/effect.h"

// The factory of every effect type: E supplies kName.
template <class E>
Effect* MakeEffect(char* nameBuffer) {
    static_assert(sizeof(E::kName) <= kEffectNameBytes);
    if (nameBuffer) {
        std::memcpy(nameBuffer, E::kName, sizeof(E::kName));
        return nullptr;
    }
    return new (std::nothrow) E();
}

// The table's order is the preset format: an effect's index is its stored type id.
// Nine factories followed by a null entry.
extern const EffectFactory effectFactories[];
// Entries up to the null terminator.
int EffectTypeCount();
