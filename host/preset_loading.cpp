#include "host/preset_loading.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/effect_chain.h"
#include "engine/preset_bytes.h"
#include "player/input_file.h"
#include "backends/native/tool_messages.h"

namespace {
bool EndsWith(const std::string& text, const char* suffix) {
    const size_t n = std::strlen(suffix);
    return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

bool IsJsonName(const std::string& path) { return EndsWith(path, ".json") || EndsWith(path, ".JSON"); }

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

bool ReadJsonText(const std::string& path, std::vector<uint8_t>& text, std::string& error) {
    bool cut = false;
    if (!ReadWholeFile(path, kMaxPresetJsonBytes, text, cut, error)) return false;
    if (cut) error = Quoted(path) + " is larger than 16 MiB, more than the JSON form of any preset";
    return !cut;
}

// JSON text into a document; messages and notes start with the name.
bool ParsePresetJson(const std::vector<uint8_t>& text, const std::string& name, PresetDocument& document,
                     std::string& error, std::string* note) {
    std::string notes;
    if (!PresetFromJsonText(text, document, error, &notes)) {
        error = name + ": " + error;
        return false;
    }
    for (size_t start = 0, end; note && (end = notes.find('\n', start)) != std::string::npos; start = end + 1)
        *note += name + ": " + notes.substr(start, end + 1 - start);
    return true;
}
}  // namespace

bool ReadPresetJsonFile(const std::string& path, PresetDocument& document, std::string& error, std::string* note) {
    std::vector<uint8_t> text;
    return ReadJsonText(path, text, error) && ParsePresetJson(text, Quoted(path), document, error, note);
}

int32_t ReadPresetFileInAnyForm(const char* path, uint8_t* buffer) {
    std::vector<uint8_t> bytes;
    std::string error;
    bool cut = false;
    PresetDocument document;
    const bool read = IsJsonName(path) ? ReadPresetJsonFile(path, document, error)
                                       : ReadWholeFile(path, size_t(kPresetCapacity), bytes, cut, error);
    if (!read) {
        std::fprintf(ToolMessages(), "qelv play: %s\n", error.c_str());
        return -1;
    }
    if (IsJsonName(path)) bytes = SerializePreset(document);  // PresetFromJson keeps it within 1 MiB
    const size_t n = std::min(bytes.size(), size_t(kPresetCapacity));
    std::memcpy(buffer, bytes.data(), n);
    return int32_t(n);
}

PresetForm FormOfPresetFile(const std::string& path) { return IsJsonName(path) ? PresetForm::Json : PresetForm::Binary; }

bool LoadPresetFile(EffectChain& chain, const std::string& path, std::string& error, std::string* note) {
    const PresetForm form = FormOfPresetFile(path);
    std::vector<uint8_t> bytes;
    if (form == PresetForm::Json) {
        if (!ReadJsonText(path, bytes, error)) return false;
    } else {
        bool cut = false;
        if (!ReadWholeFile(path, size_t(kPresetCapacity), bytes, cut, error)) return false;
        if (cut && note)
            *note += Quoted(path) + " is larger than 1 MiB; only its first 1048576 bytes are read\n";
    }
    return LoadPresetBytes(chain, bytes.data(), bytes.size(), form, Quoted(path), error, note);
}

bool LoadPresetBytes(EffectChain& chain, const uint8_t* data, size_t size, PresetForm form, const std::string& name,
                     std::string& error, std::string* note) {
    std::vector<uint8_t> bytes;
    if (form == PresetForm::Json) {
        if (size > kMaxPresetJsonBytes) {
            error = name + " is larger than 16 MiB, more than the JSON form of any preset";
            return false;
        }
        PresetDocument document;
        if (!ParsePresetJson(std::vector<uint8_t>(data, data + size), name, document, error, note)) return false;
        bytes = SerializePreset(document);  // PresetFromJson keeps it within 1 MiB
    } else {
        bytes.assign(data, data + std::min(size, size_t(kPresetCapacity)));
    }
    if (!IsPresetHeader(bytes.data(), int32_t(bytes.size()))) {
        error = name + " is not a preset: it does not start with the preset header (Invalid Preset)";
        return false;
    }
    chain.ClearChain();
    ReadPresetBytes(chain, bytes.data(), int32_t(bytes.size()));
    if (note && ChainLength(chain) == 0 && bytes.size() > size_t(kPresetHeaderBytes) + 1)
        *note += name + " holds no effect this build knows: every entry is skipped and the frames stay black\n";
    return true;
}

void PrintNotes(const char* command, const std::string& note) {
    for (size_t start = 0, end; (end = note.find('\n', start)) != std::string::npos; start = end + 1)
        std::fprintf(ToolMessages(), "%s: %s", command, note.substr(start, end + 1 - start).c_str());
}
