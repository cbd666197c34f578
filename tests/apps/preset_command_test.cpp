// The preset commands take a preset as every other command does: a file in either form,
// or a shipped one's name, with the nearest shipped names for a slip.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "apps/qelv/commands.h"
#include "host/preset_library.h"

namespace fs = std::filesystem;

namespace {
struct Output {
    int result;
    std::string out, err;
};

Output RunPresetCommand(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    ::testing::internal::CaptureStderr();
    ::testing::internal::CaptureStdout();
    const int result = RunPreset(int(argv.size()), argv.data());
    std::string out = ::testing::internal::GetCapturedStdout();
    return {result, out, ::testing::internal::GetCapturedStderr()};
}

TEST(PresetCommand, TakesEitherFormOrAShippedNameAndSuggestsNearNames) {
    const std::string library = LibraryFolder(PresetLibraryFolders());
    ASSERT_FALSE(library.empty());
    const std::string shown = RunPresetCommand({"show", library + "/aurora.qlp"}).out;
    ASSERT_NE(shown.find("Fadeout"), std::string::npos) << shown;
    const struct {
        std::vector<std::string> arguments;
        int result;
        std::string out, err;  // what each must hold
    } cases[] = {
        {{"show", "aurora"}, 0, shown, ""},
        {{"show", library + "/aurora.json"}, 0, shown, ""},
        {{"to-json", "aurora"}, 0, "\"effects\"", ""},
        {{"show", "Aurora"}, 1, "", "did you mean 'aurora'? 'qelv preset list' shows the shipped presets"},
        {{"show", "auror"}, 1, "", "did you mean 'aurora'?"},
        {{"show", "qqqqqqqqqqqq"}, 1, "", "cannot open 'qqqqqqqqqqqq': no such file or directory; 'qelv preset list'"},
        {{"from-json", "aurora"}, 2, "", "from-json writes the binary form, which needs a file: add -o FILE.qlp"},
    };
    for (const auto& c : cases) {
        const Output got = RunPresetCommand(c.arguments);
        EXPECT_EQ(got.result, c.result) << c.arguments[1] << ": " << got.err;
        EXPECT_NE(got.out.find(c.out), std::string::npos) << c.arguments[1] << ": " << got.out;
        EXPECT_NE(got.err.find(c.err), std::string::npos) << c.arguments[1] << ": " << got.err;
    }
}

// A folder's presets in either form, each name once.
TEST(PresetCommand, ListsBothFormsOnceByName) {
    const std::string library = LibraryFolder(PresetLibraryFolders());
    const fs::path dir = fs::temp_directory_path() / ("qelv-preset-list-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy_file(library + "/aurora.json", dir / "aurora.json");
    fs::copy_file(library + "/comet.qlp", dir / "comet.qlp");
    fs::copy_file(library + "/comet.json", dir / "comet.json");
    const Output got = RunPresetCommand({"list", dir.string()});
    EXPECT_EQ(got.result, 0) << got.err;
    EXPECT_EQ(got.out.substr(0, 7), "aurora:") << got.out;
    EXPECT_EQ(got.out.find("comet:"), got.out.rfind("comet:")) << got.out;
    EXPECT_NE(got.out.find("comet:"), std::string::npos) << got.out;
    fs::remove_all(dir);
}
}  // namespace
