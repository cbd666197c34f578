#pragma once
#include <string>

// Replaces the chain with a preset file's, as the control panel's Load does: the file read
// into a zero-filled 1 MiB buffer, the chain emptied, then the preset's bytes. A file named
// ".json" is taken as the JSON form of `qelv preset to-json`. A file that cannot be opened
// or is not a preset leaves the chain alone and says why.
bool LoadPresetFile(const std::string& path, std::string& error);
