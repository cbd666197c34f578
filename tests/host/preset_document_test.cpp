#include <gtest/gtest.h>

#include <algorithm>

#include "host/preset_document.h"
#include "core/effect_settings.h"
#include "engine/preset_bytes.h"

namespace {
using Bytes = std::vector<uint8_t>;
using Json = nlohmann::ordered_json;

void Put(Bytes& b, int32_t v) {
    uint8_t w[4];
    WriteInt32LE(w, v);
    b.insert(b.end(), w, w + 4);
}

Bytes Preset(uint8_t clear) {
    Bytes b(kPresetHeader, kPresetHeader + kPresetHeaderBytes);
    b.push_back(clear);
    return b;
}

// A preset with every kind of entry a shared file may hold.
Bytes Mixed() {
    Bytes b = Preset(7);
    Put(b, 3), Put(b, 4), Put(b, 16);               // Fadeout, amount 16
    Put(b, 9), Put(b, 3), b.insert(b.end(), {1, 2, 3});  // unknown type id
    Put(b, 3), Put(b, 6), Put(b, 5), b.insert(b.end(), {0xAA, 0xBB});  // two bytes past the amount
    Put(b, 3), Put(b, 0);                            // empty payload: defaults
    Put(b, 3), Put(b, 100), Put(b, 1);               // length claims more than follows
    return b;
}

TEST(PresetDocument, ConvertsToJsonAndBackWithoutLosingAByte) {
    for (const Bytes& original : {Mixed(), Preset(0), Bytes(kPresetHeader, kPresetHeader + 24)}) {
        PresetDocument document;
        std::string error;
        ASSERT_TRUE(ParsePreset(original, document, error)) << error;
        const Json json = Json::parse(PresetToJson(document).dump());
        PresetDocument back;
        ASSERT_TRUE(PresetFromJson(json, back, error)) << error;
        EXPECT_EQ(SerializePreset(back), original);
    }
}

TEST(PresetDocument, NamesFieldsAndColoursForPeople) {
    PresetDocument document;
    std::string error;
    ASSERT_TRUE(ParsePreset(Mixed(), document, error));
    const Json json = PresetToJson(document);
    EXPECT_EQ(json["clear"], 7);
    EXPECT_EQ(json["effects"][0]["name"], "Fadeout v0.0");
    EXPECT_EQ(json["effects"][0]["fields"]["fade amount"], 16);
    EXPECT_EQ(json["effects"][1]["bytes"], "010203");
    EXPECT_EQ(json["effects"][2]["bytes"], "aabb");
    EXPECT_EQ(json["effects"][4]["length"], 100);

    const std::string text = DescribePreset(document);
    EXPECT_NE(text.find("clearing on (clear byte 7)"), std::string::npos);
    EXPECT_NE(text.find("fade amount = 16"), std::string::npos);
    EXPECT_NE(text.find("unknown type id"), std::string::npos);
    EXPECT_NE(text.find("damaged: the payload length says 100 but 4 bytes follow"), std::string::npos);
}

TEST(PresetDocument, RefusesWhatIsNotAPresetOrNotValid) {
    PresetDocument document;
    std::string error;
    EXPECT_FALSE(ParsePreset(Bytes{'x'}, document, error));
    EXPECT_FALSE(error.empty());

    const char* bad[] = {
        R"({"effects": [{"type": 3, "fields": {"speed": 1}}]})",
        R"({"effects": [{"type": 3, "fields": {"fade amount": 4294967296}}]})",
        R"({"effects": [{"type": 3, "bytes": "abc"}]})",
        R"({"effects": [{"type": 3, "bytes": "+1"}]})",
        R"({"effects": [{"type": 3, "bytes": " 1"}]})",
        R"({"effects": [{"type": 3, "bytes": "0x"}]})",
        R"({"effects": [{"type": "3"}]})",
        R"({"clear": 300, "effects": []})",
        R"([1, 2])",
    };
    for (const char* text : bad) EXPECT_FALSE(PresetFromJson(Json::parse(text), document, error)) << text;

    ASSERT_TRUE(PresetFromJson(Json::parse(R"({"effects": [{"type": 9, "bytes": "aB09Ff"}]})"), document, error));
    EXPECT_EQ(document.entries[0].payload, (Bytes{0xAB, 0x09, 0xFF}));
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A key given twice would be taken as its last, while a reader of the file sees the
// first: refused at every level, saying which key and where.
TEST(PresetDocument, RefusesAKeyGivenTwice) {
    const struct {
        const char* text;
        const char* says;
    } cases[] = {
        {R"({"clear": 0, "effects": [], "clear": 1})", R"(the key "clear" appears twice in the top object)"},
        {R"({"effects": [{"type": 3}, {"type": 6, "type": 3}]})", R"(the key "type" appears twice in effects[1])"},
        {R"({"effects": [{"type": 3, "fields": {"fade amount": 4, "fade amount": 9}}]})",
         R"(the key "fade amount" appears twice in effects[0].fields)"},
        {R"({"effects": [], "effects": [{"type": 3}]})", R"(the key "effects" appears twice in the top object)"},
    };
    for (const auto& c : cases) {
        PresetDocument document;
        std::string error;
        EXPECT_FALSE(PresetFromJsonText(Text(c.text), document, error)) << c.text;
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
    // The same key in different objects is no repetition.
    PresetDocument document;
    std::string error;
    EXPECT_TRUE(PresetFromJsonText(Text(R"({"effects": [{"type": 3}, {"type": 6}]})"), document, error)) << error;
}

// A value from the file appears in a message only as a short prefix, its control
// characters escaped, however long the value.
TEST(PresetDocument, MessagesQuoteOnlyAShortPrefixOfAValue) {
    const std::string huge(5 << 20, 'x');
    const struct {
        std::string text;
        bool loads;
        const char* shows;
    } cases[] = {
        {R"({"effects": [{"type": 3, "name": ")" + huge + R"("}]})", true, "\"xxxxxxxxxx"},
        {R"({"effects": [{"type": 3, "name": "\u001b[2J\u0007\n\u009b"}]})", true, R"("\x1B[2J\x07\n\u009B")"},
        {R"({"effects": [{"type": 3, "name": [")" + huge + R"("]}]})", true, "[\"xxxxxxxxxx"},
        {R"({"effects": [{"type": 3, "fields": {")" + huge + R"(": 1}}]})", false, "no setting \"xxxxxxxxxx"},
        {R"({"effects": [{"type": 3, "fields": {"fade amount": 1, "fade amount": 2}, ")" + huge + R"(": 0}]})", false,
         "appears twice"},
        {R"({"effects": [{"type": 3, "name": ")" + huge + "\n" + R"("}]})", false, "not valid JSON at line 2, column 1"},
        {"{\"" + huge + "\": 1, \"" + huge + "\": 2}", false, "appears twice"},
    };
    for (const auto& c : cases) {
        PresetDocument document;
        std::string error, note;
        EXPECT_EQ(PresetFromJsonText(Text(c.text), document, error, &note), c.loads) << error.substr(0, 200);
        const std::string& message = c.loads ? note : error;
        EXPECT_NE(message.find(c.shows), std::string::npos) << message.substr(0, 300);
        EXPECT_LT(message.size(), 400u) << message.substr(0, 300);
        EXPECT_EQ(message.find('\x1b'), std::string::npos) << message;
    }
}
}  // namespace

#include "engine/engine.h"

namespace {
// The real effect types through the real reader and writer: one Fadeout with clearing on
// is exactly 37 bytes, and every type reads back what it wrote.
TEST(PresetBytes, RealEffectsRoundTripByteForByte) {
    Engine engine;
    engine.chain.AppendEffect(3);
    Bytes out(kPresetCapacity);
    ASSERT_EQ(WritePresetBytes(engine.chain, out.data(), kPresetCapacity), 37);
    Bytes expected = Preset(1);
    Put(expected, 3), Put(expected, 4), Put(expected, 16);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), out.begin()));
    engine.chain.ClearChain();

    for (int32_t type = 0; type < 9; ++type) engine.chain.AppendEffect(type);
    const int32_t n = WritePresetBytes(engine.chain, out.data(), kPresetCapacity);
    engine.chain.ClearChain();
    ASSERT_TRUE(ReadPresetBytes(engine.chain, out.data(), n));
    Bytes again(kPresetCapacity);
    EXPECT_EQ(WritePresetBytes(engine.chain, again.data(), kPresetCapacity), n);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + n, again.begin()));
    EXPECT_EQ(ChainLength(engine.chain), 9);
}

// Settings are matched by name in any order, up to the last one given; one left out
// before it keeps a new effect's value. A name no setting has, a value the page could not
// set and a syntax error are told in the preset's own terms.
TEST(PresetDocument, FieldsByNameInAnyOrderWithRangesAndPlacesTold) {
    const auto bytes = [](const std::string& text, std::string& error, std::string& note) {
        PresetDocument document;
        if (!PresetFromJsonText(Text(text), document, error, &note)) return std::vector<uint8_t>();
        return SerializePreset(document);
    };
    std::string error, note;
    const std::vector<uint8_t> inOrder = bytes(
        R"({"effects": [{"type": 4, "fields": {"normal direction": 3, "on-beat direction": 5}}]})", error, note);
    ASSERT_FALSE(inOrder.empty()) << error;
    EXPECT_EQ(bytes(R"({"effects": [{"type": 4, "fields": {"on-beat direction": 5, "normal direction": 3}}]})",
                    error, note),
              inOrder);
    const struct {
        std::string text;
        const char* shows;  // in the error, or in the note when it loads
        bool loads;
    } cases[] = {
        {R"({"effects": [{"type": 3, "fields": {"fade amount": 999}}]})",
         "field \"fade amount\" is 999, outside its page's range 1 to 92; it is kept", true},
        {R"({"effects": [{"type": 3, "fields": {"fade amountt": 9}}]})",
         "Fadeout v0.0 has no setting \"fade amountt\" (its settings: \"fade amount\")", false},
        {"{\n  \"effects\": [\n    {\"type\": 3} x\n  ]\n}", "not valid JSON at line 3, column 17 (at 'x')", false},
        {R"({"effects": [{"type": 3)", "the text ends at line 1 before the preset is complete", false},
    };
    for (const auto& c : cases) {
        error.clear();
        note.clear();
        EXPECT_EQ(!bytes(c.text, error, note).empty(), c.loads) << error;
        const std::string& message = c.loads ? note : error;
        EXPECT_NE(message.find(c.shows), std::string::npos) << message;
    }
}
}  // namespace
