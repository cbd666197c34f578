#pragma once
#include <cstddef>
#include <string>
#include <vector>

// The preset files (".qlp") beside a preset, sorted by name, for stepping through them
// while playing.
class PresetFolder {
public:
    explicit PresetFolder(const std::string& presetPath);
    // The path `step` places on from the current preset, wrapping round at either end;
    // it becomes the current one.
    const std::string& Step(int step);
    const std::string& current() const { return paths[index]; }
    size_t size() const { return paths.size(); }

private:
    std::vector<std::string> paths;  // never empty: the given preset is always there
    size_t index = 0;
};
