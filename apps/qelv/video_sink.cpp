#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "apps/qelv/frame_sink.h"
#include "host/path_extension.h"
#include "apps/qelv/render_options.h"
#include "player/external_program.h"
#include "player/output_file.h"

namespace {
// H.264's presets trade speed for size. On two busy cores at 1080p ultrafast makes about
// 80 frames a second, superfast 20 and veryfast 10, so only ultrafast keeps up with
// 50 frames a second; medium is ffmpeg's own default.
std::string QualityArguments(VideoQuality quality, const std::string& extension) {
    if (extension == ".webm") {
        switch (quality) {
            case VideoQuality::Draft: return " -deadline realtime -cpu-used 8 -crf 40 -b:v 0";
            case VideoQuality::Good: return " -deadline realtime -cpu-used 5 -crf 32 -b:v 0";
            case VideoQuality::Best: return " -deadline good -cpu-used 1 -crf 24 -b:v 0";
        }
    }
    switch (quality) {
        case VideoQuality::Draft: return " -preset ultrafast -crf 28";
        case VideoQuality::Good: return " -preset ultrafast -crf 20";
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
    if (sound) command += " -i " + ShellQuote(v.soundPath) + " -map 0:v -map 1:a";
    if (gif) {
        // One palette made for the whole clip looks far better than the fixed one.
        command += " -filter_complex 'split[a][b];[a]palettegen[p];[b][p]paletteuse'";
    } else {
        // 4:2:0 video, which every player shows, needs even sides.
        command += " -vf 'pad=ceil(iw/2)*2:ceil(ih/2)*2' -pix_fmt yuv420p";
        command += QualityArguments(v.quality, extension);
        if (extension == ".mp4") command += " -movflags +faststart";
    }
    // The muxer is named, as the temporary file's name need not say it.
    const char* format = gif ? "gif" : extension == ".webm" ? "webm" : "mp4";
    return command + " -f " + format + " " + ShellQuote(outPath);
}

class Video final : public FrameSink {
public:
    Video(std::FILE* pipe, std::unique_ptr<OutputFile> file, size_t words)
        : pipe(pipe), file(std::move(file)), words(words) {}
    ~Video() override {
        if (pipe) pclose(pipe);
    }
    bool Write(const uint32_t* pixels, std::string& error) override {
        if (std::fwrite(pixels, sizeof *pixels, words, pipe) == words) return true;
        error = "ffmpeg stopped taking frames";
        return false;
    }
    bool Finish(std::string& error) override {
        const int status = pclose(pipe);
        pipe = nullptr;
        if (status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0) return file->Commit(error);
        error = "ffmpeg failed";
        if (status != -1 && WIFEXITED(status)) error += " with exit status " + std::to_string(WEXITSTATUS(status));
        return false;
    }

private:
    std::FILE* pipe;
    std::unique_ptr<OutputFile> file;  // ffmpeg writes into it; replaces the path once ffmpeg succeeded
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
    std::FILE* pipe = popen(FfmpegCommand(settings, file->writingPath()).c_str(), "w");
    if (!pipe) {
        error = "cannot start ffmpeg";
        return nullptr;
    }
    return std::make_unique<Video>(pipe, std::move(file), size_t(settings.width) * settings.height);
}
