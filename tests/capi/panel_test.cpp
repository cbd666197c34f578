#include <gtest/gtest.h>
#include <qelv/qelv.h>

#include <functional>
#include <string>
#include <vector>

#include "player/audio.h"
#include "tests/capi/capi_support.h"

namespace {
std::vector<int> ChainTypes(qelv_engine* engine) {
    int length = -1, type = -1;
    EXPECT_EQ(qelv_chain_length(engine, &length), QELV_OK);
    std::vector<int> types;
    for (int i = 0; i < length; ++i) {
        EXPECT_EQ(qelv_chain_effect_type(engine, i, &type), QELV_OK);
        types.push_back(type);
    }
    return types;
}

std::vector<uint8_t> Saved(qelv_engine* engine) {
    std::vector<uint8_t> bytes(QELV_PRESET_MAX_BYTES);
    size_t size = 0;
    EXPECT_EQ(qelv_save_preset(engine, bytes.data(), bytes.size(), &size), QELV_OK);
    bytes.resize(size);
    return bytes;
}

// The panel's operations in the order a user makes them, and what a saved preset then
// holds: the same chain, loaded back into another engine.
TEST(CapiPanel, EditsTheChainAsThePanelDoesAndSavesIt) {
    EnginePtr engine = MakeEngine(32, 24);
    ASSERT_EQ(qelv_effect_type_count(), 9);
    EXPECT_STREQ(qelv_effect_type_name(3), "Fadeout v0.0");
    EXPECT_EQ(qelv_effect_type_name(9), nullptr);
    ASSERT_EQ(qelv_chain_clear(engine.get()), QELV_OK);
    int index = -1;
    for (int type : {0, 1, 4}) ASSERT_EQ(qelv_chain_add(engine.get(), type, &index), QELV_OK);
    EXPECT_EQ(index, 2);
    ASSERT_EQ(qelv_chain_swap(engine.get(), 1), QELV_OK);
    ASSERT_EQ(qelv_chain_remove(engine.get(), 0), QELV_OK);
    ASSERT_EQ(qelv_set_framebuffer_clear(engine.get(), 0), QELV_OK);
    EXPECT_EQ(ChainTypes(engine.get()), (std::vector<int>{4, 1}));

    const std::vector<uint8_t> preset = Saved(engine.get());
    EnginePtr other = MakeEngine(32, 24);
    ASSERT_EQ(qelv_load_preset_memory(other.get(), preset.data(), preset.size()), QELV_OK);
    EXPECT_EQ(ChainTypes(other.get()), (std::vector<int>{4, 1}));
    int on = -1;
    ASSERT_EQ(qelv_framebuffer_clear(other.get(), &on), QELV_OK);
    EXPECT_EQ(on, 0);
}

// A page's controls show its effect's settings; a change goes into the effect (and so into
// a saved preset) and a value out of range is refused, changing nothing.
TEST(CapiPanel, PagesShowAndChangeTheirEffectsSettings) {
    EnginePtr engine = MakeEngine(32, 24);
    ASSERT_EQ(qelv_chain_clear(engine.get()), QELV_OK);
    ASSERT_EQ(qelv_chain_add(engine.get(), 3, nullptr), QELV_OK);  // Fadeout: one trackbar
    ASSERT_EQ(qelv_chain_add(engine.get(), 0, nullptr), QELV_OK);  // SimpleVis: boxes, colours, radios
    int templateId = 0, controls = 0;
    ASSERT_EQ(qelv_effect_page(engine.get(), 0, &templateId, &controls), QELV_OK);
    EXPECT_EQ(templateId, 104);
    ASSERT_EQ(controls, 1);
    qelv_control control{};
    ASSERT_EQ(qelv_effect_control(engine.get(), 0, 0, &control), QELV_OK);
    EXPECT_EQ(control.kind, QELV_CONTROL_TRACKBAR);
    EXPECT_EQ(control.state, 16);

    const std::vector<uint8_t> before = Saved(engine.get());
    EXPECT_EQ(qelv_effect_set_control(engine.get(), 0, control.id, control.maximum + 1), QELV_ERROR_ARGUMENT);
    EXPECT_NE(std::string(qelv_errmsg(engine.get())).find("trackbar"), std::string::npos);
    EXPECT_EQ(qelv_effect_set_control(engine.get(), 0, 4242, 1), QELV_ERROR_ARGUMENT);
    EXPECT_EQ(Saved(engine.get()), before);
    ASSERT_EQ(qelv_effect_set_control(engine.get(), 0, control.id, 40), QELV_OK);
    ASSERT_EQ(qelv_effect_control(engine.get(), 0, 0, &control), QELV_OK);
    EXPECT_EQ(control.state, 40);
    EXPECT_NE(Saved(engine.get()), before);

    // Checking one radio button of a group unchecks the others: they share a word.
    ASSERT_EQ(qelv_effect_page(engine.get(), 1, &templateId, &controls), QELV_OK);
    std::vector<int> radios;
    for (int c = 0; c < controls; ++c) {
        ASSERT_EQ(qelv_effect_control(engine.get(), 1, c, &control), QELV_OK);
        if (control.kind == QELV_CONTROL_RADIO) radios.push_back(control.id);
    }
    ASSERT_GE(radios.size(), 2u);
    ASSERT_EQ(qelv_effect_set_control(engine.get(), 1, radios.back(), 1), QELV_OK);
    for (int c = 0; c < controls; ++c) {
        ASSERT_EQ(qelv_effect_control(engine.get(), 1, c, &control), QELV_OK);
        if (control.kind == QELV_CONTROL_RADIO) {
            EXPECT_EQ(control.state, control.id == radios.back() ? 1 : 0);
        }
    }
}

TEST(CapiPanel, RefusesIndexesAndValuesOutside) {
    EnginePtr engine = MakeEngine(32, 24);
    int length = 0, value = 0, sensitivity = 0, low = 0, high = 0;
    ASSERT_EQ(qelv_chain_length(engine.get(), &length), QELV_OK);
    qelv_control control{};
    const std::vector<std::pair<std::string, std::function<int()>>> refused = {
        {"type 9", [&] { return qelv_chain_add(engine.get(), 9, nullptr); }},
        {"remove past the end", [&] { return qelv_chain_remove(engine.get(), length); }},
        {"swap the last", [&] { return qelv_chain_swap(engine.get(), length - 1); }},
        {"type at -1", [&] { return qelv_chain_effect_type(engine.get(), -1, &value); }},
        {"control past the page", [&] { return qelv_effect_control(engine.get(), 0, 99, &control); }},
        {"sensitivity 0", [&] { return qelv_set_beat_settings(engine.get(), 0, 8, 300); }},
        {"band end 577", [&] { return qelv_set_beat_settings(engine.get(), 32, 8, 577); }},
    };
    for (const auto& [what, call] : refused) EXPECT_EQ(call(), QELV_ERROR_ARGUMENT) << what;
    EXPECT_EQ(ChainTypes(engine.get()).size(), size_t(length));
    ASSERT_EQ(qelv_beat_settings(engine.get(), &sensitivity, &low, &high), QELV_OK);
    EXPECT_EQ(std::vector<int>({sensitivity, low, high}), std::vector<int>({32, 8, 300}));
    ASSERT_EQ(qelv_set_beat_settings(engine.get(), 200, 0, 576), QELV_OK);
    ASSERT_EQ(qelv_beat_settings(engine.get(), &sensitivity, &low, &high), QELV_OK);
    EXPECT_EQ(std::vector<int>({sensitivity, low, high}), std::vector<int>({200, 0, 576}));
}

// The analysis alone gives the blocks the tool's analysis gives of the same track.
TEST(CapiAnalysis, GivesTheToolsBlocks) {
    const StereoAudio track = DemoTrack(22050);
    std::vector<float> pcm;
    for (size_t i = 0; i < 22050; ++i) pcm.insert(pcm.end(), {track.left[i], track.right[i]});
    StereoAudio second = track;
    second.left.resize(22050);
    second.right.resize(22050);
    const std::vector<SampleBlock> expected = AnalyzeAudio(second, 50);

    size_t count = 0;
    ASSERT_EQ(qelv_analyze_float(pcm.data(), 22050, 2, 22050, 50, nullptr, 0, &count), QELV_OK);
    ASSERT_EQ(count, expected.size());
    std::vector<uint8_t> blocks(count * QELV_BLOCK_BYTES);
    EXPECT_EQ(qelv_analyze_float(pcm.data(), 22050, 2, 22050, 50, blocks.data(), count - 1, &count),
              QELV_ERROR_ARGUMENT);
    ASSERT_EQ(qelv_analyze_float(pcm.data(), 22050, 2, 22050, 50, blocks.data(), count, &count), QELV_OK);
    for (size_t k = 0; k < count; ++k)
        EXPECT_EQ(0, std::memcmp(blocks.data() + k * QELV_BLOCK_BYTES, expected[k].bytes, QELV_BLOCK_BYTES)) << k;
    EXPECT_EQ(qelv_analyze_float(pcm.data(), 1, 2, 22050, 0, nullptr, 0, &count), QELV_ERROR_ARGUMENT);
    EXPECT_NE(std::string(qelv_errmsg(nullptr)).find("block rate of 0"), std::string::npos);
}
}  // namespace
