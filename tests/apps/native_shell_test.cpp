#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "backends/native/native_shell.h"
#include "tests/player/file_size_limit.h"

namespace {
TEST(NativeShell, KeepsSettingsBesideOtherSectionsAndTheAutosaveInTheSameFolder) {
    const auto dir = std::filesystem::temp_directory_path() / "qelv-native-shell";
    std::filesystem::remove_all(dir);
    NativeShell shell(dir.string());
    EXPECT_EQ(shell.ReadSetting("Qelv5", "cfg_w", 400), 400);  // no file: the default stands

    std::filesystem::create_directories(dir);
    std::ofstream(dir / "qelv.ini") << "[Other]\ncfg_w=1\n\n[Qelv5]\ncfg_x = -20\ncfg_y=junk\n";
    EXPECT_EQ(shell.ReadSetting("Qelv5", "cfg_x", 100), -20);
    EXPECT_EQ(shell.ReadSetting("Qelv5", "cfg_y", 100), 0);
    EXPECT_EQ(shell.ReadSetting("Qelv5", "cfg_w", 400), 400);

    shell.WriteSetting("Qelv5", "cfg_w", 640);
    shell.WriteSetting("Qelv5", "cfg_x", 5);
    shell.WriteSetting("New", "k", 3);
    EXPECT_EQ(shell.ReadSetting("Qelv5", "cfg_w", 0), 640);
    EXPECT_EQ(shell.ReadSetting("Qelv5", "cfg_x", 0), 5);
    EXPECT_EQ(shell.ReadSetting("Other", "cfg_w", 0), 1);
    EXPECT_EQ(shell.ReadSetting("New", "k", 0), 3);

    EXPECT_EQ(shell.ProgramFilePath("qelv5.dat"), (dir / "qelv5.dat").string());
    std::filesystem::remove_all(dir);
}

// A settings file that cannot be rewritten whole is left as it was.
TEST(NativeShell, NeverEmptiesOrCutsTheSettingsFile) {
    const auto dir = std::filesystem::temp_directory_path() / "qelv-native-shell-safe";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const auto ini = dir / "qelv.ini";
    NativeShell shell(dir.string());
    const std::string old = "[Qelv5]\ncfg_w=1\n" + std::string(200, ';') + "\n";
    std::ofstream(ini) << old;
    {
        FileSizeLimit full(100);
        shell.WriteSetting("Qelv5", "cfg_w", 2);
    }
    EXPECT_EQ(std::filesystem::file_size(ini), old.size());
    EXPECT_EQ(shell.ReadSetting("Qelv5", "cfg_w", 0), 1);

    // Larger than a settings file can be: read as far as the limit, never written.
    std::ofstream(ini, std::ios::app) << std::string(2 << 20, ';');
    const auto size = std::filesystem::file_size(ini);
    shell.WriteSetting("Qelv5", "cfg_w", 3);
    EXPECT_EQ(std::filesystem::file_size(ini), size);
    EXPECT_EQ(shell.ReadSetting("Qelv5", "cfg_w", 0), 1);
    std::filesystem::remove_all(dir);
}
}  // namespace
