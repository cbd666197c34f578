#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "player/input_file.h"
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

    // A shell's pipe, named as /dev/stdout names it: a link of /proc to no path at all.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const std::string proc = "/proc/self/fd/" + std::to_string(ends[1]);
    EXPECT_TRUE(WriteWholeFile(proc, "piped", 5, error)) << error;
    close(ends[1]);
    char piped[8] = {};
    EXPECT_EQ(read(ends[0], piped, sizeof piped), 5);
    close(ends[0]);
    EXPECT_STREQ(piped, "piped");

    // A file of the tool's own takes neither: refused at once, naming it, left in place.
    for (const std::string& path : {dir.File("pipe"), std::string("/dev/null"), dir.File("full")}) {
        EXPECT_FALSE(WriteWholeFile(path, "x", 1, error, DeviceOutput::Refused)) << path;
        EXPECT_NE(error.find("'" + path + "'"), std::string::npos) << error;
        EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    }
    EXPECT_TRUE(fs::is_fifo(dir.File("pipe")));
    EXPECT_TRUE(fs::is_symlink(dir.File("full")));

    EXPECT_FALSE(WriteWholeFile(dir.Path(), "x", 1, error));
    EXPECT_NE(error.find("is a directory"), std::string::npos) << error;
    EXPECT_FALSE(WriteWholeFile(dir.File("no/such/dir"), "x", 1, error));
    EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
    EXPECT_NE(error.find(std::strerror(ENOENT)), std::string::npos) << error;
}
// Any name the file system takes: the temporary's is cut to fit, its extension kept.
TEST(OutputFile, NamesUpToTheLongestAFolderTakes) {
    TempDir dir;
    for (const size_t length : {200, 235, 236, 250, 255})
        for (const std::string& extension : {".mp4", ".qsb", ""}) {
            const std::string name = std::string(length - extension.size(), 'n') + extension;
            std::string error;
            EXPECT_TRUE(WriteWholeFile(dir.File(name), "new", 3, error)) << length << extension << ": " << error;
            EXPECT_EQ(Contents(dir.File(name)), "new") << length << extension;
            fs::remove(dir.File(name));
            EXPECT_EQ(EntryCount(dir.Path()), 0u) << length << extension;
        }
}

// The one reader of whole small files: a regular file only, never waited on, at most the
// limit, every message naming the file.
TEST(InputFiles, ReadWholeFileReadsRegularFilesOnlyAndNoFurtherThanTheLimit) {
    TempDir dir;
    std::ofstream(dir.File("ten")) << "0123456789";
    fs::create_directory(dir.File("folder"));
    ASSERT_EQ(mkfifo(dir.File("pipe").c_str(), 0600), 0);
    const struct {
        std::string path;
        size_t limit;
        bool read, cut;
        const char* text;  // what was read, or what the error says
    } cases[] = {
        {dir.File("ten"), 100, true, false, "0123456789"},
        {dir.File("ten"), 10, true, false, "0123456789"},
        {dir.File("ten"), 4, true, true, "0123"},
        {dir.File("missing"), 100, false, false, "no such file"},
        {dir.File("folder"), 100, false, false, "a directory, not a regular file"},
        {dir.File("pipe"), 100, false, false, "a named pipe, not a regular file"},
        {"/dev/zero", 100, false, false, "a character device, not a regular file"},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> bytes;
        bool cut = false;
        std::string error;
        ASSERT_EQ(ReadWholeFile(c.path, c.limit, bytes, cut, error), c.read) << c.path;
        if (c.read) {
            EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.text) << c.path;
            EXPECT_EQ(cut, c.cut) << c.path;
        } else {
            EXPECT_NE(error.find("'" + c.path + "'"), std::string::npos) << error;
            EXPECT_NE(error.find(c.text), std::string::npos) << error;
        }
    }
}
}  // namespace
