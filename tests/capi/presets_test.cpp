#include <gtest/gtest.h>
#include <qelv/qelv.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "tests/capi/capi_support.h"

namespace {
constexpr int kWidth = 48, kHeight = 32;
const std::string kShipped = std::string(QELV_TEST_DATA) + "/../../presets/";

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::vector<uint8_t> Saved(qelv_engine* engine) {
    size_t size = 0;
    EXPECT_EQ(qelv_save_preset(engine, nullptr, 0, &size), QELV_OK) << qelv_errmsg(engine);
    std::vector<uint8_t> bytes(size);
    EXPECT_EQ(qelv_save_preset(engine, bytes.data(), bytes.size(), &size), QELV_OK) << qelv_errmsg(engine);
    return bytes;
}

// A quiet second of audio, a block's worth at a time, one frame after each.
std::vector<Frame> DrawSecond(qelv_engine* engine) {
    std::vector<float> pcm(2 * 882);
    std::vector<Frame> frames;
    for (int i = 0; i < 50; ++i) {
        for (size_t n = 0; n < pcm.size(); ++n) pcm[n] = float(((i * 882 + int(n)) * 37) % 101) / 200.0f;
        EXPECT_EQ(qelv_feed_float(engine, pcm.data(), 882, 2, 44100), QELV_OK);
        frames.push_back(Draw(engine, kWidth, kHeight));
    }
    return frames;
}

// Every way in takes the same preset whole: its file in either form, its bytes in
// either form, its name; saved again it is the file's bytes.
TEST(CapiPresets, LoadsEveryFormAndSavesTheChainAsItsFile) {
    const std::vector<uint8_t> binary = FileBytes(kShipped + "aurora.qlp"), json = FileBytes(kShipped + "aurora.json");
    ASSERT_FALSE(binary.empty());
    const std::function<int(qelv_engine*)> loads[] = {
        [](qelv_engine* e) { return qelv_load_preset_file(e, (kShipped + "aurora.qlp").c_str()); },
        [](qelv_engine* e) { return qelv_load_preset_file(e, (kShipped + "aurora.json").c_str()); },
        [&](qelv_engine* e) { return qelv_load_preset_memory(e, binary.data(), binary.size()); },
        [&](qelv_engine* e) { return qelv_load_preset_memory(e, json.data(), json.size()); },
        [](qelv_engine* e) { return qelv_load_shipped_preset(e, "aurora"); },
    };
    for (size_t i = 0; i < std::size(loads); ++i) {
        EnginePtr engine = MakeEngine(kWidth, kHeight);
        ASSERT_EQ(loads[i](engine.get()), QELV_OK) << "way " << i << ": " << qelv_errmsg(engine.get());
        EXPECT_EQ(Saved(engine.get()), binary) << "way " << i;
    }
}

// The built-in chain saved and loaded again draws what it drew: its particle used to
// start at another size than its saved form gives it.
TEST(CapiPresets, TheBuiltInChainSavedAndLoadedDrawsTheSameFrames) {
    EnginePtr original = MakeEngine(kWidth, kHeight), reloaded = MakeEngine(kWidth, kHeight);
    const std::vector<uint8_t> bytes = Saved(original.get());
    ASSERT_EQ(qelv_load_preset_memory(reloaded.get(), bytes.data(), bytes.size()), QELV_OK)
        << qelv_errmsg(reloaded.get());
    EXPECT_EQ(DrawSecond(original.get()), DrawSecond(reloaded.get()));
}

// A load that fails says why, naming what it was given, and leaves the chain drawing
// exactly what it drew: nothing of the failed preset gets in.
TEST(CapiPresets, AFailedLoadLeavesTheChainAndSaysWhy) {
    TempDir dir;
    WriteFile(dir.File("damaged.qlp"), "Not a preset at all, just some words\n");
    WriteFile(dir.File("damaged.json"), R"({"clear": true, "effects": [{"type": 0, "fields": )");
    const std::string damagedJson = R"({"effects": 12})";
    struct Case {
        const char* what;
        std::function<int(qelv_engine*)> load;
        int code;
        std::string named;  // in the message
    };
    const Case cases[] = {
        {"missing file", [&](qelv_engine* e) { return qelv_load_preset_file(e, dir.File("missing.qlp").c_str()); },
         QELV_ERROR_IO, "missing.qlp"},
        {"folder", [&](qelv_engine* e) { return qelv_load_preset_file(e, dir.Path().c_str()); }, QELV_ERROR_IO,
         dir.Path()},
        {"damaged binary file",
         [&](qelv_engine* e) { return qelv_load_preset_file(e, dir.File("damaged.qlp").c_str()); }, QELV_ERROR_PRESET,
         "damaged.qlp"},
        {"damaged JSON file",
         [&](qelv_engine* e) { return qelv_load_preset_file(e, dir.File("damaged.json").c_str()); }, QELV_ERROR_PRESET,
         "damaged.json"},
        {"damaged JSON in memory",
         [&](qelv_engine* e) { return qelv_load_preset_memory(e, damagedJson.data(), damagedJson.size()); },
         QELV_ERROR_PRESET, "in memory"},
        {"nothing in memory", [](qelv_engine* e) { return qelv_load_preset_memory(e, "", 0); }, QELV_ERROR_PRESET,
         "in memory"},
        {"unknown name", [](qelv_engine* e) { return qelv_load_shipped_preset(e, "no-such-preset"); },
         QELV_ERROR_NOT_FOUND, "no-such-preset"},
        {"a path for a name", [](qelv_engine* e) { return qelv_load_shipped_preset(e, "../presets/aurora"); },
         QELV_ERROR_NOT_FOUND, "../presets/aurora"},
    };
    EnginePtr reference = MakeEngine(kWidth, kHeight);
    ASSERT_EQ(qelv_load_shipped_preset(reference.get(), "beat-star"), QELV_OK);
    DrawSecond(reference.get());
    const std::vector<Frame> expected = DrawSecond(reference.get());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EnginePtr engine = MakeEngine(kWidth, kHeight);
        ASSERT_EQ(qelv_load_shipped_preset(engine.get(), "beat-star"), QELV_OK);
        DrawSecond(engine.get());
        EXPECT_EQ(c.load(engine.get()), c.code);
        EXPECT_NE(std::string(qelv_errmsg(engine.get())).find(c.named), std::string::npos) << qelv_errmsg(engine.get());
        EXPECT_EQ(DrawSecond(engine.get()), expected);
    }
}

// A soft change: the picture fades from the old chain to the new over the transition's
// blocks, and from then on is exactly what a hard cut shows.
TEST(CapiPresets, ASoftChangeFadesThenShowsTheNewChainAlone) {
    EnginePtr soft = MakeEngine(kWidth, kHeight), cut = MakeEngine(kWidth, kHeight);
    ASSERT_EQ(qelv_set_transition(soft.get(), 0.5), QELV_OK);  // 25 blocks
    std::vector<Frame> softFrames = DrawSecond(soft.get()), cutFrames = DrawSecond(cut.get());
    EXPECT_EQ(softFrames, cutFrames);
    ASSERT_EQ(qelv_load_shipped_preset(soft.get(), "strobe-bars"), QELV_OK);
    ASSERT_EQ(qelv_load_shipped_preset(cut.get(), "strobe-bars"), QELV_OK);
    softFrames = DrawSecond(soft.get());
    cutFrames = DrawSecond(cut.get());
    int blended = 0;
    for (int i = 0; i < 24; ++i) blended += softFrames[size_t(i)] != cutFrames[size_t(i)];
    EXPECT_GE(blended, 20);
    for (int i = 24; i < 50; ++i) EXPECT_EQ(softFrames[size_t(i)], cutFrames[size_t(i)]) << "frame " << i;
}
}  // namespace
