#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "apps/qelv/render/frame_sink.h"
#include "host/path_extension.h"
#include "apps/qelv/render/render_options.h"
#include "player/external_program.h"
#include "player/output_file.h"
#include "player/pending_removal.h"

namespace {
// The most a level may spend, as bits a second for each pixel of a second's frames: good
// has the 12 Mbit/s video sites ask for at 1080p and 50 frames a second, draft a third
// of that. Within it the quality (CRF) decides, so simple pictures take less.
double MostBitsPerPixel(VideoQuality quality) {
    constexpr double kGood = 12e6 / (1920.0 * 1080 * 50);
    return quality == VideoQuality::Draft ? kGood / 3 : kGood;
}

// Measured at 1080p and 50 frames a second on two busy cores (the README's table): at
// good's rate H.264's ultrafast preset encoded 35 to 74 frames a second, superfast 22 to
// 39, VP9's real-time mode about 20. best spends what its quality needs.
std::string QualityArguments(const VideoSettings& v, const std::string& extension) {
    const long long most = std::llround(MostBitsPerPixel(v.quality) * v.width * v.height * v.fps);
    const std::string cap = std::to_string(most);
    if (extension == ".webm") {
        switch (v.quality) {
            case VideoQuality::Draft: return " -deadline realtime -cpu-used 8 -row-mt 1 -crf 40 -b:v " + cap;
            case VideoQuality::Good: return " -deadline realtime -cpu-used 8 -row-mt 1 -crf 32 -b:v " + cap;
            case VideoQuality::Best: return " -deadline good -cpu-used 1 -row-mt 1 -crf 24 -b:v 0";
        }
    }
    const std::string buffer = " -maxrate " + cap + " -bufsize " + std::to_string(2 * most);
    switch (v.quality) {
        case VideoQuality::Draft: return " -preset ultrafast -crf 28" + buffer;
        case VideoQuality::Good: return " -preset ultrafast -crf 23" + buffer;
        case VideoQuality::Best: return " -preset medium -crf 18";
    }
    return {};
}

// -xerror: without it ffmpeg exits 0 even when the output could not be written.
std::string FfmpegCommand(const VideoSettings& v, const std::string& outPath) {
    const std::string extension = PathExtension(v.path);
    const bool gif = extension == ".gif";
    // The frame buffer's words are blue, green, red and an unused byte in memory.
    std::string command = "ffmpeg -hide_banner -loglevel error -xerror -y -f rawvideo -pixel_format bgr0 -video_size " +
                          std::to_string(v.width) + "x" + std::to_string(v.height) + " -framerate " +
                          std::to_string(v.fps) + " -i pipe:0";
    const bool sound = !v.soundPath.empty() && !gif;
    if (sound) {
        char length[32];
        std::snprintf(length, sizeof length, "%.6f", double(v.frames) / v.fps);
        command += " -i " + ShellQuote(v.soundPath) + " -map 0:v -map 1:a -af apad=whole_dur=" + length;
    }
    if (gif) {
        // One palette made for the whole clip looks far better than the fixed one.
        command += " -filter_complex 'split[a][b];[a]palettegen[p];[b][p]paletteuse'";
    } else {
        // 4:2:0 video, which every player shows: the render draws it even sides.
        command += " -pix_fmt yuv420p";
        command += QualityArguments(v, extension);
        if (extension == ".mp4") command += " -movflags +faststart";
    }
    // The muxer is named, as the temporary file's name need not say it.
    const char* format = gif ? "gif" : extension == ".webm" ? "webm" : "mp4";
    return command + " -f " + format + " " + ShellQuote(outPath);
}

// ffmpeg reading the frames from a pipe. Started without popen, so that its process is
// known: a signal that ends this process stops it before its output file is removed.
class Encoder {
public:
    ~Encoder() { Stop(); }
    bool Start(const std::string& command, std::string& error) {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) {
            error = std::string("cannot start ffmpeg: ") + std::strerror(errno);
            return false;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[0], STDIN_FILENO);
        // exec: the shell becomes ffmpeg, whose process is the one to stop.
        std::string script = "exec " + command;
        char* argv[] = {const_cast<char*>("sh"), const_cast<char*>("-c"), script.data(), nullptr};
        const SignalsDeferred untilRegistered;
        const int failure = posix_spawn(&program, "/bin/sh", &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(ends[0]);
        if (failure != 0) {
            close(ends[1]);
            program = -1;
            error = std::string("cannot start ffmpeg: ") + std::strerror(failure);
            return false;
        }
        slot = RegisterPendingWriter(program);
        frames = fdopen(ends[1], "w");
        if (!frames) close(ends[1]);
        return frames != nullptr;
    }
    bool Write(const void* bytes, size_t count) { return std::fwrite(bytes, 1, count, frames) == count; }
    // The end of the frames, then ffmpeg's exit status; -1 when it could not be had.
    int Stop() {
        if (program < 0) return -1;
        if (frames) std::fclose(frames);
        frames = nullptr;
        ReleasePendingRemoval(slot);
        int status = -1;
        while (waitpid(program, &status, 0) < 0 && errno == EINTR) continue;
        program = -1;
        return status;
    }

private:
    pid_t program = -1;
    std::FILE* frames = nullptr;
    int slot = -1;
};

class Video final : public FrameSink {
public:
    Video(std::string path, std::unique_ptr<OutputFile> file, std::unique_ptr<Encoder> encoder, size_t words)
        : path(std::move(path)), file(std::move(file)), encoder(std::move(encoder)), words(words) {}
    bool Write(const uint32_t* pixels, std::string& error) override {
        if (encoder->Write(pixels, words * sizeof *pixels)) return true;
        error = "ffmpeg stopped taking frames for '" + path + "'";
        return false;
    }
    bool Finish(std::string& error) override {
        const int status = encoder->Stop();
        if (status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0) return file->Commit(error);
        error = "ffmpeg failed to make '" + path + "'";
        if (status != -1 && WIFEXITED(status)) error += " (exit status " + std::to_string(WEXITSTATUS(status)) + ")";
        return false;
    }

private:
    std::string path;
    std::unique_ptr<OutputFile> file;  // ffmpeg writes into it; replaces the path once ffmpeg succeeded
    std::unique_ptr<Encoder> encoder;  // stopped before the file it writes is removed
    size_t words;
};
}  // namespace

std::unique_ptr<FrameSink> OpenVideo(const VideoSettings& settings, std::string& error) {
    if (!CreateParentDirectories(settings.path, error)) return nullptr;
    // A failing ffmpeg closes the pipe early: that must be an error from fwrite, not the
    // end of this process.
    std::signal(SIGPIPE, SIG_IGN);
    auto file = std::make_unique<OutputFile>();
    if (!file->Open(settings.path, error)) return nullptr;
    auto encoder = std::make_unique<Encoder>();
    if (!encoder->Start(FfmpegCommand(settings, file->writingPath()), error)) return nullptr;
    return std::make_unique<Video>(settings.path, std::move(file), std::move(encoder),
                                   size_t(settings.width) * settings.height);
}
