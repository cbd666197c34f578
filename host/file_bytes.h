#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Whole-file reads and writes for the tool's commands; false with a readable error.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, size_t limit, bool& cut, std::string& error);
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);
