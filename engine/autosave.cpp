#include "engine/autosave.h"

#include <cstdio>
#include <string>
#include <memory>
#include <new>

#include "engine/preset_bytes.h"
#include "platform/shell.h"

const char kAutosaveFileName[] = "qelv5.dat";

namespace {
PresetFileReader presetFileReader = ReadPlainPresetFile;
}  // namespace

void InstallPresetFileReader(PresetFileReader reader) { presetFileReader = reader ? reader : ReadPlainPresetFile; }

int32_t ReadPresetFile(const char* path, uint8_t* buffer) { return presetFileReader(path, buffer); }

int32_t ReadPlainPresetFile(const char* path, uint8_t* buffer) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return -1;
    const size_t n = std::fread(buffer, 1, kPresetCapacity, file);
    std::fclose(file);
    return int32_t(n);
}

void LoadAutosave(EffectChain& chain) {
    const std::string path = shell().ProgramFilePath(kAutosaveFileName);
    if (path.empty()) return;
    const PresetBuffer buffer;
    if (!buffer.bytes) return;
    const int32_t n = ReadPresetFile(path.c_str(), buffer.bytes.get());
    if (n >= 0) ReadPresetBytes(chain, buffer.bytes.get(), n);
}

void SaveAutosave(EffectChain& chain) {
    const std::string path = shell().ProgramFilePath(kAutosaveFileName);
    if (path.empty()) return;
    const PresetBuffer buffer;
    if (!buffer.bytes) return;
    const int32_t n = WritePresetBytes(chain, buffer.bytes.get(), kPresetCapacity);
    if (n < 0) return;
    // Errors are not reported; a failed write keeps the previous autosave.
    shell().WriteFileAtomically(path.c_str(), buffer.bytes.get(), size_t(n));
}
