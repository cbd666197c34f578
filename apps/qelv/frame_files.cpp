#include <bit>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "apps/qelv/frame_sink.h"
#include "player/output_file.h"

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
    explicit RawFrames(size_t words) : words(words) {}
    bool Open(const std::string& path, std::string& error) { return file.Open(path, error); }
    bool Write(const uint32_t* pixels, std::string& error) override {
        // The words go out as they are held, which is little-endian on every build we have.
        static_assert(std::endian::native == std::endian::little);
        return file.Write(pixels, words * sizeof *pixels, error);
    }
    bool Finish(std::string& error) override { return file.Commit(error); }

private:
    OutputFile file;
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
        // Made in memory and written as a whole, so that a full disk is an error and not
        // a truncated picture.
        png.clear();
        const auto append = [](void* context, void* data, int size) {
            auto& bytes = *static_cast<std::vector<uint8_t>*>(context);
            bytes.insert(bytes.end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
        };
        if (!stbi_write_png_to_func(append, &png, width, height, 3, rgb.data(), width * 3)) {
            error = "cannot encode " + path;
            return false;
        }
        return WriteWholeFile(path, png.data(), png.size(), error);
    }
    bool Finish(std::string&) override { return true; }

private:
    std::string directory;
    int32_t width, height;
    std::vector<uint8_t> rgb, png;
    int64_t count = 0;
};
}  // namespace

std::unique_ptr<FrameSink> OpenRawFrames(const std::string& path, int32_t width, int32_t height, std::string& error) {
    if (!CreateParentDirectories(path, error)) return nullptr;
    auto sink = std::make_unique<RawFrames>(size_t(width) * height);
    if (!sink->Open(path, error)) return nullptr;
    return sink;
}

std::unique_ptr<FrameSink> OpenPngFrames(const std::string& directory, int32_t width, int32_t height,
                                         std::string& error) {
    std::error_code code;
    std::filesystem::create_directories(directory, code);
    if (code || !std::filesystem::is_directory(directory, code)) {
        error = "cannot create the directory " + directory + ": " +
                (code ? code.message() : std::string("a file of that name is in the way"));
        return nullptr;
    }
    return std::make_unique<PngFrames>(directory, width, height);
}
