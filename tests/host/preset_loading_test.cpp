#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "host/preset_library.h"
#include "host/preset_loading.h"
#include "engine/autosave.h"
#include "engine/engine.h"
#include "engine/preset_bytes.h"

namespace {
// The panel's Load in the tool reads a preset's JSON form as the bytes it stands for.
TEST(PresetLoading, ThePanelsReaderTakesBothForms) {
    const std::string library = LibraryFolder(PresetLibraryFolders());
    ASSERT_FALSE(library.empty());
    const auto dir = std::filesystem::temp_directory_path() / "qelv-panel-reader";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "bad.json") << "{";
    std::ofstream(dir / "plain.bin") << "abc";
    std::vector<uint8_t> json(kPresetCapacity), plain(kPresetCapacity);
    const int32_t n = ReadPresetFileInAnyForm((library + "/aurora.json").c_str(), json.data());
    ASSERT_GT(n, 0);
    ASSERT_EQ(ReadPlainPresetFile((library + "/aurora.qlp").c_str(), plain.data()), n);
    EXPECT_EQ(json, plain);
    struct Case {
        std::string name;
        int32_t length;
    } cases[] = {{"bad.json", -1}, {"missing.json", -1}, {"missing.qlp", -1}, {"plain.bin", 3}};
    for (const Case& c : cases)
        EXPECT_EQ(ReadPresetFileInAnyForm((dir / c.name).string().c_str(), plain.data()), c.length) << c.name;
    std::filesystem::remove_all(dir);
}

// A chain shared as JSON loads like its bytes; a broken one says so and keeps the chain.
TEST(PresetLoading, TakesTheJsonFormAndKeepsTheChainOnErrors) {
    const auto dir = std::filesystem::temp_directory_path() / "qelv-preset-loading";
    std::filesystem::create_directories(dir);
    const std::string good = (dir / "good.json").string(), bad = (dir / "bad.json").string();
    std::ofstream(good) << R"({"clear": 0, "effects": [{"type": 3, "fields": {"fade amount": 40}}, {"type": 6}]})";
    std::ofstream(bad) << R"({"effects": [{"type": 3, "fields": {"speed": 1}}]})";

    Engine engine;
    std::string error;
    ASSERT_TRUE(LoadPresetFile(engine.chain, good, error)) << error;
    ASSERT_EQ(ChainLength(engine.chain), 2);
    EXPECT_EQ(engine.chain.typeIds[1], 6);
    EXPECT_EQ(engine.chain.framebufferClear, 0);

    EXPECT_FALSE(LoadPresetFile(engine.chain, bad, error));
    EXPECT_NE(error.find("speed"), std::string::npos) << error;
    EXPECT_FALSE(LoadPresetFile(engine.chain, (dir / "missing.qlp").string(), error));
    EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
    EXPECT_EQ(ChainLength(engine.chain), 2);
    std::filesystem::remove_all(dir);
}

// What loads but may not draw what was meant is noted; what is no preset is refused.
TEST(PresetLoading, SaysWhatIsWrongWithAFile) {
    const auto dir = std::filesystem::temp_directory_path() / "qelv-preset-notes";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "folder.qlp");
    const std::string header(kPresetHeader, kPresetHeaderBytes);
    const std::string fadeout = std::string("\3\0\0\0\4\0\0\0\x10\0\0\0", 12);
    std::string many = "[0";
    for (int i = 0; i < 2'000'000; ++i) many += ",0";
    many += "]";
    const struct {
        const char* name;
        std::string contents;
        bool loads;
        const char* says;
    } cases[] = {
        {"unknown.qlp", header + '\1' + std::string("\x63\0\0\0\0\0\0\0", 8), true, "holds no effect this build knows"},
        {"large.qlp", header + '\1' + fadeout + std::string(kPresetCapacity, '\0'), true, "larger than 1 MiB"},
        {"named.json", R"({"effects": [{"type": 3, "name": "Blur v0.0"}]})", true, "\"Blur v0.0\" is not the name of type 3"},
        {"nul.json", std::string(R"({"effects": []})") + '\0' + "[", false, "NUL byte at offset 15"},
        {"deep.json", std::string(100, '[') + std::string(100, ']'), false, "nested deeper than"},
        {"many.json", many, false, "more than 2000000 values"},
        {"huge.json", std::string(17 << 20, ' '), false, "larger than 16 MiB"},
        {"folder.qlp", "", false, "is a directory"},
    };
    Engine engine;
    for (const auto& c : cases) {
        const std::string path = (dir / c.name).string();
        if (!c.contents.empty()) std::ofstream(path, std::ios::binary) << c.contents;
        engine.chain.ClearChain();
        std::string error, note;
        EXPECT_EQ(LoadPresetFile(engine.chain, path, error, &note), c.loads) << c.name << ": " << error;
        EXPECT_NE((c.loads ? note : error).find(c.says), std::string::npos) << c.name << ": " << error << note;
    }

    // A pipe is refused without waiting for a writer to finish.
    const std::string pipe = (dir / "pipe.qlp").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const int writer = open(pipe.c_str(), O_RDWR);
    std::thread closer([writer] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        close(writer);
    });
    std::string error;
    EXPECT_FALSE(LoadPresetFile(engine.chain, pipe, error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    closer.join();
    std::filesystem::remove_all(dir);
}

}  // namespace
