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
bool PresetFromJson(const nlohmann::ordered_json& json, PresetDocument& document, std::string& error);
