#include <gtest/gtest.h>
#include <qelv/qelv.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/capi/capi_support.h"

namespace {
// The library loaded is the one this header describes.
TEST(CapiArguments, TheLibrarysVersionIsTheHeaders) {
    EXPECT_EQ(qelv_version_number(), QELV_VERSION_NUMBER);
    EXPECT_STREQ(qelv_version(), QELV_VERSION);
}

// Every value outside its documented range is refused with QELV_ERROR_ARGUMENT and a
// message naming it, changing nothing: the engine goes on drawing what it would have.
TEST(CapiArguments, RefusesWhatIsOutOfRangeAndChangesNothing) {
    constexpr int w = 16, h = 12;
    std::vector<uint32_t> frame(w * h);
    std::vector<float> pcm(2 * 882, 0.25f);
    uint8_t block[QELV_BLOCK_BYTES] = {};
    size_t size = 0;
    uint8_t small[8];
    struct Case {
        const char* call;
        std::function<int(qelv_engine*)> make;
        std::string named;  // in the message
    };
    const Case cases[] = {
        {"resize to 7 wide", [](qelv_engine* e) { return qelv_resize(e, 7, 100); }, "7x100"},
        {"resize to 8193 high", [](qelv_engine* e) { return qelv_resize(e, 100, 8193); }, "8193"},
        {"no channels", [&](qelv_engine* e) { return qelv_feed_float(e, pcm.data(), 10, 0, 44100); }, "0 channels"},
        {"nine channels", [&](qelv_engine* e) { return qelv_feed_float(e, pcm.data(), 10, 9, 44100); }, "9 channels"},
        {"7999 Hz", [&](qelv_engine* e) { return qelv_feed_float(e, pcm.data(), 10, 2, 7999); }, "7999"},
        {"384001 Hz", [&](qelv_engine* e) { return qelv_feed_int16(e, nullptr, 0, 2, 384001); }, "384001"},
        {"no samples", [](qelv_engine* e) { return qelv_feed_int16(e, nullptr, 5, 2, 44100); }, "samples"},
        {"no blocks", [](qelv_engine* e) { return qelv_feed_blocks(e, nullptr, 1); }, "blocks"},
        {"no pixels", [](qelv_engine* e) { return qelv_draw(e, nullptr, w * 4, QELV_FORMAT_XRGB); }, "buffer"},
        {"short rows", [&](qelv_engine* e) { return qelv_draw(e, frame.data(), w * 4 - 1, QELV_FORMAT_XRGB); },
         "63 bytes"},
        {"unknown format", [&](qelv_engine* e) { return qelv_draw(e, frame.data(), w * 4, 2); }, "format 2"},
        {"time NaN", [&](qelv_engine* e) { return qelv_draw_until(e, frame.data(), w * 4, 0, std::nan("")); },
         "not a number"},
        {"block rate 0", [](qelv_engine* e) { return qelv_set_block_rate(e, 0); }, "block rate of 0"},
        {"block rate 1001", [](qelv_engine* e) { return qelv_set_block_rate(e, 1001); }, "1001"},
        {"threads 0", [](qelv_engine* e) { return qelv_set_threads(e, 0); }, "0 threads"},
        {"threads 65", [](qelv_engine* e) { return qelv_set_threads(e, 65); }, "65 threads"},
        {"transition -1 s", [](qelv_engine* e) { return qelv_set_transition(e, -1); }, "transition"},
        {"transition 61 s", [](qelv_engine* e) { return qelv_set_transition(e, 61); }, "61"},
        {"no path", [](qelv_engine* e) { return qelv_load_preset_file(e, nullptr); }, "path"},
        {"no data", [](qelv_engine* e) { return qelv_load_preset_memory(e, nullptr, 3); }, "data"},
        {"no name", [](qelv_engine* e) { return qelv_load_shipped_preset(e, nullptr); }, "name"},
        {"no size", [&](qelv_engine* e) { return qelv_save_preset(e, small, sizeof small, nullptr); }, "size"},
        {"small buffer", [&](qelv_engine* e) { return qelv_save_preset(e, small, sizeof small, &size); }, "buffer's 8"},
    };
    // What an engine draws of the same audio when nothing is refused.
    const auto drawAfter = [&](const std::function<int(qelv_engine*)>& call, int expected) {
        EnginePtr engine = MakeEngine(w, h);
        std::vector<std::vector<uint32_t>> frames;
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(qelv_feed_float(engine.get(), pcm.data(), 882, 2, 44100), QELV_OK);
            EXPECT_EQ(qelv_feed_blocks(engine.get(), block, 0), QELV_OK);
            if (i == 5 && call) {
                EXPECT_EQ(call(engine.get()), expected);
            }
            frames.push_back(Draw(engine.get(), w, h));
        }
        return std::make_pair(frames, std::string(qelv_errmsg(engine.get())));
    };
    const auto untouched = drawAfter(nullptr, QELV_OK).first;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        const auto [frames, message] = drawAfter(c.make, QELV_ERROR_ARGUMENT);
        EXPECT_NE(message.find(c.named), std::string::npos) << message;
        EXPECT_EQ(frames, untouched);
    }
    EXPECT_GT(size, sizeof small) << "a buffer too small is told the size it needs";
}

// Without an engine: every call is refused, qelv_create says why through
// qelv_errmsg(NULL), and qelv_destroy(NULL) does nothing.
TEST(CapiArguments, RefusesCallsWithoutAnEngine) {
    qelv_engine* engine = reinterpret_cast<qelv_engine*>(1);
    EXPECT_EQ(qelv_create(8192, 8193, &engine), QELV_ERROR_ARGUMENT);
    EXPECT_EQ(engine, nullptr);
    EXPECT_NE(std::string(qelv_errmsg(nullptr)).find("8192x8193"), std::string::npos) << qelv_errmsg(nullptr);
    EXPECT_EQ(qelv_create(64, 64, nullptr), QELV_ERROR_ARGUMENT);
    uint32_t pixel = 0;
    size_t size = 0;
    for (int code : {qelv_resize(nullptr, 64, 64), qelv_feed_float(nullptr, nullptr, 0, 2, 44100),
                     qelv_feed_int16(nullptr, nullptr, 0, 2, 44100), qelv_feed_blocks(nullptr, nullptr, 0),
                     qelv_draw(nullptr, &pixel, 4, 0), qelv_draw_until(nullptr, &pixel, 4, 0, 0.0),
                     qelv_load_preset_file(nullptr, "x"), qelv_load_preset_memory(nullptr, "x", 1),
                     qelv_load_shipped_preset(nullptr, "aurora"), qelv_save_preset(nullptr, nullptr, 0, &size),
                     qelv_set_transition(nullptr, 1), qelv_set_block_rate(nullptr, 50), qelv_reset_audio(nullptr)})
        EXPECT_EQ(code, QELV_ERROR_ARGUMENT);
    EXPECT_EQ(qelv_beat_count(nullptr), 0u);
    EXPECT_EQ(qelv_last_frame_was_beat(nullptr), 0);
    qelv_destroy(nullptr);
    for (int code : {QELV_OK, QELV_ERROR_ARGUMENT, QELV_ERROR_PRESET, QELV_ERROR_IO, QELV_ERROR_MEMORY,
                     QELV_ERROR_NOT_FOUND, 12345})
        EXPECT_GT(std::strlen(qelv_error_name(code)), 0u);
}
}  // namespace
