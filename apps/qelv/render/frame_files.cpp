#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "apps/qelv/render/frame_sink.h"
#include "player/file_kind.h"
#include "player/output_file.h"
#include "player/pending_removal.h"
#include "player/temporary_file.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

namespace fs = std::filesystem;

bool CreateParentDirectories(const std::string& path, std::string& error) {
    const fs::path parent = fs::path(path).parent_path();
    std::error_code code;
    if (parent.empty() || fs::is_directory(parent, code)) return true;
    fs::create_directories(parent, code);
    if (code) error = "cannot create " + parent.string() + ": " + code.message();
    return !code;
}

namespace {
std::string Quoted(const std::string& path) { return "'" + path + "'"; }

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

std::string FrameName(int64_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(index));
    return name;
}

// The index of a name FrameName gives, or -1.
int64_t FrameIndex(const std::string& name) {
    const size_t digits = name.size() - std::strlen("frame-.png");
    if (name.size() < 16 || name.compare(0, 6, "frame-") || name.compare(name.size() - 4, 4, ".png") ||
        digits > 18 || std::strspn(name.c_str() + 6, "0123456789") != digits)
        return -1;
    return std::strtoll(name.c_str() + 6, nullptr, 10);
}

// The frames of a run go to a hidden folder inside the target and are moved into it only
// once all are written, so that a failed or interrupted run leaves the folder as it was,
// and a finished one leaves this run's frames and none of an earlier run's beside them.
// The folder's other files stay.
class PngFrames final : public FrameSink {
public:
    PngFrames(std::string directory, int32_t width, int32_t height)
        : directory(std::move(directory)), width(width), height(height), rgb(size_t(width) * height * 3) {}
    bool Open(std::string& error) { return staging.Create(directory, error); }
    bool Write(const uint32_t* pixels, std::string& error) override {
        for (size_t i = 0, n = size_t(width) * height; i < n; ++i) {
            rgb[3 * i] = uint8_t(pixels[i] >> 16);
            rgb[3 * i + 1] = uint8_t(pixels[i] >> 8);
            rgb[3 * i + 2] = uint8_t(pixels[i]);
        }
        const std::string path = (fs::path(staging.path()) / FrameName(count++)).string();
        // Made in memory and written as a whole, so that a full disk is an error and not
        // a truncated picture.
        png.clear();
        const auto append = [](void* context, void* data, int size) {
            auto& bytes = *static_cast<std::vector<uint8_t>*>(context);
            bytes.insert(bytes.end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
        };
        if (!stbi_write_png_to_func(append, &png, width, height, 3, rgb.data(), width * 3)) {
            error = "cannot encode " + Target(count - 1);
            return false;
        }
        if (WriteWholeFile(path, png.data(), png.size(), error)) return true;
        // Told by where the frame was to go; the hidden folder means nothing to people.
        if (const size_t at = error.find(path); at != std::string::npos) error.replace(at, path.size(), Target(count - 1));
        return false;
    }
    bool Finish(std::string& error) override;

private:
    std::string Target(int64_t index) const { return (fs::path(directory) / FrameName(index)).string(); }

    std::string directory;
    TemporaryFolder staging;
    int32_t width, height;
    std::vector<uint8_t> rgb, png;
    int64_t count = 0;
};

bool PngFrames::Finish(std::string& error) {
    // Frames under new names go first: should one of those moves fail (a directory that
    // must grow on a full disk), they are taken back and the earlier run stands. Renames
    // over existing names need no space.
    std::vector<int64_t> added, replacing;
    for (int64_t i = 0; i < count; ++i) {
        struct stat existing{};
        if (lstat(Target(i).c_str(), &existing) != 0) {
            added.push_back(i);
        } else if (S_ISDIR(existing.st_mode)) {
            error = "cannot put a frame at " + Quoted(Target(i)) + ": it is a directory";
            return false;
        } else {
            replacing.push_back(i);
        }
    }
    std::vector<std::string> earlier;  // an earlier run's frames beyond this run's last
    std::error_code code;
    for (const auto& entry : fs::directory_iterator(directory, code))
        if (FrameIndex(entry.path().filename().string()) >= count && !entry.is_directory(code))
            earlier.push_back(entry.path().string());
    const auto move = [&](int64_t i) {
        if (std::rename((fs::path(staging.path()) / FrameName(i)).c_str(), Target(i).c_str()) == 0) return true;
        error = "cannot move " + FrameName(i) + " into " + Quoted(directory) + ": " + std::strerror(errno);
        return false;
    };
    const SignalsDeferred untilAllAreIn;
    for (size_t n = 0; n < added.size(); ++n) {
        if (move(added[n])) continue;
        for (size_t back = 0; back < n; ++back) unlink(Target(added[back]).c_str());
        return false;
    }
    for (const int64_t i : replacing)
        if (!move(i)) return false;
    for (const std::string& path : earlier) unlink(path.c_str());
    return true;
}
}  // namespace

std::unique_ptr<FrameSink> OpenRawFrames(const std::string& path, int32_t width, int32_t height, std::string& error) {
    if (!CreateParentDirectories(path, error)) return nullptr;
    auto sink = std::make_unique<RawFrames>(size_t(width) * height);
    if (!sink->Open(path, error)) return nullptr;
    return sink;
}

std::unique_ptr<FrameSink> OpenPngFrames(const std::string& directory, int32_t width, int32_t height,
                                         std::string& error) {
    // Without its trailing slashes, which make stat fail for what is not a directory.
    const std::string named = fs::path(directory).lexically_normal().string();
    const std::string plain = named.size() > 1 && named.back() == '/' ? named.substr(0, named.size() - 1) : named;
    struct stat existing{};
    if (stat(plain.c_str(), &existing) == 0 && !S_ISDIR(existing.st_mode)) {
        error = "cannot write PNG frames into " + Quoted(directory) + ": it is " + FileKindName(existing.st_mode) +
                ", not a directory";
        return nullptr;
    }
    std::error_code code;
    fs::create_directories(directory, code);
    if (code) {
        error = "cannot create the directory " + Quoted(directory) + ": " + code.message();
        return nullptr;
    }
    auto sink = std::make_unique<PngFrames>(directory, width, height);
    if (!sink->Open(error)) return nullptr;
    return sink;
}
