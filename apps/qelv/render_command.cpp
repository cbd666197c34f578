#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
#include "player/sample_stream.h"

namespace {
constexpr int kFailed = 1, kBadArguments = 2;

// Analysed audio is held whole; a sample stream is read block by block as the frames
// need it, so its size costs no memory.
struct Input {
    std::vector<SampleBlock> blocks;
    SampleStreamReader stream;
    bool fromStream = false;
    SampleBlock current{};
    StereoAudio sound;
    bool hasSound = false;

    int64_t blockCount() const { return fromStream ? stream.blockCount() : int64_t(blocks.size()); }
    // The block of frame i; past the end the last block is held.
    const uint8_t* Block(int64_t i, std::string& error) {
        if (!fromStream) return blocks[size_t(std::min<int64_t>(i, int64_t(blocks.size()) - 1))].bytes;
        if (i < stream.blockCount() && !stream.Next(current, error)) return nullptr;
        return current.bytes;
    }
};

bool LoadInput(const RenderOptions& options, Input& input, std::string& error) {
    switch (options.source) {
        case SampleSource::SampleStream: {
            std::string note;
            if (!input.stream.Open(options.inputPath, error, &note)) return false;
            if (!note.empty()) std::fprintf(stderr, "qelv render: %s\n", note.c_str());
            input.fromStream = true;
            return true;
        }
        case SampleSource::AudioFile:
            if (!DecodeAudioFile(options.inputPath, input.sound, error)) return false;
            break;
        case SampleSource::DemoTrack:
            input.sound = DemoTrack();
            break;
    }
    input.hasSound = true;
    input.blocks = AnalyzeAudio(input.sound, options.fps);
    if (input.blocks.empty()) {
        const bool file = options.source == SampleSource::AudioFile;
        error = (file ? "'" + options.inputPath + "'" : std::string("the demo track")) + " is too short for a frame";
        return false;
    }
    return true;
}

// The sound of the rendered frames only, as a temporary WAV for the video's audio track.
bool WriteSoundFile(const Input& input, int64_t frames, int32_t fps, std::string& path, std::string& error) {
    std::error_code ignored;  // an unusable TMPDIR shows up as mkstemps failing
    // Cut as it is written: a copy of a long track would double the memory it takes.
    const auto samples = size_t(std::llround(double(frames) * input.sound.sampleRate / fps));
    std::string name = (std::filesystem::temp_directory_path(ignored) / "qelv-render-XXXXXX.wav").string();
    const int fd = mkstemps(name.data(), 4);
    if (fd < 0) {
        error = "cannot create a temporary sound file: " + std::string(std::strerror(errno));
        return false;
    }
    close(fd);
    path = name;
    return WriteWav(path, input.sound, error, samples);
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

    Input input;
    if (!LoadInput(options, input, error)) return fail(error);
    const int64_t frames = options.frames ? options.frames : input.blockCount();

    std::string soundPath;
    struct RemoveOnExit {
        std::string& path;
        ~RemoveOnExit() {
            if (!path.empty()) std::remove(path.c_str());
        }
    } removeSound{soundPath};
    if (options.output == OutputKind::Video && input.hasSound && PathExtension(options.outPath) != ".gif" &&
        !WriteSoundFile(input, frames, options.fps, soundPath, error))
        return fail(error);

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
