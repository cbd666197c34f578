#pragma once
// What the library's tests share: engines that free themselves, frames drawn through the
// interface, and the frames the installed tool renders of the same input.
#include <gtest/gtest.h>
#include <qelv/qelv.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "player/external_program.h"
#include "tests/player/temp_dir.h"

struct EngineDeleter {
    void operator()(qelv_engine* engine) const { qelv_destroy(engine); }
};
using EnginePtr = std::unique_ptr<qelv_engine, EngineDeleter>;

inline EnginePtr MakeEngine(int width, int height) {
    qelv_engine* engine = nullptr;
    EXPECT_EQ(qelv_create(width, height, &engine), QELV_OK) << qelv_errmsg(nullptr);
    return EnginePtr(engine);
}

using Frame = std::vector<uint32_t>;

// One frame in the engine's own words, rows packed.
inline Frame DrawUntil(qelv_engine* engine, int width, int height, double seconds) {
    Frame frame(size_t(width) * size_t(height));
    EXPECT_EQ(qelv_draw_until(engine, frame.data(), size_t(width) * 4, QELV_FORMAT_XRGB, seconds), QELV_OK)
        << qelv_errmsg(engine);
    return frame;
}
inline Frame Draw(qelv_engine* engine, int width, int height) {
    Frame frame(size_t(width) * size_t(height));
    EXPECT_EQ(qelv_draw(engine, frame.data(), size_t(width) * 4, QELV_FORMAT_XRGB), QELV_OK) << qelv_errmsg(engine);
    return frame;
}

// `qelv render ARGS --size WxH` run as a program, its frames read back from a raw file.
inline std::vector<Frame> ToolFrames(const TempDir& dir, const std::string& arguments, int width, int height) {
    const std::string out = dir.File("tool.rgb");
    const std::string command = ShellQuote(QELV_TOOL) + " render " + arguments + " --size " + std::to_string(width) +
                                "x" + std::to_string(height) + " --out " + ShellQuote(out) + " 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream file(out, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
    const size_t frameBytes = size_t(width) * size_t(height) * 4;
    std::vector<Frame> frames(bytes.size() / frameBytes, Frame(size_t(width) * size_t(height)));
    for (size_t i = 0; i < frames.size(); ++i) std::memcpy(frames[i].data(), bytes.data() + i * frameBytes, frameBytes);
    return frames;
}
