#include <bit>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "apps/qelv/frame_sink.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

bool CreateParentDirectories(const std::string& path, std::string& error) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    std::error_code code;
    if (parent.empty() || std::filesystem::is_directory(parent, code)) return true;
    std::filesystem::create_directories(parent, code);
    if (code) error = "cannot create " + parent.string() + ": " + code.message();
    return !code;
}

namespace {
class RawFrames final : public FrameSink {
public:
    RawFrames(std::FILE* file, std::string path, size_t words) : file(file), path(std::move(path)), words(words) {}
    ~RawFrames() override {
        if (file) std::fclose(file);
    }
    bool Write(const uint32_t* pixels, std::string& error) override {
        // The words go out as they are held, which is little-endian on every build we have.
        static_assert(std::endian::native == std::endian::little);
        if (std::fwrite(pixels, sizeof *pixels, words, file) == words) return true;
        error = "cannot write " + path;
        return false;
    }
    bool Finish(std::string& error) override {
        const bool closed = std::fclose(file) == 0;
        file = nullptr;
        if (!closed) error = "cannot write " + path;
        return closed;
    }

private:
    std::FILE* file;
    std::string path;
    size_t words;
};

class PngFrames final : public FrameSink {
public:
    PngFrames(std::string directory, int32_t width, int32_t height)
        : directory(std::move(directory)), width(width), height(height), rgb(size_t(width) * height * 3) {}
    bool Write(const uint32_t* pixels, std::string& error) override {
        for (size_t i = 0, n = size_t(width) * height; i < n; ++i) {
            rgb[3 * i] = uint8_t(pixels[i] >> 16);
            rgb[3 * i + 1] = uint8_t(pixels[i] >> 8);
            rgb[3 * i + 2] = uint8_t(pixels[i]);
        }
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(count++));
        const std::string path = (std::filesystem::path(directory) / name).string();
        if (stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3)) return true;
        error = "cannot write " + path;
        return false;
    }
    bool Finish(std::string&) override { return true; }

private:
    std::string directory;
    int32_t width, height;
    std::vector<uint8_t> rgb;
    int64_t count = 0;
};
}  // namespace

std::unique_ptr<FrameSink> OpenRawFrames(const std::string& path, int32_t width, int32_t height, std::string& error) {
    if (!CreateParentDirectories(path, error)) return nullptr;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot create " + path;
        return nullptr;
    }
    return std::make_unique<RawFrames>(file, path, size_t(width) * height);
}

std::unique_ptr<FrameSink> OpenPngFrames(const std::string& directory, int32_t width, int32_t height,
                                         std::string& error) {
    std::error_code code;
    std::filesystem::create_directories(directory, code);
    if (code || !std::filesystem::is_directory(directory, code)) {
        error = "cannot create the directory " + directory;
        return nullptr;
    }
    return std::make_unique<PngFrames>(directory, width, height);
}
