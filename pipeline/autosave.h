#pragma once
#include <cstdint>

// The chain in force at Quit, read back at the next Init: "qelv5.dat" in the host's
// program directory.
extern const char kAutosaveFileName[];

void LoadAutosave();
void SaveAutosave();
// Reads at most one preset's worth (1 MiB) of a file; -1 when it cannot be opened.
int32_t ReadPresetFile(const char* path, uint8_t* buffer);
