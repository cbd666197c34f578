#pragma once
#include <cstdint>
#include <limits>
#include <string>

#include "apps/qelv/render/frame_sink.h"

// What `qelv render` reads and writes, from its command line.
enum class SampleSource { DemoTrack, SampleStream, AudioFile };
enum class OutputKind { RawFrames, PngFrames, Video };

// Threads the processor runs at once, at least 1: the default of --threads.
int32_t CoresAvailable();

struct RenderOptions {
    std::string presetPath;  // empty: the built-in chain
    SampleSource source = SampleSource::DemoTrack;
    std::string inputPath;   // the .qsb or audio file
    int32_t width = 640, height = 360;
    int32_t pixelSize = 0;   // --pixel-size; 0: not given (1, or play's full-screen doubling)
    int64_t frames = 0;      // frames written; 0: to the end of the input. --duration sets it too.
    double startSeconds = 0;  // the moment of the first frame written
    // How long before the start frames are drawn and not written, so that the picture is
    // in motion at the start; infinity: from the input's beginning.
    double preRollSeconds = 10;
    int32_t fps = 50;
    bool simd = true;
    int32_t threads = CoresAvailable();  // threads that draw each frame
    std::string outPath;     // empty: DefaultOutputPath()
    OutputKind output = OutputKind::Video;
    VideoQuality quality = VideoQuality::Good;
    bool help = false;
};

constexpr double kWholePreRoll = std::numeric_limits<double>::infinity();
constexpr int32_t kMinimumSide = 8, kMaximumSide = 8192;
extern const char kRenderUsage[];

// The options that take a value; both "--name value" and "--name=value" are accepted.
bool TakesValue(const std::string& name);
// Parses the arguments after "render"; false with a one-line message for anything wrong.
bool ParseRenderOptions(int argc, char** argv, RenderOptions& options, std::string& error);
// A path ending in '/', an existing directory or a name without extension takes PNG
// frames; .rgb, or an existing device or pipe without extension, raw frames; .mp4,
// .webm and .gif a video. Anything else is refused.
bool ClassifyOutput(const std::string& path, OutputKind& kind, std::string& error);
// The frame shown at a moment: the one whose block is the nearest to it.
int64_t FrameAt(double seconds, int32_t fps);
// A video when ffmpeg can make one, else PNG frames.
std::string DefaultOutputPath(bool ffmpegAvailable);
