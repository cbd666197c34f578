#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "player/output_file.h"
#include "player/sample_stream.h"
#include "tests/player/file_size_limit.h"
#include "tests/player/temp_dir.h"

namespace fs = std::filesystem;

namespace {
std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

size_t EntryCount(const std::string& directory) {
    return size_t(std::distance(fs::directory_iterator(directory), fs::directory_iterator()));
}

TEST(OutputFile, AFailedWriteLeavesTheOldFileAndNothingElse) {
    TempDir dir;
    const std::string path = dir.File("kept.qsb");
    std::ofstream(path) << "old";
    std::string error;
    {
        FileSizeLimit full(1000);  // less than one block
        EXPECT_FALSE(WriteSampleStream(path, std::vector<SampleBlock>(2), error));
    }
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    EXPECT_NE(error.find(std::strerror(EFBIG)), std::string::npos) << error;
    EXPECT_EQ(Contents(path), "old");
    {
        OutputFile abandoned;
        ASSERT_TRUE(abandoned.Open(path, error)) << error;
        ASSERT_TRUE(abandoned.Write("new", 3, error)) << error;
    }
    EXPECT_EQ(Contents(path), "old");
    EXPECT_EQ(EntryCount(dir.Path()), 1u);

    // A completed write replaces the file and keeps its permissions.
    fs::permissions(path, fs::perms(0640));
    ASSERT_TRUE(WriteWholeFile(path, "new", 3, error)) << error;
    EXPECT_EQ(Contents(path), "new");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));
    EXPECT_EQ(EntryCount(dir.Path()), 1u);
}

TEST(OutputFile, LinksDevicesAndPipesStayWhatTheyAre) {
    TempDir dir;
    std::string error;
    std::ofstream(dir.File("real")) << "old";
    fs::create_symlink("real", dir.File("link"));
    ASSERT_TRUE(WriteWholeFile(dir.File("link"), "new", 3, error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir.File("link")));
    EXPECT_EQ(Contents(dir.File("real")), "new");

    fs::create_symlink("/dev/full", dir.File("full"));
    EXPECT_FALSE(WriteWholeFile(dir.File("full"), "new", 3, error));
    EXPECT_NE(error.find(std::strerror(ENOSPC)), std::string::npos) << error;
    EXPECT_TRUE(fs::is_symlink(dir.File("full")));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));

    ASSERT_EQ(mkfifo(dir.File("pipe").c_str(), 0600), 0);
    std::string heard;
    std::thread reader([&] { heard = Contents(dir.File("pipe")); });
    EXPECT_TRUE(WriteWholeFile(dir.File("pipe"), "through", 7, error)) << error;
    reader.join();
    EXPECT_EQ(heard, "through");
    EXPECT_TRUE(fs::is_fifo(dir.File("pipe")));

    EXPECT_FALSE(WriteWholeFile(dir.Path(), "x", 1, error));
    EXPECT_NE(error.find("is a directory"), std::string::npos) << error;
    EXPECT_FALSE(WriteWholeFile(dir.File("no/such/dir"), "x", 1, error));
    EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
    EXPECT_NE(error.find(std::strerror(ENOENT)), std::string::npos) << error;
}
}  // namespace
