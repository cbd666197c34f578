#include "host/preset_document.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>

#include "host/message_text.h"
#include "engine/effect_chain.h"
#include "engine/effect_factory.h"
#include "core/effect_settings.h"
#include "core/page_definition.h"
#include "engine/preset_bytes.h"

namespace {
using Json = nlohmann::ordered_json;

// What the tools know of a type id: its name and setting words, or nothing.
struct TypeInfo {
    bool known = false;
    char name[kEffectNameBytes] = {};
    const SettingTable* table = nullptr;
    const PageDefinition* page = nullptr;
    std::vector<uint8_t> defaults;  // a new effect's payload words
};

TypeInfo LookUp(int32_t typeId) {
    TypeInfo info;
    if (typeId < 0 || typeId >= EffectTypeCount()) return info;
    info.known = true;
    effectFactories[typeId](info.name);
    // Setting tables are static per type; the instance only tells which one.
    std::unique_ptr<Effect> effect(CreateEffect(typeId));
    if (!effect) return info;
    info.table = effect->settingTable();
    info.page = effect->page();
    if (info.table) {
        std::vector<uint8_t> payload(kPayloadScratchBytes);
        const int32_t length = effect->save(payload.data());
        payload.resize(size_t(std::clamp<int32_t>(length, 0, 4 * info.table->payloadCount)));
        info.defaults = std::move(payload);
    }
    return info;
}

int DecodedFieldCount(const TypeInfo& info, const PresetEntry& entry) {
    if (!info.table) return 0;
    return std::min<int>(info.table->payloadCount, int(entry.payload.size() / 4));
}

std::string Hex(const uint8_t* bytes, size_t n) {
    std::string s;
    char two[3];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(two, sizeof two, "%02x", bytes[i]);
        s += two;
    }
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One pass over the text: a payload near the 1 MiB limit decodes as fast as a short one.
bool FromHex(const std::string& text, std::vector<uint8_t>& out) {
    if (text.size() % 2) return false;
    out.reserve(out.size() + text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]), low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0) return false;
        out.push_back(uint8_t(high << 4 | low));
    }
    return true;
}

std::string FieldText(FieldKind kind, int32_t value) {
    char text[32];
    if (kind == FieldKind::Colour && (uint32_t(value) >> 24) == 0)
        std::snprintf(text, sizeof text, "#%06" PRIX32, uint32_t(value));
    else if (kind == FieldKind::Flags)
        std::snprintf(text, sizeof text, "0x%" PRIX32, uint32_t(value));
    else
        std::snprintf(text, sizeof text, "%" PRId32, value);
    return text;
}

Json FieldJson(FieldKind kind, int32_t value) {
    if (kind == FieldKind::Colour && (uint32_t(value) >> 24) == 0) return FieldText(kind, value);
    return value;
}

bool Int32FromJson(const Json& j, int32_t& value) {
    if (!j.is_number_integer()) return false;
    const int64_t v = j.get<int64_t>();
    if (v < INT32_MIN || v > INT32_MAX || (j.is_number_unsigned() && j.get<uint64_t>() > INT32_MAX)) return false;
    value = int32_t(v);
    return true;
}

// A value from the file in a message: a string quoted, anything else as JSON; either cut
// short.
std::string Shown(const Json& j) {
    return j.is_string() ? "\"" + MessageText(j.get_ref<const std::string&>()) + "\"" : MessageText(j.dump());
}

bool FieldFromJson(const Json& j, int32_t& value) {
    if (j.is_number_integer()) return Int32FromJson(j, value);
    if (j.is_string()) {
        const std::string s = j.get<std::string>();
        if (s.size() != 7 || s[0] != '#') return false;
        std::vector<uint8_t> rgb;
        if (!FromHex(s.substr(1), rgb)) return false;
        value = int32_t(uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2]);
        return true;
    }
    return false;
}
// A value that the settings page could not set is kept, since a preset may rely on it,
// but said: the page's slider range, or 0 and 1 for a plain check box.
std::string OutOfRangeNote(const std::string& where, const TypeInfo& info, const SettingWord& word, int32_t value) {
    for (int b = 0; info.page && b < info.page->count; ++b) {
        const PageBinding& binding = info.page->bindings[b];
        if (binding.word != word.word) continue;
        int32_t low, high;
        if (binding.kind == ControlKind::Trackbar) {
            low = binding.minimum;
            high = binding.maximum;
        } else if (binding.kind == ControlKind::CheckBox && binding.mask == 0) {
            low = 0;
            high = 1;
        } else {
            continue;
        }
        if (value >= low && value <= high) return {};
        return where + "field \"" + word.name + "\" is " + std::to_string(value) + ", outside its page's range " +
               std::to_string(low) + " to " + std::to_string(high) + "; it is kept as it is\n";
    }
    return {};
}
}  // namespace


bool ParsePreset(const std::vector<uint8_t>& data, PresetDocument& document, std::string& error) {
    if (data.size() < size_t(kPresetHeaderBytes) || std::memcmp(data.data(), kPresetHeader, kPresetHeaderBytes)) {
        error = "not a preset (the header is missing or wrong)";
        return false;
    }
    document = PresetDocument();
    document.hasClearByte = data.size() > size_t(kPresetHeaderBytes);
    document.clearByte = document.hasClearByte ? data[kPresetHeaderBytes] : 0;
    size_t position = kPresetHeaderBytes + 1;
    while (position < data.size()) {
        if (data.size() - position < 8) break;
        PresetEntry entry;
        entry.typeId = ReadInt32LE(&data[position]);
        entry.declaredLength = ReadInt32LE(&data[position + 4]);
        position += 8;
        const size_t wanted = entry.declaredLength < 0 ? 0 : size_t(entry.declaredLength);
        const size_t present = std::min(wanted, data.size() - position);
        entry.payload.assign(data.begin() + long(position), data.begin() + long(position + present));
        position += present;
        const bool negative = entry.declaredLength < 0;
        document.entries.push_back(std::move(entry));
        if (negative) break;  // the reader stops here too
    }
    if (position < data.size()) document.trailing.assign(data.begin() + long(position), data.end());
    return true;
}

std::vector<uint8_t> SerializePreset(const PresetDocument& document) {
    std::vector<uint8_t> out(kPresetHeader, kPresetHeader + kPresetHeaderBytes);
    if (document.hasClearByte) out.push_back(document.clearByte);
    for (const PresetEntry& entry : document.entries) {
        uint8_t word[8];
        WriteInt32LE(word, entry.typeId);
        WriteInt32LE(word + 4, entry.declaredLength);
        out.insert(out.end(), word, word + 8);
        out.insert(out.end(), entry.payload.begin(), entry.payload.end());
    }
    out.insert(out.end(), document.trailing.begin(), document.trailing.end());
    return out;
}

std::string EffectTypeName(int32_t typeId) {
    const TypeInfo info = LookUp(typeId);
    return info.known ? info.name : "unknown type " + std::to_string(typeId);
}

std::string DescribePreset(const PresetDocument& document) {
    std::string text;
    char line[256];
    std::snprintf(line, sizeof line, "clearing %s (clear byte %u)\n", document.clearByte ? "on" : "off",
                  unsigned(document.clearByte));
    text += line;
    std::snprintf(line, sizeof line, "%zu entries\n", document.entries.size());
    text += line;
    for (size_t i = 0; i < document.entries.size(); ++i) {
        const PresetEntry& entry = document.entries[i];
        const TypeInfo info = LookUp(entry.typeId);
        std::snprintf(line, sizeof line, "%3zu  type %" PRId32 "  %s\n", i, entry.typeId,
                      info.known ? info.name : "(unknown type id: skipped when loaded)");
        text += line;
        const int fields = DecodedFieldCount(info, entry);
        for (int f = 0; f < fields; ++f) {
            const SettingWord& word = info.table->words[f];
            text += "       " + std::string(word.name) + " = " +
                    FieldText(word.kind, ReadInt32LE(&entry.payload[size_t(4 * f)])) + "\n";
        }
        if (info.table && fields < info.table->payloadCount)
            text += "       (payload ends early: the other settings keep their defaults)\n";
        const size_t decoded = size_t(4 * fields);
        if (entry.payload.size() > decoded) {
            std::snprintf(line, sizeof line, "       %zu further payload bytes%s\n", entry.payload.size() - decoded,
                          info.known ? ", not read by the effect" : "");
            text += line;
        }
        if (entry.declaredLength < 0 || size_t(entry.declaredLength) != entry.payload.size()) {
            std::snprintf(line, sizeof line, "       damaged: the payload length says %" PRId32 " but %zu bytes follow\n",
                          entry.declaredLength, entry.payload.size());
            text += line;
        }
        if (i == size_t(kChainSlots)) text += "       (this and later entries are beyond 256 effects: not loaded)\n";
    }
    if (!document.trailing.empty()) {
        std::snprintf(line, sizeof line, "damaged: %zu bytes at the end do not form an entry\n", document.trailing.size());
        text += line;
    }
    return text;
}

Json PresetToJson(const PresetDocument& document) {
    Json json;
    json["clear"] = document.hasClearByte ? Json(document.clearByte) : Json(nullptr);
    Json effects = Json::array();
    for (const PresetEntry& entry : document.entries) {
        const TypeInfo info = LookUp(entry.typeId);
        Json e;
        e["type"] = entry.typeId;
        if (info.known) e["name"] = info.name;
        const int fields = DecodedFieldCount(info, entry);
        if (fields > 0) {
            Json values;
            for (int f = 0; f < fields; ++f) {
                const SettingWord& word = info.table->words[f];
                values[word.name] = FieldJson(word.kind, ReadInt32LE(&entry.payload[size_t(4 * f)]));
            }
            e["fields"] = values;
        }
        const size_t decoded = size_t(4 * fields);
        if (entry.payload.size() > decoded) e["bytes"] = Hex(entry.payload.data() + decoded, entry.payload.size() - decoded);
        if (entry.declaredLength < 0 || size_t(entry.declaredLength) != entry.payload.size())
            e["length"] = entry.declaredLength;
        effects.push_back(e);
    }
    json["effects"] = effects;
    if (!document.trailing.empty()) json["trailing"] = Hex(document.trailing.data(), document.trailing.size());
    return json;
}

bool PresetFromJson(const Json& json, PresetDocument& document, std::string& error, std::string* note) {
    document = PresetDocument();
    if (!json.is_object() || !json.contains("effects") || !json["effects"].is_array()) {
        error = "expected an object with an \"effects\" array";
        return false;
    }
    const Json clear = json.value("clear", Json(1));
    if (clear.is_null()) {
        document.hasClearByte = false;
        document.clearByte = 0;
    } else if (clear.is_number_integer() && clear.get<int64_t>() >= 0 && clear.get<int64_t>() <= 255) {
        document.clearByte = uint8_t(clear.get<int>());
    } else {
        error = "\"clear\" must be a number 0..255 or null";
        return false;
    }
    int index = 0;
    for (const Json& e : json["effects"]) {
        const std::string where = "effect " + std::to_string(index++) + ": ";
        PresetEntry entry;
        if (!e.is_object() || !e.contains("type") || !Int32FromJson(e["type"], entry.typeId)) {
            error = where + "needs a 32-bit whole-number \"type\"";
            return false;
        }
        const TypeInfo info = LookUp(entry.typeId);
        // The type id decides; a name is only a reminder for people, but a wrong one
        // usually means an edit went wrong.
        if (note && e.contains("name") && (!e["name"].is_string() || !info.known || e["name"].get<std::string>() != info.name))
            *note += where + "\"name\" " + Shown(e["name"]) + " is not the name of type " + std::to_string(entry.typeId) +
                     (info.known ? " (\"" + std::string(info.name) + "\")" : " (an unknown type)") +
                     "; the type is what counts\n";
        if (e.contains("fields")) {
            if (!info.table || !e["fields"].is_object()) {
                error = where + "\"fields\" given for a type without known settings";
                return false;
            }
            // Matched by name in any order. The payload runs to the last setting given;
            // one left out before it keeps a new effect's value, as a short payload keeps
            // the values after its end.
            std::vector<uint8_t> payload = info.defaults;
            int last = -1;
            for (auto it = e["fields"].begin(); it != e["fields"].end(); ++it) {
                int f = 0;
                while (f < info.table->payloadCount && it.key() != info.table->words[f].name) ++f;
                if (f == info.table->payloadCount) {
                    error = where + info.name + " has no setting \"" + MessageText(it.key()) + "\" (its settings:";
                    for (int k = 0; k < info.table->payloadCount; ++k)
                        error += std::string(k ? ", \"" : " \"") + info.table->words[k].name + "\"";
                    error += ")";
                    return false;
                }
                int32_t value;
                if (!FieldFromJson(it.value(), value)) {
                    error = where + "field \"" + MessageText(it.key()) + "\" must be a 32-bit number or \"#RRGGBB\"";
                    return false;
                }
                if (payload.size() < size_t(4 * (f + 1))) payload.resize(size_t(4 * (f + 1)));
                WriteInt32LE(&payload[size_t(4 * f)], value);
                if (note) *note += OutOfRangeNote(where, info, info.table->words[f], value);
                last = std::max(last, f);
            }
            payload.resize(size_t(4 * (last + 1)));
            entry.payload = std::move(payload);
        }
        if (e.contains("bytes") && (!e["bytes"].is_string() || !FromHex(e["bytes"].get<std::string>(), entry.payload))) {
            error = where + "\"bytes\" must be a string of hex digit pairs";
            return false;
        }
        entry.declaredLength = int32_t(entry.payload.size());
        if (e.contains("length")) {
            if (!Int32FromJson(e["length"], entry.declaredLength)) {
                error = where + "\"length\" must be a 32-bit whole number";
                return false;
            }
        }
        document.entries.push_back(std::move(entry));
    }
    if (json.contains("trailing") &&
        (!json["trailing"].is_string() || !FromHex(json["trailing"].get<std::string>(), document.trailing))) {
        error = "\"trailing\" must be a string of hex digit pairs";
        return false;
    }
    if (SerializePreset(document).size() > size_t(kPresetCapacity)) {
        error = "the preset would be larger than 1 MiB";
        return false;
    }
    return true;
}

namespace {
// Counts values and depth while the text is only scanned, giving up at the limits.
class JsonBounds : public nlohmann::json_sax<Json> {
public:
    // Nesting: the top object, "effects", an entry, its "fields"; the rest is margin.
    static constexpr int kMaxDepth = 32;
    // A 1 MiB preset of the smallest entries has about 440 000 values.
    static constexpr int64_t kMaxValues = 2'000'000;
    std::string problem;

    bool null() override { return Value(); }
    bool boolean(bool) override { return Value(); }
    bool number_integer(number_integer_t) override { return Value(); }
    bool number_unsigned(number_unsigned_t) override { return Value(); }
    bool number_float(number_float_t, const string_t&) override { return Value(); }
    bool string(string_t&) override { return Value(); }
    bool binary(binary_t&) override { return Value(); }
    bool start_object(std::size_t) override { return Open(true); }
    bool key(string_t& key) override {
        // The parser would keep the last of two, while a reader of the file may see the first.
        if (levels.back().keys.insert(key).second) {
            levels.back().key = key;
            return true;
        }
        problem = "the key \"" + MessageText(key) + "\" appears twice in " + Where();
        return false;
    }
    bool end_object() override { return levels.pop_back(), true; }
    bool start_array(std::size_t) override { return Open(false); }
    bool end_array() override { return levels.pop_back(), true; }
    bool parse_error(std::size_t position, const std::string& lastToken, const nlohmann::detail::exception&) override {
        errorAt = position;
        lastRead = lastToken;
        return false;
    }
    // Where the text stopped being JSON: the count of bytes read, and the last token.
    size_t errorAt = 0;
    std::string lastRead;

private:
    struct Level {
        bool object;
        std::set<std::string> keys;  // an object's, so far
        std::string key;             // an object's latest
        size_t items = 0;            // an array's, so far
    };

    bool Value() {
        if (!levels.empty() && !levels.back().object) ++levels.back().items;
        if (++values <= kMaxValues) return true;
        problem = "more than " + std::to_string(kMaxValues) + " values, more than any preset holds";
        return false;
    }
    bool Open(bool object) {
        if (!Value()) return false;
        if (levels.size() == size_t(kMaxDepth)) {
            problem = "nested deeper than " + std::to_string(kMaxDepth) + " levels, deeper than any preset";
            return false;
        }
        levels.push_back({object, {}, {}, 0});
        return true;
    }
    // The innermost object, as a path such as effects[2].fields.
    std::string Where() const {
        std::string path;
        for (size_t i = 0; i + 1 < levels.size(); ++i) {
            if (!levels[i].object) path += "[" + std::to_string(levels[i].items - 1) + "]";
            else path += (path.empty() ? "" : ".") + MessageText(levels[i].key);
        }
        return path.empty() ? "the top object" : path;
    }
    std::vector<Level> levels;
    int64_t values = 0;
};
}  // namespace

namespace {
// Where the text stopped being JSON, as an editor counts: lines and columns from 1.
std::string NotJsonAt(const std::vector<uint8_t>& text, size_t position, const std::string& lastRead) {
    const size_t end = std::min(position, text.size());
    size_t line = 1, column = 0;
    for (size_t i = 0; i < end; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 0;
        } else if ((text[i] & 0xC0) != 0x80) {  // a character, not the rest of one
            ++column;
        }
    }
    if (end == text.size())
        return "not valid JSON: the text ends at line " + std::to_string(line) + " before the preset is complete";
    // The parser's last token runs from the last good one; its end is what went wrong.
    const size_t word = lastRead.find_last_of(" \t\r\n");
    const std::string at = word == std::string::npos ? lastRead : lastRead.substr(word + 1);
    return "not valid JSON at line " + std::to_string(line) + ", column " + std::to_string(std::max<size_t>(column, 1)) +
           " (at '" + MessageText(at) + "')";
}
}  // namespace

bool PresetFromJsonText(const std::vector<uint8_t>& text, PresetDocument& document, std::string& error,
                        std::string* note) {
    if (text.size() > kMaxPresetJsonBytes) {
        error = "larger than 16 MiB, more than the JSON form of any preset";
        return false;
    }
    // The parser would stop at the first NUL and ignore what follows.
    const void* nul = text.empty() ? nullptr : std::memchr(text.data(), 0, text.size());
    if (nul) {
        error = "not valid JSON (a NUL byte at offset " +
                std::to_string(static_cast<const uint8_t*>(nul) - text.data()) + ")";
        return false;
    }
    JsonBounds bounds;
    if (!Json::sax_parse(text.begin(), text.end(), &bounds)) {
        error = bounds.problem.empty() ? NotJsonAt(text, bounds.errorAt, bounds.lastRead) : bounds.problem;
        return false;
    }
    const Json json = Json::parse(text.begin(), text.end(), nullptr, false);
    if (json.is_discarded()) {
        error = "not valid JSON";
        return false;
    }
    return PresetFromJson(json, document, error, note);
}
