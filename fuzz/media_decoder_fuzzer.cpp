// Feeds arbitrary bytes as an audio file through the tool's own open path (a regular
// file opened by InputFile, read through the in-process media decoder) to its end.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "player/input_file.h"
#include "player/media_decoder.h"

namespace {
// Enough for any input of a few KB; a file that claims more is cut here.
constexpr int64_t kMaxFrames = int64_t(1) << 22;

void Require(bool ok) {
    if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // No extension: the bytes alone decide the format. Removed when the fuzzer exits.
    static const struct Scratch {
        std::string path =
            (std::filesystem::temp_directory_path() / ("qelv-media-fuzz-" + std::to_string(getpid()))).string();
        ~Scratch() { std::remove(path.c_str()); }
    } scratch;
    const std::string& path = scratch.path;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    const auto names = [&path](const std::string& error) { return error.find("'" + path + "'") != std::string::npos; };

    InputFile input;
    std::string error;
    Require(input.Open(path, error));
    MediaDecoder decoder;
    if (!decoder.Open(input.descriptor(), path, error)) {
        Require(names(error));
        return 0;
    }
    Require(decoder.sampleRate() >= 1 && decoder.sampleRate() <= MediaDecoder::kMaxSampleRate);
    static float interleaved[2 * 4096];
    for (int64_t total = 0; total < kMaxFrames;) {
        const int64_t frames = decoder.Read(interleaved, 4096, error);
        if (frames < 0) {
            Require(names(error));
            break;
        }
        Require(frames <= 4096);
        if (frames == 0) break;
        total += frames;
    }
    return 0;
}
