#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The preset files (".qlp") of one folder, sorted by name, for stepping through them
// while playing.
class PresetFolder {
public:
    // The presets beside presetPath, which is the current one (listed even when it is
    // not a .qlp file).
    explicit PresetFolder(const std::string& presetPath);
    // The presets in a folder with none current yet: the first step forward goes to the
    // first, the first step back to the last.
    static PresetFolder Library(const std::string& folder);

    // The path `step` places on from the current preset, wrapping round at either end;
    // it becomes the current one. Only for a folder that is not empty.
    const std::string& Step(int step);
    // A preset other than the current one (when there is another), picked by draw.
    const std::string& Jump(uint32_t draw);
    // The current preset, once there is one.
    const std::string& current() const { return paths[size_t(index)]; }
    size_t count() const { return paths.size(); }

private:
    PresetFolder() = default;
    std::vector<std::string> paths;
    int64_t index = -1;  // -1: none current yet
};
