// A command whose output cannot be written fails, and leaves the path as it was: an
// existing file unchanged, a link or a device in place, no part-written file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "apps/qelv/commands.h"
#include "apps/qelv/render/frame_sink.h"
#include "engine/preset_bytes.h"
#include "player/sample_stream.h"
#include "tests/player/file_size_limit.h"
#include "player/external_program.h"

namespace fs = std::filesystem;

namespace {
struct OutputSafety : ::testing::Test {
    fs::path directory;
    void SetUp() override {
        directory = fs::temp_directory_path() /
                    ("qelv-output-" + std::to_string(getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(directory);
        fs::create_directories(directory);
        // Five Fadeouts: the JSON form is longer than the full disk below takes.
        std::string preset = std::string(kPresetHeader, kPresetHeaderBytes) + '\1';
        for (int i = 0; i < 5; ++i) preset += std::string("\3\0\0\0\4\0\0\0\x10\0\0\0", 12);
        std::ofstream(At("p.qlp"), std::ios::binary) << preset;
        std::string error;
        ASSERT_TRUE(WriteSampleStream(At("s.qsb"), std::vector<SampleBlock>(1), error)) << error;
    }
    void TearDown() override { fs::remove_all(directory); }
    std::string At(const std::string& name) const { return (directory / name).string(); }

    static int Run(int (*command)(int, char**), std::vector<std::string> arguments) {
        std::vector<char*> argv;
        for (std::string& a : arguments) argv.push_back(a.data());
        ::testing::internal::CaptureStderr();
        ::testing::internal::CaptureStdout();
        const int result = command(int(argv.size()), argv.data());
        ::testing::internal::GetCapturedStdout();
        ::testing::internal::GetCapturedStderr();
        return result;
    }
    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    size_t Entries(const std::string& name) const {
        return size_t(std::distance(fs::directory_iterator(At(name)), fs::directory_iterator()));
    }
    // Every entry of a folder by name, with a file's contents.
    std::map<std::string, std::string> Folder(const std::string& name) const {
        std::map<std::string, std::string> entries;
        for (const auto& entry : fs::directory_iterator(At(name)))
            entries[entry.path().filename().string()] = entry.is_directory() ? "(a folder)" : Contents(entry.path());
        return entries;
    }
};

TEST_F(OutputSafety, AFullDeviceBehindALinkIsLeftInPlace) {
    fs::create_symlink("/dev/full", At("full"));
    fs::create_symlink("/dev/full", At("full.rgb"));
    EXPECT_EQ(Run(RunPreset, {"to-json", At("p.qlp"), "-o", At("full")}), 1);
    std::ofstream(At("p.json")) << R"({"effects": []})";
    EXPECT_EQ(Run(RunPreset, {"from-json", At("p.json"), "-o", At("full")}), 1);
    EXPECT_EQ(Run(RunAnalyze, {"--demo", "-o", At("full")}), 1);
    EXPECT_EQ(Run(RunRender, {"--samples", At("s.qsb"), "--size", "8x8", "--out", At("full.rgb")}), 1);
    EXPECT_TRUE(fs::is_symlink(At("full")));
    EXPECT_TRUE(fs::is_symlink(At("full.rgb")));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST_F(OutputSafety, AFullDiskLeavesEveryExistingOutputAsItWas) {
    fs::create_directories(At("shots"));
    const std::vector<std::string> outputs = {"kept.rgb", "shots/frame-000000.png", "kept.json", "kept.qlp",
                                              "kept.qsb", "kept.mp4"};
    for (const std::string& name : outputs) std::ofstream(At(name)) << "old";
    std::ofstream(At("p.json")) << R"({"effects": [{"type": 3, "bytes": ")" << std::string(400, 'a') << R"("}]})";
    const bool video = FindOnPath("ffmpeg");
    {
        FileSizeLimit full(100);  // less than one frame, one picture or one block
        const std::vector<std::string> render = {"--samples", At("s.qsb"), "--size", "9x9", "--frames", "3"};
        auto renderTo = [&](const std::string& out) {
            std::vector<std::string> arguments = render;
            arguments.insert(arguments.end(), {"--out", out});
            return Run(RunRender, arguments);
        };
        EXPECT_EQ(renderTo(At("kept.rgb")), 1);
        EXPECT_EQ(renderTo(At("shots") + "/"), 1);
        if (video) {
            EXPECT_EQ(renderTo(At("kept.mp4")), 1);
        }
        EXPECT_EQ(Run(RunPreset, {"from-json", At("p.json"), "-o", At("kept.qlp")}), 1);
        EXPECT_EQ(Run(RunPreset, {"to-json", At("p.qlp"), "-o", At("kept.json")}), 1);
        EXPECT_EQ(Run(RunAnalyze, {"--demo", "-o", At("kept.qsb")}), 1);
    }
    for (const std::string& name : outputs) EXPECT_EQ(Contents(At(name)), "old") << name;
    EXPECT_EQ(Entries("shots"), 1u);
    EXPECT_EQ(Entries(""), outputs.size() + 3);  // shots/ and the outputs beside it, p.qlp, p.json, s.qsb
}

// PNG frames into a folder that holds an earlier render's and the user's own files: the
// new frames replace the earlier ones all together or not at all, and the user's stay.
TEST_F(OutputSafety, PngFramesReplaceAnEarlierRenderWholeOrNotAtAll) {
    const auto render = [&](const char* size, int frames, const std::string& folder) {
        return Run(RunRender, {"--demo", "--size", size, "--frames", std::to_string(frames), "--out", At(folder)});
    };
    ASSERT_EQ(render("24x24", 30, "shots"), 0);
    std::ofstream(At("shots/notes.txt")) << "mine";
    const auto earlier = Folder("shots");
    ASSERT_EQ(earlier.size(), 31u);

    // The new render's pictures, to find a disk that fills part-way through it: one that
    // takes the pictures before the last that is larger than all before it.
    ASSERT_EQ(render("64x64", 30, "new"), 0);
    const auto fresh = Folder("new");
    std::vector<size_t> sizes;
    for (const auto& [name, bytes] : fresh) sizes.push_back(bytes.size());
    size_t stop = 0;
    for (size_t i = 1; i < sizes.size(); ++i)
        if (sizes[i] > *std::max_element(sizes.begin(), sizes.begin() + long(i))) stop = i;
    ASSERT_GT(stop, 0u) << "no picture is larger than those before it";
    {
        FileSizeLimit full(*std::max_element(sizes.begin(), sizes.begin() + long(stop)));
        EXPECT_EQ(render("64x64", 30, "shots"), 1) << "the disk fills at frame " << stop;
    }
    EXPECT_EQ(Folder("shots"), earlier);

    // A folder in the way of a frame is found before any frame is moved.
    fs::create_directory(At("shots/frame-000031.png"));
    EXPECT_EQ(render("64x64", 32, "shots"), 1);
    fs::remove(At("shots/frame-000031.png"));
    EXPECT_EQ(Folder("shots"), earlier);

    // A shorter render leaves none of the earlier frames beside its own.
    ASSERT_EQ(render("64x64", 10, "shots"), 0);
    auto expected = fresh;
    expected.erase(expected.find("frame-000010.png"), expected.end());
    expected["notes.txt"] = "mine";
    EXPECT_EQ(Folder("shots"), expected);
}

// What is not a folder cannot take PNG frames, and the message says what it is; a
// device named without an extension takes raw frames.
TEST_F(OutputSafety, PngFramesNeedAFolderAndADeviceTakesRawFrames) {
    std::ofstream(At("file")) << "old";
    const struct {
        std::string out;
        int result;
        const char* says;
    } cases[] = {
        {"/dev/null/", 1, "cannot write PNG frames into '/dev/null/': it is a character device, not a directory"},
        {At("file"), 1, "it is a regular file, not a directory"},
        {"/dev/null", 0, "written to /dev/null"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = {"render", "--demo", "--size", "8x8", "--frames", "2", "--out", c.out};
        std::vector<char*> argv;
        for (std::string& a : arguments) argv.push_back(a.data());
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(RunRender(int(argv.size()) - 1, argv.data() + 1), c.result) << c.out;
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find(c.says), std::string::npos) << said;
    }
    EXPECT_EQ(Contents(At("file")), "old");
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}
}  // namespace
