// Feeds arbitrary bytes as the settings file and reads the output window's settings from
// section [Qelv5] as the plug-in does; every value written back must read back the same,
// and a write must leave the other sections' settings as they were.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "backends/native/native_shell.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string directory = [] {
        const auto d = std::filesystem::temp_directory_path() / ("qelv-settings-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(d);
        return d.string();
    }();
    std::ofstream(directory + "/qelv.ini", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));

    NativeShell shell(directory);
    static const char* const keys[] = {"cfg_x", "cfg_y", "cfg_w", "cfg_h", "cfg_fs_w", "cfg_fs_h", "cfg_fs_d"};
    int values[7];
    for (int i = 0; i < 7; ++i) values[i] = shell.ReadSetting("Qelv5", keys[i], 100 + i);
    const int other = shell.ReadSetting("Other", "cfg_w", -1);
    for (int i = 0; i < 7; ++i) shell.WriteSetting("Qelv5", keys[i], values[i] ^ 1);
    for (int i = 0; i < 7; ++i)
        if (shell.ReadSetting("Qelv5", keys[i], 0) != (values[i] ^ 1)) std::abort();
    if (shell.ReadSetting("Other", "cfg_w", -1) != other) std::abort();
    return 0;
}
