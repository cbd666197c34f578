#pragma once
#include <cstdint>

struct EffectChain;

// The preset byte format: 24 header bytes, the clear flag byte, then one entry per
// effect (type id, payload length, payload), all little-endian, up to the end of data.
constexpr int32_t kPresetCapacity = 1048576;
constexpr int kPresetHeaderBytes = 24;
extern const char kPresetHeader[kPresetHeaderBytes + 1];

// Writes the chain; the length, or -1 when it does not fit in capacity.
int32_t WritePresetBytes(EffectChain& chain, uint8_t* buffer, int32_t capacity);
// Whether data starts with the 24 header bytes that identify a preset.
bool IsPresetHeader(const uint8_t* data, int32_t length);
// Shows "Invalid Preset" / "Read Preset" with no owner window.
void ReportInvalidPreset();
// Adds the preset's effects to the (empty) chain and sets the clear flag. A wrong header
// shows "Invalid Preset" and changes nothing; returns whether the header was valid.
bool ReadPresetBytes(EffectChain& chain, const uint8_t* data, int32_t length);
