#include "host/file_bytes.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "player/output_file.h"

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, size_t limit, bool& cut, std::string& error) {
    // A pipe or a terminal would be waited on for ever; a directory is a mistake to name.
    std::error_code code;
    const auto status = std::filesystem::status(path, code);
    if (std::filesystem::is_directory(status)) {
        error = "cannot read " + path + ": it is a directory";
        return false;
    }
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        error = "cannot read " + path + ": not a regular file";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    // Grown as the data comes, to one byte past the limit, which tells a file that was cut.
    bytes.clear();
    uint8_t chunk[65536];
    while (bytes.size() <= limit) {
        const size_t n = std::fread(chunk, 1, std::min(sizeof chunk, limit + 1 - bytes.size()), file);
        if (n == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    const bool failed = std::ferror(file);
    std::fclose(file);
    if (failed) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    cut = bytes.size() > limit;
    if (cut) bytes.resize(limit);
    return true;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    return WriteWholeFile(path, bytes.data(), bytes.size(), error);
}
