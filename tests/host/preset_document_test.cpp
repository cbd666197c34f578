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
}  // namespace
