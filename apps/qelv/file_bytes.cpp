#include "apps/qelv/file_bytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "player/output_file.h"

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, size_t limit, bool& cut, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    bytes.resize(limit + 1);
    const size_t n = std::fread(bytes.data(), 1, bytes.size(), file);
    const bool failed = std::ferror(file);
    std::fclose(file);
    if (failed) {
        error = "cannot read " + path;
        return false;
    }
    cut = n > limit;
    bytes.resize(cut ? limit : n);
    return true;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    return WriteWholeFile(path, bytes.data(), bytes.size(), error);
}
