#include "core/effect_settings.h"

int32_t ReadInt32LE(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                                uint32_t(p[3]) << 24);
}

void WriteInt32LE(uint8_t* p, int32_t value) {
    const uint32_t v = static_cast<uint32_t>(value);
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

void LoadPayload(Effect& effect, const SettingTable& table, const uint8_t* data, int32_t length) {
    for (int i = 0; i < table.payloadCount && length >= 4 * (i + 1); ++i)
        effect.*table.words[i].word = ReadInt32LE(data + 4 * i);
}

int32_t SavePayload(const Effect& effect, const SettingTable& table, uint8_t* out) {
    for (int i = 0; i < table.payloadCount; ++i) WriteInt32LE(out + 4 * i, effect.*table.words[i].word);
    return 4 * table.payloadCount;
}
