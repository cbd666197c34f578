#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "player/sample_stream.h"
#include "tests/player/temp_dir.h"

namespace {
void WriteBytes(const std::string& path, size_t count) {
    std::ofstream out(path, std::ios::binary);
    out << std::string(count, '\x7f');
}

// Every block of the file, as a player reads them; blocks stay as they were on failure.
bool ReadAll(const std::string& path, std::vector<SampleBlock>& blocks, std::string& error, std::string* note = nullptr) {
    SampleStreamReader reader;
    if (!reader.Open(path, error, note)) return false;
    std::vector<SampleBlock> read(size_t(reader.blockCount()));
    for (SampleBlock& block : read)
        if (!reader.Next(block, error)) return false;
    blocks = std::move(read);
    return true;
}

TEST(SampleStreamFile, BlocksRoundTripBackToBackWithoutHeader) {
    TempDir dir;
    std::vector<SampleBlock> blocks(3);
    for (size_t b = 0; b < blocks.size(); ++b)
        for (size_t i = 0; i < kBlockBytes; ++i) blocks[b].bytes[i] = uint8_t(b * 7 + i);
    std::string error;
    ASSERT_TRUE(WriteSampleStream(dir.File("a.qsb"), blocks, error)) << error;
    EXPECT_EQ(std::filesystem::file_size(dir.File("a.qsb")), 3 * kBlockBytes);

    // The second block starts right after the first.
    std::ifstream raw(dir.File("a.qsb"), std::ios::binary);
    raw.seekg(kBlockBytes);
    EXPECT_EQ(raw.get(), 7);

    std::vector<SampleBlock> read;
    ASSERT_TRUE(ReadAll(dir.File("a.qsb"), read, error)) << error;
    ASSERT_EQ(read.size(), 3u);
    for (size_t b = 0; b < 3; ++b)
        EXPECT_EQ(0, std::memcmp(read[b].bytes, blocks[b].bytes, kBlockBytes)) << "block " << b;
}

TEST(SampleStreamFile, ReadsTheWholeBlocksOfAFileCutShort) {
    TempDir dir;
    std::vector<SampleBlock> blocks(1);
    std::string error, note;
    for (size_t size : {size_t(1), kBlockBytes - 1}) {
        WriteBytes(dir.File("bad.qsb"), size);
        EXPECT_FALSE(ReadAll(dir.File("bad.qsb"), blocks, error, &note)) << size;
        EXPECT_NE(error.find("less than one 2304-byte block"), std::string::npos) << error;
        EXPECT_EQ(blocks.size(), 1u) << "a failed read leaves the blocks alone";
    }
    for (size_t size : {kBlockBytes + 1, 2 * kBlockBytes + 100}) {
        WriteBytes(dir.File("cut.qsb"), size);
        note.clear();
        ASSERT_TRUE(ReadAll(dir.File("cut.qsb"), blocks, error, &note)) << error;
        EXPECT_EQ(blocks.size(), size / kBlockBytes);
        EXPECT_NE(note.find("the last " + std::to_string(size % kBlockBytes) + " bytes are ignored"), std::string::npos)
            << note;
    }
}

// A sparse file can claim a terabyte: it is read block by block, never sized up front.
TEST(SampleStreamFile, AHugeFileIsReadInFixedMemory) {
    TempDir dir;
    const std::string path = dir.File("huge.qsb");
    WriteBytes(path, 0);
    std::filesystem::resize_file(path, uintmax_t(1) << 40);
    SampleStreamReader reader;
    std::string error;
    ASSERT_TRUE(reader.Open(path, error)) << error;
    EXPECT_EQ(reader.blockCount(), int64_t((uint64_t(1) << 40) / kBlockBytes));
    SampleBlock block;
    block.bytes[0] = 1;
    ASSERT_TRUE(reader.Next(block, error)) << error;
    EXPECT_EQ(block.bytes[0], 0);

}

TEST(SampleStreamFile, RejectsEmptyMissingAndNonFiles) {
    TempDir dir;
    std::vector<SampleBlock> blocks;
    std::string error;
    WriteBytes(dir.File("empty.qsb"), 0);
    EXPECT_FALSE(ReadAll(dir.File("empty.qsb"), blocks, error));
    EXPECT_NE(error.find("is empty"), std::string::npos) << error;

    EXPECT_FALSE(ReadAll(dir.File("missing.qsb"), blocks, error));
    EXPECT_NE(error.find("missing.qsb"), std::string::npos) << error;
    EXPECT_NE(error.find("no such file"), std::string::npos) << error;

    EXPECT_FALSE(ReadAll(dir.Path(), blocks, error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
}

TEST(SampleStreamFile, WritingNothingOrNowhereFailsClearly) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(WriteSampleStream(dir.File("none.qsb"), {}, error));
    EXPECT_NE(error.find("no blocks"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(dir.File("none.qsb")));

    EXPECT_FALSE(WriteSampleStream(dir.File("no/such/dir.qsb"), std::vector<SampleBlock>(1), error));
    EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
}
}  // namespace
