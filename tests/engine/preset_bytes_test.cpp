#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/autosave.h"
#include "engine/effect_chain.h"
#include "core/effect_settings.h"
#include "engine/preset_bytes.h"
#include "backends/headless/recording_shell.h"
#include "tests/engine/test_effects.h"

namespace {
using Bytes = std::vector<uint8_t>;

Bytes Header(uint8_t clear) {
    Bytes b(kPresetHeader, kPresetHeader + kPresetHeaderBytes);
    b.push_back(clear);
    return b;
}

void AddEntry(Bytes& b, int32_t typeId, const Bytes& payload, int32_t length = -2) {
    uint8_t word[4];
    WriteInt32LE(word, typeId);
    b.insert(b.end(), word, word + 4);
    WriteInt32LE(word, length == -2 ? int32_t(payload.size()) : length);
    b.insert(b.end(), word, word + 4);
    b.insert(b.end(), payload.begin(), payload.end());
}

Bytes Words(std::initializer_list<int32_t> words) {
    Bytes b;
    for (int32_t w : words) {
        uint8_t p[4];
        WriteInt32LE(p, w);
        b.insert(b.end(), p, p + 4);
    }
    return b;
}

Bytes ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The tests see the chain's members as their own.
struct Presets : ::testing::Test, EffectChain {
    CountingEffect& Counting(int slot) { return *static_cast<CountingEffect*>(effects[slot]); }
    RecordingShell recorder;
    Bytes buffer = Bytes(kPresetCapacity);
    void SetUp() override {
        InstallShell(&recorder);
        framebufferClear = 1;
    }
    void TearDown() override {
        ClearChain();
        InstallShell(nullptr);
    }
    bool Read(const Bytes& b) { return ReadPresetBytes(*this, b.data(), int32_t(b.size())); }
};

TEST_F(Presets, EmptyChainWritesTheHeaderAndTheClearByte) {
    framebufferClear = 0;
    ASSERT_EQ(WritePresetBytes(*this, buffer.data(), kPresetCapacity), 25);
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 23), "Ostrakin Qel_V 5 Preset");
    EXPECT_EQ(buffer[23], 0x1A);
    EXPECT_EQ(buffer[24], 0x00);
}

TEST_F(Presets, WriteThenReadGivesTheSameChain) {
    AppendEffect(0);
    AppendEffect(1);
    Counting(0).first = -5;
    Counting(0).second = 0xABCDEF;
    framebufferClear = 7;  // a stored byte of 7 travels back unchanged
    const int32_t n = WritePresetBytes(*this, buffer.data(), kPresetCapacity);
    ASSERT_EQ(n, 25 + 8 + 8 + 8);
    ClearChain();
    framebufferClear = 0;
    ASSERT_TRUE(ReadPresetBytes(*this, buffer.data(), n));
    ASSERT_EQ(ChainLength(*this), 2);
    EXPECT_EQ(typeIds[1], 1);
    EXPECT_EQ(Counting(0).first, -5);
    EXPECT_EQ(Counting(0).second, 0xABCDEF);
    EXPECT_EQ(framebufferClear, 7);
}

TEST_F(Presets, WrongHeaderChangesNothingAndSaysSo) {
    Bytes b = Header(0);
    b[3] = 'x';
    framebufferClear = 1;
    EXPECT_FALSE(Read(b));
    EXPECT_FALSE(Read(Bytes()));
    EXPECT_EQ(framebufferClear, 1);
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.messages[0].text, "Invalid Preset");
    EXPECT_EQ(recorder.messages[0].caption, "Read Preset");
    EXPECT_EQ(recorder.messages[0].owner, nullptr);
}

TEST_F(Presets, HeaderAloneIsAnEmptyChainWithClearingOff) {
    Bytes b = Header(1);
    b.pop_back();
    EXPECT_TRUE(Read(b));
    EXPECT_EQ(framebufferClear, 0);
    EXPECT_EQ(ChainLength(*this), 0);
}

TEST_F(Presets, UnknownTypeIdsAreSkippedWithTheirPayloads) {
    Bytes b = Header(1);
    AddEntry(b, 9, Words({1, 2, 3}));
    AddEntry(b, -1, Words({4}));
    AddEntry(b, 0, Words({42}));
    EXPECT_TRUE(Read(b));
    ASSERT_EQ(ChainLength(*this), 1);
    EXPECT_EQ(Counting(0).first, 42);
    EXPECT_EQ(Counting(0).second, 0x112233);  // short payload: the rest keep their defaults
}

TEST_F(Presets, AtMost256EntriesAreRead) {
    Bytes b = Header(1);
    for (int i = 0; i < 300; ++i) AddEntry(b, 1, {});
    EXPECT_TRUE(Read(b));
    EXPECT_EQ(ChainLength(*this), 256);
}

TEST_F(Presets, DamagedEntriesNeverReadOutsideTheData) {
    // A payload that runs past the end sees zeros there.
    Bytes b = Header(1);
    AddEntry(b, 0, {0x09, 0x01}, 8);
    EXPECT_TRUE(Read(b));
    ASSERT_EQ(ChainLength(*this), 1);
    EXPECT_EQ(Counting(0).first, 0x0109);
    EXPECT_EQ(Counting(0).second, 0);
    ClearChain();

    // A negative length creates the effect with its defaults and ends the reading.
    b = Header(1);
    AddEntry(b, 0, Words({5}), -100);
    AddEntry(b, 0, Words({6}));
    EXPECT_TRUE(Read(b));
    ASSERT_EQ(ChainLength(*this), 1);
    EXPECT_EQ(Counting(0).first, 7);
    ClearChain();

    // An entry header cut short reads as zeros: type 0 with an empty payload.
    b = Header(1);
    b.push_back(0);
    EXPECT_TRUE(Read(b));
    EXPECT_EQ(ChainLength(*this), 1);
}

TEST_F(Presets, ChainsLargerThanOneMebibyteAreRefused) {
    // Each Counting saves 8 bytes, so no chain of them overflows; a tiny capacity does.
    AppendEffect(0);
    EXPECT_EQ(WritePresetBytes(*this, buffer.data(), 30), -1);
    EXPECT_EQ(WritePresetBytes(*this, buffer.data(), 41), 41);
}

TEST_F(Presets, AutosaveKeepsTheChainAcrossARestart) {
    const auto dir = std::filesystem::temp_directory_path() / "qelv-autosave-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    recorder.directory = dir.string();

    LoadAutosave(*this);  // no file yet: nothing happens, nothing is shown
    EXPECT_EQ(ChainLength(*this), 0);
    EXPECT_TRUE(recorder.messages.empty());

    AppendEffect(1);
    AppendEffect(0);
    Counting(1).first = 99;
    SaveAutosave(*this);
    DeleteAllEffects();
    LoadAutosave(*this);
    ASSERT_EQ(ChainLength(*this), 2);
    EXPECT_EQ(Counting(1).first, 99);

    // A damaged autosave file says so and leaves the chain empty.
    ClearChain();
    std::FILE* f = std::fopen((dir / kAutosaveFileName).string().c_str(), "wb");
    std::fputs("garbage", f);
    std::fclose(f);
    LoadAutosave(*this);
    EXPECT_EQ(ChainLength(*this), 0);
    ASSERT_EQ(recorder.messages.size(), 1u);
    std::filesystem::remove_all(dir);
}

// A write that stops part-way (a full disk) leaves the previous autosave byte for byte,
// and nothing else beside it.
TEST_F(Presets, AFailedAutosaveWriteKeepsThePreviousFile) {
    const auto dir = std::filesystem::temp_directory_path() / "qelv-autosave-fault-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    recorder.directory = dir.string();
    const auto path = dir / kAutosaveFileName;
    AppendEffect(1);
    SaveAutosave(*this);
    const Bytes before = ReadFileBytes(path);
    ASSERT_EQ(before.size(), 25u + 8);  // one Silent, which saves nothing

    AppendEffect(0);
    AppendEffect(0);
    for (long cut : {0L, 1L, 24L, 40L, 56L}) {
        recorder.failWriteAfter = cut;
        SaveAutosave(*this);
        EXPECT_EQ(ReadFileBytes(path), before) << "cut after " << cut;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "cut after " << cut;
    }
    recorder.failWriteAfter = -1;
    SaveAutosave(*this);
    EXPECT_EQ(ReadFileBytes(path).size(), 25u + 8 + 2 * 16);
    std::filesystem::remove_all(dir);
}

TEST_F(Presets, FilesAreReadOnlyUpToOneMebibyte) {
    const auto path = std::filesystem::temp_directory_path() / "qelv-big.qlp";
    Bytes big = Header(1);
    big.resize(kPresetCapacity + 100, 0);
    std::FILE* f = std::fopen(path.string().c_str(), "wb");
    std::fwrite(big.data(), 1, big.size(), f);
    std::fclose(f);
    EXPECT_EQ(ReadPresetFile(path.string().c_str(), buffer.data()), kPresetCapacity);
    EXPECT_EQ(ReadPresetFile("/nonexistent/preset.qlp", buffer.data()), -1);
    std::filesystem::remove(path);
}
}  // namespace
