#include "apps/qelv/preset_loading.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "apps/qelv/file_bytes.h"
#include "apps/qelv/preset_document.h"
#include "pipeline/autosave.h"
#include "pipeline/effect_chain.h"
#include "pipeline/preset_bytes.h"

namespace {
bool EndsWith(const std::string& text, const char* suffix) {
    const size_t n = std::strlen(suffix);
    return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

// A preset shared as JSON (qelv preset to-json) turned back into its bytes.
bool PresetBytesFromJson(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    std::vector<uint8_t> text;
    bool cut = false;
    if (!ReadFileBytes(path, text, size_t(64) << 20, cut, error)) return false;
    const auto json = nlohmann::ordered_json::parse(text.begin(), text.end(), nullptr, false);
    PresetDocument document;
    if (json.is_discarded()) {
        error = "'" + path + "' is not valid JSON";
        return false;
    }
    if (!PresetFromJson(json, document, error)) {
        error = "'" + path + "': " + error;
        return false;
    }
    bytes = SerializePreset(document);
    return true;
}
}  // namespace

bool LoadPresetFile(const std::string& path, std::string& error) {
    std::vector<uint8_t> json;
    const bool fromJson = EndsWith(path, ".json") || EndsWith(path, ".JSON");
    if (fromJson && !PresetBytesFromJson(path, json, error)) return false;

    const PresetBuffer buffer;
    if (!buffer.bytes) {
        error = "out of memory reading '" + path + "'";
        return false;
    }
    int32_t length;
    if (fromJson) {
        length = int32_t(json.size());  // PresetFromJson keeps it within 1 MiB
        std::memcpy(buffer.bytes.get(), json.data(), json.size());
    } else if ((length = ReadPresetFile(path.c_str(), buffer.bytes.get())) < 0) {
        error = "cannot open '" + path + "': " + std::strerror(errno);
        return false;
    }
    if (!IsPresetHeader(buffer.bytes.get(), length)) {
        error = "'" + path + "' is not a preset (Invalid Preset)";
        return false;
    }
    ClearChain();
    ReadPresetBytes(buffer.bytes.get(), length);
    return true;
}
