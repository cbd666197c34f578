#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// A preset file taken apart entry by entry, exactly as stored, so that it can be shown to
// people and converted to JSON and back without losing a byte — damaged entries included.
struct PresetEntry {
    int32_t typeId = 0;
    int32_t declaredLength = 0;    // the stored length word; may disagree with the payload
    std::vector<uint8_t> payload;  // the payload bytes actually present
};

struct PresetDocument {
    bool hasClearByte = true;  // a file of just the header has none (and reads as 0)
    uint8_t clearByte = 1;
    std::vector<PresetEntry> entries;
    std::vector<uint8_t> trailing;  // bytes after an entry that cannot be followed
};

// False with an error for data that is not a preset (wrong or missing header).
bool ParsePreset(const std::vector<uint8_t>& data, PresetDocument& document, std::string& error);
std::vector<uint8_t> SerializePreset(const PresetDocument& document);

// The effect's name for a type id ("Fadeout v0.0"), or "unknown type N".
std::string EffectTypeName(int32_t typeId);

// Readable text: the clear flag, then per entry its type id, name and named fields.
std::string DescribePreset(const PresetDocument& document);

nlohmann::ordered_json PresetToJson(const PresetDocument& document);
// False with an error for JSON that does not describe a preset. Lines for what was taken
// but may not be what the author meant (a "name" that is not the type's) go to note.
bool PresetFromJson(const nlohmann::ordered_json& json, PresetDocument& document, std::string& error,
                    std::string* note = nullptr);

// The JSON form of the largest preset is about 12 MB; a file beyond this is no preset.
constexpr size_t kMaxPresetJsonBytes = size_t(16) << 20;
// JSON text to a preset. Before the text is parsed it is checked for what no preset's
// JSON holds: NUL bytes, nesting deeper than a few levels, or more values than a 1 MiB
// preset has, so that hostile text costs a bounded amount of memory.
bool PresetFromJsonText(const std::vector<uint8_t>& text, PresetDocument& document, std::string& error,
                        std::string* note = nullptr);
