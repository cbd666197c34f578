#include "engine/preset_bytes.h"

#include <algorithm>
#include <cstring>

#include "engine/effect_chain.h"
#include "core/effect_settings.h"
#include "platform/shell.h"

const char kPresetHeader[kPresetHeaderBytes + 1] = "Ostrakin Qel_V 5 Preset\x1A";

namespace {
// Bytes past the end of the data read as 0, as if the data lay in a zero-filled buffer.
int32_t IntAt(const uint8_t* data, int64_t length, int64_t position) {
    uint8_t b[4] = {};
    for (int i = 0; i < 4; ++i)
        if (position + i < length) b[i] = data[position + i];
    return ReadInt32LE(b);
}
}  // namespace

int32_t WritePresetBytes(EffectChain& chain, uint8_t* buffer, int32_t capacity) {
    if (capacity < kPresetHeaderBytes + 1) return -1;
    std::lock_guard<std::mutex> lock(chain.renderLock);
    uint8_t* scratch = chain.payloadScratch;
    std::memcpy(buffer, kPresetHeader, kPresetHeaderBytes);
    buffer[kPresetHeaderBytes] = uint8_t(chain.framebufferClear);
    int64_t position = kPresetHeaderBytes + 1;
    for (int i = 0; i < kChainSlots && chain.effects[i]; ++i) {
        const int32_t n = chain.effects[i]->save(scratch);
        if (n < 0 || n > kPayloadScratchBytes || position + 8 + n > capacity) return -1;
        WriteInt32LE(buffer + position, chain.typeIds[i]);
        WriteInt32LE(buffer + position + 4, n);
        std::memcpy(buffer + position + 8, scratch, size_t(n));
        position += 8 + n;
    }
    return int32_t(position);
}

bool IsPresetHeader(const uint8_t* data, int32_t length) {
    return length >= kPresetHeaderBytes && std::memcmp(data, kPresetHeader, kPresetHeaderBytes) == 0;
}

void ReportInvalidPreset() { shell().ShowMessage(nullptr, "Invalid Preset", "Read Preset"); }

bool ReadPresetBytes(EffectChain& chain, const uint8_t* data, int32_t length) {
    length = std::min(length, kPresetCapacity);
    {
        std::lock_guard<std::mutex> lock(chain.renderLock);
        uint8_t* scratch = chain.payloadScratch;
        if (IsPresetHeader(data, length)) {
            chain.framebufferClear = length > kPresetHeaderBytes ? data[kPresetHeaderBytes] : 0;
            int64_t position = kPresetHeaderBytes + 1;
            int slot = ChainLength(chain);
            while (position < length && slot < kChainSlots) {
                const int32_t typeId = IntAt(data, length, position);
                const int32_t n = IntAt(data, length, position + 4);
                position += 8;
                if (Effect* effect = CreateEffect(typeId)) {
                    // The effect reads its fields from a zero-filled copy, so a payload that
                    // runs past the data sees zeros there and never the memory beyond.
                    const int32_t given = std::clamp(n, 0, kPayloadScratchBytes);
                    const int64_t present = std::clamp<int64_t>(length - position, 0, given);
                    std::memset(scratch, 0, size_t(given));
                    if (present > 0) std::memcpy(scratch, data + position, size_t(present));
                    effect->load(scratch, given);
                    chain.effects[slot] = effect;
                    chain.typeIds[slot] = typeId;
                    ++slot;
                }
                // A negative length would move backwards through the data: the rest of
                // such a damaged preset is not read.
                if (n < 0) break;
                position += n;
            }
            return true;
        }
    }
    ReportInvalidPreset();
    return false;
}
