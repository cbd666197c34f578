// Feeds arbitrary text to the JSON preset reader. What it accepts must convert to bytes
// and back to the same JSON without loss, then load and draw like any preset.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "host/preset_document.h"
#include "fuzz/fuzz_render.h"
#include "engine/preset_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> text(data, data + size);
    PresetDocument document;
    std::string error, note;
    if (!PresetFromJsonText(text, document, error, &note)) return 0;
    const std::vector<uint8_t> bytes = SerializePreset(document);
    if (bytes.size() > size_t(kPresetCapacity)) std::abort();

    PresetDocument parsed, back;
    if (!ParsePreset(bytes, parsed, error)) std::abort();
    if (!PresetFromJson(PresetToJson(parsed), back, error) || SerializePreset(back) != bytes) std::abort();

    ReadPresetBytes(FuzzEngine().chain, bytes.data(), int32_t(bytes.size()));
    RenderLoadedChain(uint32_t(size));
    FuzzEngine().chain.ClearChain();
    return 0;
}
