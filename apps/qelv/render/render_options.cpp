#include "apps/qelv/render/render_options.h"

#include "apps/qelv/render/time_text.h"
#include "host/path_extension.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "core/worker_pool.h"
#include "host/pixel_size.h"

const char kRenderUsage[] =
    "usage: qelv render [FILE | --samples FILE.qsb | --audio FILE | --demo] [--preset FILE|NAME]\n"
    "                   [--start T] [--duration T | --frames N] [--pre-roll T|all]\n"
    "                   [--size WxH] [--fps N] [--simd on|off] [--out PATH]\n"
    "                   [--quality draft|good|best] [--threads N] [--pixel-size N]\n"
    "\n"
    "Renders the effect chain offline, one frame per block of samples; the same inputs\n"
    "give the same frames on every machine. Times T are seconds (12.5), m:ss (1:05.5)\n"
    "or h:mm:ss.\n"
    "\n"
    "  --preset FILE   the chain of a preset file (.qlp or .json), or the name of a\n"
    "                  shipped one ('qelv preset list'; default: a built-in chain)\n"
    "  FILE            an audio file, or a sample stream when it ends in .qsb\n"
    "  --samples FILE  a sample stream (.qsb), one block per frame; the last block\n"
    "                  repeats when more frames are asked for than it has\n"
    "  --audio FILE    an audio file, analysed at --fps blocks a second\n"
    "  --demo          the built-in demo track (default)\n"
    "  --start T       the moment the output begins (default 0); the frames before it\n"
    "                  are drawn as in a whole render, only not written\n"
    "  --duration T    how long the output runs (default: to the end of the input);\n"
    "                  past the end of a track the picture and sound go on in silence\n"
    "  --frames N      the same as a number of frames\n"
    "  --pre-roll T    how long before --start the drawing begins, so the picture is\n"
    "                  in motion at the start (default 10; all: from the input's\n"
    "                  beginning, which gives exactly the frames of a whole render).\n"
    "                  The sound before it is still read, and its analysis is the same\n"
    "  --size WxH      frame size, 8 to 8192 each (default 640x360); .mp4 and .webm\n"
    "                  take even sides only, so an odd side is made one pixel less\n"
    "  --fps N         frames a second, for analysis and video (default 50)\n"
    "  --simd on|off   use the processor's packed instructions (default on)\n"
    "  --threads N     threads that draw each frame, 1 to 64; every number draws the\n"
    "                  same frames (default: one per core of the processor)\n"
    "  --out PATH      FILE.rgb: raw frames, W x H little-endian 0x00RRGGBB words each,\n"
    "                  as to a device or a pipe named without extension (/dev/null);\n"
    "                  DIR/ or a name without extension: numbered PNG files, which\n"
    "                  replace those of an earlier render there once all are written;\n"
    "                  FILE.mp4, FILE.webm, FILE.gif: a video made by ffmpeg, with the\n"
    "                  sound of an audio input (default out/qelv-demo.mp4, or\n"
    "                  out/qelv-demo/ without ffmpeg)\n"
    "  --quality Q     video encoding: a quality, within a limit of bits a second\n"
    "                  that follows the size and frame rate. A 72 s track at\n"
    "                  1920x1080, 50 frames a second, on two cores (H.264; .webm\n"
    "                  is VP9, slower):\n"
    "                    draft  at most 4 Mbit/s    38 MB   75 frames a second\n"
    "                    good   at most 12 Mbit/s  112 MB   61 frames a second\n"
    "                    best   no limit           456 MB  7.6 frames a second\n"
    "                  draft is the smallest and quickest, for a preview; good\n"
    "                  (default) keeps up with 1080p at 50 frames a second at the\n"
    "                  rate video sites ask for; best is a master for editing\n"
    "  --pixel-size N  draw at 1/N of --size and show each pixel as an NxN block, 1 to\n"
    "                  8: a preset keeps its look at a large size, at 1/N^2 the cost;\n"
    "                  a side that is not a multiple of N is drawn rounded up and its\n"
    "                  last blocks cut at the right or bottom edge (default 1)\n";

namespace {
bool ParseInt(const std::string& text, int64_t minimum, int64_t maximum, int64_t& value) {
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno || *end || v < minimum || v > maximum) return false;
    value = v;
    return true;
}

bool ParseSize(const std::string& text, int32_t& width, int32_t& height) {
    const size_t x = text.find_first_of("xX");
    int64_t w, h;
    if (x == std::string::npos || !ParseInt(text.substr(0, x), kMinimumSide, kMaximumSide, w) ||
        !ParseInt(text.substr(x + 1), kMinimumSide, kMaximumSide, h))
        return false;
    width = int32_t(w);
    height = int32_t(h);
    return true;
}

constexpr double kMostFrames = INT32_MAX;

// --duration as the frames it writes, at the frame rate finally chosen.
bool CountDuration(const std::string& duration, RenderOptions& options, std::string& error) {
    if (duration.empty()) return true;
    if (options.frames) {
        error = "give --frames or --duration, not both";
        return false;
    }
    double seconds = 0;
    ParseTime(duration, seconds);
    const std::string rate = std::to_string(options.fps) + " frames a second";
    if (seconds * options.fps > kMostFrames) {
        error = "--duration " + duration + " is more than the " + std::to_string(INT32_MAX) + " frames a render can have at " + rate;
        return false;
    }
    options.frames = FrameAt(seconds, options.fps);
    if (options.frames >= 1) return true;
    error = "--duration " + duration + " is shorter than one frame at " + rate;
    return false;
}

bool StartFits(const RenderOptions& options, std::string& error) {
    if (options.startSeconds * options.fps <= kMostFrames) return true;
    error = "--start is past the " + std::to_string(INT32_MAX) + " frames a render can reach at " +
            std::to_string(options.fps) + " frames a second";
    return false;
}
}  // namespace

int32_t CoresAvailable() {
    const unsigned cores = std::thread::hardware_concurrency();
    return int32_t(std::clamp<unsigned>(cores, 1, WorkerPool::kMaxThreads));
}

bool TakesValue(const std::string& name) {
    for (const char* option : {"--preset", "--samples", "--audio", "--size", "--frames", "--fps", "--simd", "--threads",
                               "--out", "--quality", "--start", "--duration", "--pre-roll", "--pixel-size"})
        if (name == option) return true;
    return false;
}

bool ClassifyOutput(const std::string& path, OutputKind& kind, std::string& error) {
    const std::string extension = PathExtension(path);
    std::error_code ignored;
    if (path.empty()) {
        error = "--out needs a path";
        return false;
    }
    const auto status = std::filesystem::status(path, ignored);
    // A device or a pipe named without an extension, such as /dev/null, takes the frames
    // as they are; PNG frames would need a folder in its place.
    const bool device = std::filesystem::exists(status) && !std::filesystem::is_directory(status) &&
                        !std::filesystem::is_regular_file(status);
    if (device && extension.empty() && path.back() != '/') {
        kind = OutputKind::RawFrames;
    } else if (path.back() == '/' || std::filesystem::is_directory(status) || extension.empty()) {
        kind = OutputKind::PngFrames;
    } else if (extension == ".rgb") {
        kind = OutputKind::RawFrames;
    } else if (extension == ".mp4" || extension == ".webm" || extension == ".gif") {
        kind = OutputKind::Video;
    } else {
        error = "cannot write '" + extension + "' files; use .rgb, .mp4, .webm, .gif or a directory";
        return false;
    }
    return true;
}

int64_t FrameAt(double seconds, int32_t fps) { return std::llround(seconds * fps); }

std::string DefaultOutputPath(bool ffmpegAvailable) {
    return ffmpegAvailable ? "out/qelv-demo.mp4" : "out/qelv-demo/";
}

bool ParseRenderOptions(int argc, char** argv, RenderOptions& options, std::string& error) {
    int sources = 0;
    std::string duration;  // as given: frames are counted once --fps is known
    for (int i = 0; i < argc; ++i) {
        std::string name = argv[i], value;
        // A file named on its own is the input, as with play: a sample stream by its
        // extension, else audio.
        if (!name.empty() && name[0] != '-') {
            options.source = PathExtension(name) == ".qsb" ? SampleSource::SampleStream : SampleSource::AudioFile;
            options.inputPath = name;
            ++sources;
            continue;
        }
        const size_t equals = name.find('=');
        const bool inlineValue = name.rfind("--", 0) == 0 && equals != std::string::npos;
        if (inlineValue) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if (name == "--help" || name == "-h") {
            options.help = true;
            return true;
        }
        if (TakesValue(name) && !inlineValue) {
            if (i + 1 == argc) {
                error = name + " needs a value";
                return false;
            }
            value = argv[++i];
        } else if (!TakesValue(name) && inlineValue) {
            error = name + " takes no value";
            return false;
        }

        if (TakesValue(name) && value.empty()) {
            error = name + " needs a value";
            return false;
        }

        int64_t number = 0;
        if (name == "--preset") {
            options.presetPath = value;
        } else if (name == "--samples" || name == "--audio") {
            options.source = name == "--samples" ? SampleSource::SampleStream : SampleSource::AudioFile;
            options.inputPath = value;
            ++sources;
        } else if (name == "--demo") {
            options.source = SampleSource::DemoTrack;
            ++sources;
        } else if (name == "--size") {
            if (!ParseSize(value, options.width, options.height)) {
                error = "--size wants WxH with each side from 8 to 8192, not '" + value + "'";
                return false;
            }
        } else if (name == "--frames") {
            if (!ParseInt(value, 1, INT32_MAX, number)) {
                error = "--frames wants a whole number from 1 up, not '" + value + "'";
                return false;
            }
            options.frames = number;
        } else if (name == "--start" || name == "--duration" || name == "--pre-roll") {
            double seconds = 0;
            const bool whole = name == "--pre-roll" && value == "all";
            if (!whole && !ParseTime(value, seconds)) {
                error = name + " wants a time: seconds (12.5), m:ss or h:mm:ss" +
                        (name == "--pre-roll" ? ", or all" : "") + ", not '" + value + "'";
                return false;
            }
            if (name == "--start") options.startSeconds = seconds;
            if (name == "--duration") duration = value;
            if (name == "--pre-roll") options.preRollSeconds = whole ? kWholePreRoll : seconds;
        } else if (name == "--fps") {
            if (!ParseInt(value, 1, 1000, number)) {
                error = "--fps wants a whole number from 1 to 1000, not '" + value + "'";
                return false;
            }
            options.fps = int32_t(number);
        } else if (name == "--simd") {
            if (value != "on" && value != "off") {
                error = "--simd wants on or off, not '" + value + "'";
                return false;
            }
            options.simd = value == "on";
        } else if (name == "--threads") {
            if (!ParseInt(value, 1, WorkerPool::kMaxThreads, number)) {
                error = "--threads wants a whole number from 1 to 64, not '" + value + "'";
                return false;
            }
            options.threads = int32_t(number);
        } else if (name == "--quality") {
            if (value == "draft") {
                options.quality = VideoQuality::Draft;
            } else if (value == "good") {
                options.quality = VideoQuality::Good;
            } else if (value == "best") {
                options.quality = VideoQuality::Best;
            } else {
                error = "--quality wants draft, good or best, not '" + value + "'";
                return false;
            }
        } else if (name == "--pixel-size") {
            if (!ParseInt(value, 1, kLargestPixelSize, number)) {
                error = "--pixel-size wants a whole number from 1 to 8, not '" + value + "'";
                return false;
            }
            options.pixelSize = int32_t(number);
        } else if (name == "--out") {
            options.outPath = value;
            if (!ClassifyOutput(value, options.output, error)) return false;
        } else {
            error = "unknown option '" + name + "'";
            return false;
        }
    }
    if (sources > 1) {
        error = "give at most one input: a FILE, --samples, --audio or --demo";
        return false;
    }
    const int32_t drawnWidth = DrawnSide(options.width, options.pixelSize);
    const int32_t drawnHeight = DrawnSide(options.height, options.pixelSize);
    if (drawnWidth < kMinimumSide || drawnHeight < kMinimumSide) {
        error = "--pixel-size " + std::to_string(options.pixelSize) + " would draw " + std::to_string(options.width) +
                "x" + std::to_string(options.height) + " at " + std::to_string(drawnWidth) + "x" +
                std::to_string(drawnHeight) + "; each side drawn must be at least 8";
        return false;
    }
    return CountDuration(duration, options, error) && StartFits(options, error);
}
