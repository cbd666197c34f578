#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "apps/qelv/commands.h"
#include "apps/qelv/preset_library.h"
#include "apps/qelv/preset_loading.h"
#include "apps/qelv/default_chain.h"
#include "apps/qelv/frame_sink.h"
#include "apps/qelv/path_extension.h"
#include "apps/qelv/progress_bar.h"
#include "apps/qelv/render_options.h"
#include "core/mmx.h"
#include "engine/autosave.h"
#include "engine/engine.h"
#include "engine/lockstep_renderer.h"
#include "engine/preset_bytes.h"
#include "backends/headless/recording_shell.h"
#include "player/audio.h"
#include "player/track_analyser.h"
#include "player/track_reader.h"
#include "player/wav_writer.h"
#include "player/sample_stream.h"
#include "player/external_program.h"

namespace {
constexpr int kFailed = 1, kBadArguments = 2;

// A sample stream is read block by block as the frames need it, and so is a track:
// decoded and analysed as its blocks are drawn. Neither's length costs memory.
struct Input {
    SampleStreamReader stream;
    bool fromStream = false;
    TrackReader track;
    std::unique_ptr<TrackAnalyser> analyser;
    std::deque<SampleBlock> ready;
    int64_t trackBlocks = 0;
    SampleBlock current{};

    int64_t blockCount() const { return fromStream ? stream.blockCount() : trackBlocks; }
    // The block of frame i, asked for in order; past the end the last block is held.
    const uint8_t* Block(int64_t i, std::string& error) {
        if (fromStream) {
            if (i < stream.blockCount() && !stream.Next(current, error)) return nullptr;
            return current.bytes;
        }
        if (i >= trackBlocks) return current.bytes;
        float interleaved[2 * 4096];
        while (ready.empty()) {
            const int64_t frames = track.Read(interleaved, 4096, error);
            if (frames < 0) return nullptr;
            if (frames == 0) break;  // shorter than at the first reading: the last block holds
            analyser->Append(interleaved, size_t(frames));
        }
        if (!ready.empty()) {
            current = ready.front();
            ready.pop_front();
        }
        return current.bytes;
    }
};

bool NeedsSoundFile(const RenderOptions& options) {
    return options.output == OutputKind::Video && options.source != SampleSource::SampleStream &&
           PathExtension(options.outPath) != ".gif";
}

// A temporary WAV for the video's sound track; removed by the caller.
bool MakeSoundPath(std::string& path, std::string& error) {
    std::error_code ignored;  // an unusable TMPDIR shows up as mkstemps failing
    std::string name = (std::filesystem::temp_directory_path(ignored) / "qelv-render-XXXXXX.wav").string();
    const int fd = mkstemps(name.data(), 4);
    if (fd < 0) {
        error = "cannot create a temporary sound file: " + std::string(std::strerror(errno));
        return false;
    }
    close(fd);
    path = name;
    return true;
}

// A track is read twice: first through to count its blocks (only as far as the frames
// asked for need) and to copy the sound of the rendered frames for a video, then again
// as the frames are drawn.
bool LoadInput(const RenderOptions& options, Input& input, std::string& soundPath, std::string& error) {
    if (options.source == SampleSource::SampleStream) {
        std::string note;
        if (!input.stream.Open(options.inputPath, error, &note)) return false;
        if (!note.empty()) std::fprintf(stderr, "qelv render: %s\n", note.c_str());
        input.fromStream = true;
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
    const std::string name = file ? "'" + options.inputPath + "'" : std::string("the demo track");
    if (options.fps > rate) {
        error = "--fps " + std::to_string(options.fps) + " is more than the " + std::to_string(rate) +
                " Hz sample rate of " + name;
        return false;
    }
    // The sound of the frames asked for, which covers every sample their blocks show.
    const int64_t limit = options.frames ? std::llround(double(options.frames) * rate / options.fps) : 0;
    WavWriter sound;
    const bool withSound = NeedsSoundFile(options);
    if (withSound && (!MakeSoundPath(soundPath, error) || !sound.Open(soundPath, rate, error))) return false;
    const int64_t samples = ReadThrough(first, limit, withSound ? &sound : nullptr, error);
    if (samples < 0) return false;
    while (NewestSampleOfBlock(input.trackBlocks, rate, options.fps) < samples &&
           (!options.frames || input.trackBlocks < options.frames))
        ++input.trackBlocks;
    if (input.trackBlocks == 0) {
        error = name + " is too short for a frame";
        return false;
    }
    input.analyser = std::make_unique<TrackAnalyser>(rate, double(options.fps),
                                                     [&input](const SampleBlock& block) { input.ready.push_back(block); });
    return open(input.track);
}

std::unique_ptr<FrameSink> OpenOutput(const RenderOptions& options, const std::string& soundPath,
                                      std::string& error) {
    switch (options.output) {
        case OutputKind::RawFrames: return OpenRawFrames(options.outPath, options.width, options.height, error);
        case OutputKind::PngFrames: return OpenPngFrames(options.outPath, options.width, options.height, error);
        case OutputKind::Video:
            return OpenVideo(
                {options.outPath, options.width, options.height, options.fps, soundPath, options.quality}, error);
    }
    return nullptr;
}

int Render(RenderOptions& options) {
    std::string error;
    auto fail = [&](const std::string& message) {
        std::fprintf(stderr, "qelv render: %s\n", message.c_str());
        return kFailed;
    };

    if (options.output == OutputKind::Video && !FindOnPath("ffmpeg"))
        return fail("making " + options.outPath + " needs ffmpeg, which is not on PATH; write .rgb or PNG frames");
    Engine engine;
    engine.chain.SetThreads(options.threads);
    if (!options.presetPath.empty()) {
        std::string note;
        if (!LoadPresetFile(engine.chain, FindPreset(options.presetPath, PresetLibraryFolders()), error, &note))
            return fail(error);
        PrintNotes("qelv render", note);
    } else {
        BuildDefaultChain(engine.chain);
    }
    if (options.simd) {
        ProbeMmx();
    } else {
        mmxAvailable = 0;
    }

    std::string soundPath;
    struct RemoveOnExit {
        std::string& path;
        ~RemoveOnExit() {
            if (!path.empty()) std::remove(path.c_str());
        }
    } removeSound{soundPath};
    Input input;
    if (!LoadInput(options, input, soundPath, error)) return fail(error);
    const int64_t frames = options.frames ? options.frames : input.blockCount();

    std::unique_ptr<FrameSink> sink = OpenOutput(options, soundPath, error);
    if (!sink) return fail(error);
    // The engine runs ahead of the encoder by a few frames, up to about 256 MiB of them.
    const size_t frameBytes = size_t(options.width) * size_t(options.height) * 4;
    const int depth = int(std::clamp<size_t>((size_t(1) << 28) / frameBytes, 2, 8));
    sink = QueueFrames(std::move(sink), options.width, options.height, depth);
    const auto started = std::chrono::steady_clock::now();
    LockstepRenderer renderer(engine, options.width, options.height);
    bool written = true;
    {
        ProgressBar progress(frames);
        for (int64_t i = 0; written && i < frames; ++i) {
            // A stream shorter than the render holds its last block.
            const uint8_t* block = input.Block(i, error);
            written = block != nullptr;
            if (written) renderer.RenderFrame(block);
            written = written && sink->Write(renderer.frame().data(), error);
            progress.Update(i + 1);
        }
    }  // the bar's line is cleared before any message
    if (!written || !sink->Finish(error)) return fail(error);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::fprintf(stderr, "qelv render: %lld frames of %dx%d written to %s in %.1f s (%.1f frames a second)\n",
                 static_cast<long long>(frames), options.width, options.height, options.outPath.c_str(), seconds,
                 seconds > 0 ? double(frames) / seconds : 0.0);
    return 0;
}
}  // namespace

int RunRender(int argc, char** argv) {
    RenderOptions options;
    std::string error;
    if (!ParseRenderOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "qelv render: %s\nRun 'qelv render --help' for the options.\n", error.c_str());
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
