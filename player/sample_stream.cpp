#include "player/sample_stream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "player/input_file.h"
#include "player/output_file.h"

namespace {
std::string Quoted(const std::string& path) { return "'" + path + "'"; }
}  // namespace

SampleStreamReader::~SampleStreamReader() {
    if (file) std::fclose(file);
}

bool SampleStreamReader::Open(const std::string& path, std::string& error, std::string* note) {
    std::error_code code;
    if (!std::filesystem::exists(std::filesystem::status(path, code))) {
        error = "cannot open " + Quoted(path) + ": no such file";
        return false;
    }
    const int descriptor = OpenRegularFile(path, error);
    if (descriptor < 0) return false;
    // The size of the file opened, which is the one read.
    struct stat status{};
    fstat(descriptor, &status);
    const uint64_t size = uint64_t(status.st_size);
    std::FILE* opened = size >= kBlockBytes ? fdopen(descriptor, "rb") : nullptr;
    if (!opened) {
        if (size == 0) {
            error = Quoted(path) + " is empty: a sample stream holds at least one 2304-byte block";
        } else if (size < kBlockBytes) {
            error = Quoted(path) + " is " + std::to_string(size) + " bytes, less than one 2304-byte block";
        } else {
            error = "cannot open " + Quoted(path) + ": " + std::strerror(errno);
        }
        close(descriptor);
        return false;
    }
    if (size % kBlockBytes != 0 && note)
        *note = Quoted(path) + " is " + std::to_string(size) + " bytes, not a whole number of 2304-byte blocks: the last " +
                std::to_string(size % kBlockBytes) + " bytes are ignored";
    if (file) std::fclose(file);
    file = opened;
    name = path;
    blocks = int64_t(size / kBlockBytes);
    taken = 0;
    return true;
}

bool SampleStreamReader::Next(SampleBlock& block, std::string& error) {
    if (taken >= blocks) {
        error = "no blocks left in " + Quoted(name);
        return false;
    }
    if (std::fread(block.bytes, kBlockBytes, 1, file) != 1) {
        error = "cannot read " + Quoted(name) + ": " +
                (std::ferror(file) ? std::string(std::strerror(errno)) : std::string("the file ended early"));
        return false;
    }
    ++taken;
    return true;
}

bool WriteSampleStream(const std::string& path, const std::vector<SampleBlock>& blocks, std::string& error) {
    // An empty file would not read back as a stream.
    if (blocks.empty()) {
        error = "no blocks to write to " + Quoted(path);
        return false;
    }
    OutputFile file;
    return file.Open(path, error) && file.Write(blocks.data(), blocks.size() * kBlockBytes, error) &&
           file.Commit(error);
}
