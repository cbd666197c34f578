#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "apps/qelv/analyze/beat_times.h"
#include "apps/qelv/commands.h"
#include "player/audio.h"
#include "player/output_file.h"
#include "player/track_analyser.h"
#include "player/track_reader.h"
#include "player/sample_stream.h"
#include "backends/native/tool_messages.h"

namespace {
constexpr long kDefaultFps = 50;
constexpr long kMinFps = 1;
constexpr long kMaxFps = 1000;

void Usage() {
    std::fputs(
        "usage: qelv analyze IN -o OUT.qsb [--fps N]\n"
        "       qelv analyze --demo -o OUT.qsb [--fps N]\n"
        "       qelv analyze --beats IN|--demo [-o OUT.qsb] [--fps N]\n"
        "       qelv analyze IN|--demo --wav OUT.wav\n"
        "Turns an audio file (WAV, FLAC, Ogg, MP3, ...) or the built-in demo track into a\n"
        "sample stream: one 2304-byte block of spectrum and waveform per frame.\n"
        "  -o OUT.qsb  the sample stream to write\n"
        "  --beats     print the time of every beat the beat detector finds, in seconds,\n"
        "              one a line (with its default settings, as the player starts)\n"
        "  --wav OUT.wav  write the sound itself as 16-bit WAV, such as the demo track\n"
        "              to play into another program\n"
        "  --fps N     blocks per second of music, 1..1000 (default 50)\n"
        "  --demo      analyse the built-in demo track instead of a file\n",
        stdout);
}

int UsageError(const std::string& message) {
    std::fprintf(ToolMessages(), "qelv analyze: %s\nRun 'qelv analyze --help' for the options.\n", message.c_str());
    return 2;
}

bool ParseFps(const char* text, long& fps) {
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < kMinFps || value > kMaxFps) return false;
    fps = value;
    return true;
}
}  // namespace

int RunAnalyze(int argc, char** argv) {
    std::string input, output, wav;
    bool demo = false, beats = false;
    long fps = kDefaultFps;
    for (int i = 0; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--help" || argument == "-h") {
            Usage();
            return 0;
        } else if (argument == "--demo") {
            demo = true;
        } else if (argument == "--beats") {
            beats = true;
        } else if (argument == "-o") {
            if (!hasValue) return UsageError("-o needs a file name");
            output = argv[++i];
        } else if (argument == "--wav") {
            if (!hasValue) return UsageError("--wav needs a file name");
            wav = argv[++i];
        } else if (argument == "--fps") {
            if (!hasValue) return UsageError("--fps needs a number");
            if (!ParseFps(argv[++i], fps))
                return UsageError("--fps must be a whole number from 1 to 1000, not '" + std::string(argv[i]) + "'");
        } else if (argument.size() > 1 && argument[0] == '-') {
            return UsageError("unknown option '" + argument + "'");
        } else if (!input.empty()) {
            return UsageError("only one input file, please ('" + input + "' and '" + argument + "')");
        } else {
            input = argument;
        }
    }
    if (demo && !input.empty()) return UsageError("give either an input file or --demo, not both");
    if (!demo && input.empty()) return UsageError("no input: give an audio file or --demo");
    if (output.empty() && wav.empty() && !beats) return UsageError("no output: give -o OUT.qsb");

    std::string error;
    const auto fail = [&] {
        std::fprintf(ToolMessages(), "qelv analyze: %s\n", error.c_str());
        return 1;
    };
    // Piece by piece, so a track of any length takes fixed memory.
    const auto open = [&](TrackReader& track) {
        if (!demo) return track.OpenFile(input, error);
        track.OpenDemo();
        return true;
    };
    TrackReader track;
    if (!open(track)) return fail();
    if (!wav.empty()) {
        TrackReader copy;
        WavWriter writer;
        if (!open(copy) || !writer.Open(wav, copy.sampleRate(), error) || ReadThrough(copy, 0, &writer, error) < 0)
            return fail();
        std::fprintf(ToolMessages(), "qelv analyze: wrote the sound to %s\n", wav.c_str());
    }
    const int sampleRate = track.sampleRate();
    if (fps > sampleRate) {
        std::fprintf(ToolMessages(), "qelv analyze: %ld blocks per second is more than the %d Hz sample rate of '%s'\n", fps,
                     sampleRate, input.c_str());
        return 1;
    }
    if (output.empty() && !beats) return 0;

    OutputFile stream;
    if (!output.empty() && !stream.Open(output, error)) return fail();
    BeatTimer timer{double(fps)};
    size_t beatCount = 0;
    std::vector<SampleBlock> pending;  // written a few hundred at a time
    bool writeFailed = false;
    const auto flush = [&] {
        if (!writeFailed && !output.empty() && !pending.empty())
            writeFailed = !stream.Write(pending.data(), pending.size() * kBlockBytes, error);
        pending.clear();
    };
    TrackAnalyser analyser(sampleRate, double(fps), [&](const SampleBlock& block) {
        if (beats && timer.Feed(block)) {
            std::printf("%.3f\n", timer.lastTime());
            ++beatCount;
        }
        pending.push_back(block);
        if (pending.size() == 256) flush();
    });
    float interleaved[2 * 4096];
    for (;;) {
        const int64_t frames = track.Read(interleaved, 4096, error);
        if (frames < 0) return fail();
        if (frames == 0 || writeFailed) break;
        analyser.Append(interleaved, size_t(frames));
    }
    flush();
    if (writeFailed) return fail();
    if (analyser.blocksMade() == 0) {
        std::fprintf(ToolMessages(), "qelv analyze: '%s' holds no audio\n", input.c_str());
        return 1;
    }
    const double seconds = double(analyser.framesAppended()) / sampleRate;
    // On standard error, so that standard output stays a plain list of times.
    if (beats) std::fprintf(ToolMessages(), "qelv analyze: %zu beats in %.2f s\n", beatCount, seconds);
    if (output.empty()) return 0;
    if (!stream.Commit(error)) return fail();
    std::fprintf(beats ? ToolMessages() : stdout, "wrote %lld blocks (%.2f s at %ld fps) to %s\n",
                 static_cast<long long>(analyser.blocksMade()), seconds, fps, output.c_str());
    return 0;
}
