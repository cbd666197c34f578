#include <algorithm>
#include <iterator>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "apps/qelv/commands.h"
#include "host/preset_library.h"
#include "host/preset_loading.h"
#include "host/stream_renderer.h"
#include "host/default_chain.h"
#include "apps/qelv/render/frame_sink.h"
#include "host/path_extension.h"
#include "host/pixel_size.h"
#include "apps/qelv/render/progress_bar.h"
#include "apps/qelv/render/render_options.h"
#include "core/mmx.h"
#include "engine/autosave.h"
#include "engine/engine.h"
#include "engine/preset_bytes.h"
#include "backends/headless/recording_shell.h"
#include "player/audio.h"
#include "player/track_reader.h"
#include "player/wav_writer.h"
#include "player/sample_stream.h"
#include "player/external_program.h"
#include "player/temporary_file.h"
#include "backends/native/tool_messages.h"

namespace {
constexpr int kFailed = 1, kBadArguments = 2;

// A sample stream is read block by block as the frames need it, and so is a track:
// decoded and analysed as its blocks are drawn. Neither's length costs memory. Both go
// through the library's feeding and timing, as a player's audio would.
struct Input {
    SampleStreamReader stream;
    bool fromStream = false;
    TrackReader track;
    int64_t trackBlocks = 0;  // as far as the first reading went
    std::string name;         // for messages

    int64_t blockCount() const { return fromStream ? stream.blockCount() : trackBlocks; }
    // Feeds the block of frame i, asked for in order. Past its end a stream shows its last
    // block again, and a track goes on in silence.
    bool Feed(int64_t i, StreamRenderer& renderer, std::string& error) {
        if (fromStream) {
            SampleBlock block;
            if (i >= stream.blockCount()) return true;
            if (!stream.Next(block, error)) return false;
            renderer.FeedBlocks(block.bytes, 1);
            return true;
        }
        float interleaved[2 * 4096];
        while (renderer.blocksMade() <= i) {
            int64_t frames = track.Read(interleaved, 4096, error);
            if (frames < 0) return false;
            if (frames == 0) {
                std::fill(std::begin(interleaved), std::end(interleaved), 0.0f);
                frames = 4096;
            }
            renderer.FeedPcm(interleaved, size_t(frames), {2, track.sampleRate()});
        }
        return true;
    }
};

bool NeedsSoundFile(const RenderOptions& options) {
    return options.output == OutputKind::Video && options.source != SampleSource::SampleStream &&
           PathExtension(options.outPath) != ".gif";
}

// A track is read twice: first through to count its blocks (only as far as the frames
// asked for need) and to copy the sound of the written frames for a video, then again
// as the frames are drawn.
bool LoadInput(const RenderOptions& options, Input& input, TemporaryFile& soundFile, std::string& error) {
    if (options.source == SampleSource::SampleStream) {
        std::string note;
        if (!input.stream.Open(options.inputPath, error, &note)) return false;
        if (!note.empty()) std::fprintf(ToolMessages(), "qelv render: %s\n", note.c_str());
        input.fromStream = true;
        input.name = "'" + options.inputPath + "'";
        return true;
    }
    const bool file = options.source == SampleSource::AudioFile;
    const auto open = [&](TrackReader& track) {
        if (file) return track.OpenFile(options.inputPath, error);
        track.OpenDemo();
        return true;
    };
    TrackReader first;
    if (!open(first)) return false;
    const int rate = first.sampleRate();
    input.name = file ? "'" + options.inputPath + "'" : std::string("the demo track");
    if (options.fps > rate) {
        error = "--fps " + std::to_string(options.fps) + " is more than the " + std::to_string(rate) +
                " Hz sample rate of " + input.name;
        return false;
    }
    // The sound of the frames written, which covers every sample their blocks show.
    const auto sampleAt = [&](int64_t frame) { return std::llround(double(frame) * rate / options.fps); };
    const int64_t start = FrameAt(options.startSeconds, options.fps);
    const int64_t end = options.frames ? start + options.frames : 0;
    WavWriter sound;
    const bool withSound = NeedsSoundFile(options);
    if (withSound && (!soundFile.Create("qelv-render-", ".wav", error) || !sound.Open(soundFile.path(), rate, error)))
        return false;
    const int64_t samples = ReadThrough(first, sampleAt(end), withSound ? &sound : nullptr, error, sampleAt(start));
    if (samples < 0) return false;
    while (NewestSampleOfBlock(input.trackBlocks, rate, options.fps) < samples && (!end || input.trackBlocks < end))
        ++input.trackBlocks;
    if (input.trackBlocks == 0) {
        error = input.name + " is too short for a frame";
        return false;
    }
    return open(input.track);
}

std::unique_ptr<FrameSink> OpenOutput(const RenderOptions& options, const std::string& soundPath, int64_t frames,
                                      std::string& error) {
    switch (options.output) {
        case OutputKind::RawFrames: return OpenRawFrames(options.outPath, options.width, options.height, error);
        case OutputKind::PngFrames: return OpenPngFrames(options.outPath, options.width, options.height, error);
        case OutputKind::Video:
            return OpenVideo(
                {options.outPath, options.width, options.height, options.fps, soundPath, frames, options.quality},
                error);
    }
    return nullptr;
}

// To the millisecond, without trailing zeros: "25 s", "1.5 s".
std::string SecondsText(double seconds) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.3f", seconds);
    std::string text = digits;
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text + " s";
}

// H.264 and VP9 in 4:2:0, the colours every player shows, take even sides only; the
// frames are drawn at the even size below, and the closing line tells that size.
void EvenSidesForVideo(RenderOptions& options) {
    const std::string extension = PathExtension(options.outPath);
    if (options.output != OutputKind::Video || extension == ".gif") return;
    const int32_t width = options.width & ~1, height = options.height & ~1;
    if (width == options.width && height == options.height) return;
    std::fprintf(ToolMessages(), "qelv render: %s video takes even sides only: drawing %dx%d, not %dx%d\n",
                 extension.c_str(), width, height, options.width, options.height);
    options.width = width;
    options.height = height;
}

// The frames a render draws: from the pre-roll's first on, written from start to end.
struct Span {
    int64_t first, start, end;
};

// False for a start past the input's end; says so when the output runs on past it.
bool PlanSpan(const RenderOptions& options, const Input& input, Span& span, std::string& error) {
    const int64_t start = FrameAt(options.startSeconds, options.fps);
    const int64_t blocks = input.blockCount();
    const std::string length = SecondsText(double(blocks) / options.fps);
    if (start >= blocks) {
        error = "--start " + SecondsText(options.startSeconds) + " is past the end of " + input.name + " (" + length + ")";
        return false;
    }
    const int64_t end = options.frames ? start + options.frames : blocks;
    const std::string rest = SecondsText(double(end - blocks) / options.fps);
    if (end > blocks && input.fromStream)
        std::fprintf(ToolMessages(), "qelv render: %s ends after %s; its last block repeats for the last %s\n",
                     input.name.c_str(), length.c_str(), rest.c_str());
    else if (end > blocks)
        std::fprintf(ToolMessages(), "qelv render: %s ends after %s; the last %s go on in silence\n",
                     input.name.c_str(), length.c_str(), rest.c_str());
    // The blocks before the pre-roll are made and dropped.
    const int64_t preRoll =
        options.preRollSeconds >= double(start) / options.fps ? start : FrameAt(options.preRollSeconds, options.fps);
    span = {start - preRoll, start, end};
    return true;
}

int Render(RenderOptions& options) {
    std::string error;
    auto fail = [&](const std::string& message) {
        std::fprintf(ToolMessages(), "qelv render: %s\n", message.c_str());
        return kFailed;
    };

    if (options.output == OutputKind::Video && !FindOnPath("ffmpeg"))
        return fail("making " + options.outPath + " needs ffmpeg, which is not on PATH; write .rgb or PNG frames");
    Engine engine;
    engine.chain.SetThreads(options.threads);
    if (!options.presetPath.empty()) {
        std::string note;
        const std::vector<std::string> folders = PresetLibraryFolders();
        if (!LoadPresetFile(engine.chain, FindPreset(options.presetPath, folders), error, &note))
            return fail(error + NearestPresetHint(options.presetPath, folders));
        PrintNotes("qelv render", note);
    } else {
        BuildDefaultChain(engine.chain);
    }
    if (options.simd) {
        ProbeMmx();
    } else {
        mmxAvailable = 0;
    }

    EvenSidesForVideo(options);
    TemporaryFile sound;  // the video's sound track, for as long as ffmpeg reads it
    Input input;
    if (!LoadInput(options, input, sound, error)) return fail(error);
    Span span;
    if (!PlanSpan(options, input, span, error)) return fail(error);
    const int64_t first = span.first, start = span.start, end = span.end, preRoll = start - first;

    std::unique_ptr<FrameSink> sink = OpenOutput(options, sound.path(), end - start, error);
    if (!sink) return fail(error);
    // The engine runs ahead of the encoder by a few frames, up to about 256 MiB of them.
    const size_t frameBytes = size_t(options.width) * size_t(options.height) * 4;
    const int depth = int(std::clamp<size_t>((size_t(1) << 28) / frameBytes, 2, 8));
    sink = QueueFrames(std::move(sink), options.width, options.height, depth);
    const auto started = std::chrono::steady_clock::now();
    // With bigger pixels the chain draws a smaller frame, enlarged for the output.
    const int32_t pixelSize = std::max(options.pixelSize, 1);
    StreamRenderer renderer(engine, DrawnSide(options.width, pixelSize), DrawnSide(options.height, pixelSize),
                            options.fps);
    PixelEnlarger enlarger;
    bool written = true;
    {
        ProgressBar progress(end - first, preRoll);
        for (int64_t i = 0; written && i < end; ++i) {
            // Frame i takes the blocks up to block i: exactly block i, one a frame.
            written = input.Feed(i, renderer, error);
            if (!written) break;
            if (i < first) {
                renderer.Skip(i);
                continue;
            }
            renderer.Draw(i);
            if (i >= start)
                written = sink->Write(
                    enlarger.Enlarge(renderer.Picture(), renderer.width(), pixelSize, options.width, options.height),
                    error);
            progress.Update(i + 1 - first);
        }
    }  // the bar's line is cleared before any message
    if (!written || !sink->Finish(error)) return fail(error);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const std::string after = preRoll ? " after " + std::to_string(preRoll) + " frames of pre-roll" : "";
    std::fprintf(ToolMessages(),
                 "qelv render: %lld frames of %dx%d written to %s%s in %.1f s (%.1f frames a second drawn)\n",
                 static_cast<long long>(end - start), options.width, options.height, options.outPath.c_str(),
                 after.c_str(), seconds, seconds > 0 ? double(end - first) / seconds : 0.0);
    return 0;
}
}  // namespace

int RunRender(int argc, char** argv) {
    RenderOptions options;
    std::string error;
    if (!ParseRenderOptions(argc, argv, options, error)) {
        std::fprintf(ToolMessages(), "qelv render: %s\nRun 'qelv render --help' for the options.\n", error.c_str());
        return kBadArguments;
    }
    if (options.help) {
        std::fputs(kRenderUsage, stdout);
        return 0;
    }
    if (options.outPath.empty()) {
        options.outPath = DefaultOutputPath(FindOnPath("ffmpeg"));
        ClassifyOutput(options.outPath, options.output, error);
    }

    // The engine's own message boxes have no one to show them to; errors are reported above.
    RecordingShell messages;
    InstallShell(&messages);
    const int result = Render(options);
    InstallShell(nullptr);
    return result;
}
