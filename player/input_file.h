#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Files the tools read: only regular files, so that a pipe or a device, named by mistake
// or left in the settings folder, is refused with a message instead of waited on for
// ever. Messages name the file.

// The file opened for reading, or -1.
int OpenRegularFile(const std::string& path, std::string& error);

// Its first limit bytes; cut tells a file that goes on beyond them.
bool ReadWholeFile(const std::string& path, size_t limit, std::vector<uint8_t>& bytes, bool& cut,
                   std::string& error);
