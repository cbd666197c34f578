#pragma once
#include <cstdint>

#include "core/effect.h"

// How a setting word is shown to people (preset tools, settings pages).
enum class FieldKind : uint8_t {
    Number,  // a plain signed integer
    Colour,  // 0x00RRGGBB
    Flags,   // a bit set
};

struct SettingWord {
    const char* name;
    FieldKind kind;
    int32_t Effect::* word;
};

// An effect type's setting words; the first payloadCount of them are its preset
// payload, in order, each an int32 little-endian. Words after those (an interval that
// is never saved, a direction a page jumps to) can still be bound to page controls.
struct SettingTable {
    const SettingWord* words;
    int count;
    int payloadCount;
};

// Names a setting member of an effect type as a word of any Effect.
template <class E>
constexpr int32_t Effect::* SettingMember(int32_t E::* member) {
    return static_cast<int32_t Effect::*>(member);
}

template <int N>
constexpr SettingTable MakeSettingTable(const SettingWord (&words)[N], int payloadCount = N) {
    return SettingTable{words, N, payloadCount};
}

// A field is taken only when all 4 of its bytes are present; the rest keep their values.
void LoadPayload(Effect& effect, const SettingTable& table, const uint8_t* data, int32_t length);
// Writes every payload word and returns the byte count.
int32_t SavePayload(const Effect& effect, const SettingTable& table, uint8_t* out);

int32_t ReadInt32LE(const uint8_t* p);
void WriteInt32LE(uint8_t* p, int32_t value);
