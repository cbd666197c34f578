#pragma once
#include <cstdint>
#include <memory>
#include <new>

#include "engine/preset_bytes.h"

// The chain in force at Quit, read back at the next Init: "qelv5.dat" in the host's
// program directory.
extern const char kAutosaveFileName[];

// A zero-filled buffer of one preset's size, or none when memory ran out.
struct PresetBuffer {
    std::unique_ptr<uint8_t[]> bytes{new (std::nothrow) uint8_t[kPresetCapacity]()};
};

struct EffectChain;

void LoadAutosave(EffectChain& chain);
void SaveAutosave(EffectChain& chain);
// Reads at most one preset's worth (1 MiB) of a file; -1 when it cannot be opened.
// The installed reader does it, by default ReadPlainPresetFile.
int32_t ReadPresetFile(const char* path, uint8_t* buffer);
int32_t ReadPlainPresetFile(const char* path, uint8_t* buffer);
// A tool that keeps presets in other forms too reads them through its own; null restores
// the plain one.
using PresetFileReader = int32_t (*)(const char* path, uint8_t* buffer);
void InstallPresetFileReader(PresetFileReader reader);
