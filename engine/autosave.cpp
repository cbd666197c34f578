#include "engine/autosave.h"

#include <cstdio>
#include <string>
#include <memory>
#include <new>

#include "engine/preset_bytes.h"
#include "platform/shell.h"

const char kAutosaveFileName[] = "qelv5.dat";

int32_t ReadPresetFile(const char* path, uint8_t* buffer) {
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
    // Written beside and then renamed over the old file, so a failed write never
    // leaves a truncated autosave behind.
    const std::string temporary = path + ".new";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) return;
    const bool written = std::fwrite(buffer.bytes.get(), 1, size_t(n), file) == size_t(n);
    if (std::fclose(file) != 0 || !written) {
        std::remove(temporary.c_str());
        return;
    }
    std::remove(path.c_str());
    std::rename(temporary.c_str(), path.c_str());
}
