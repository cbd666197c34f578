#include <sndfile.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "player/audio.h"
#include "player/audio_file_reader.h"
#include "player/external_program.h"
#include "player/wav_writer.h"

namespace {
struct SoundFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SoundFile = std::unique_ptr<SNDFILE, SoundFileCloser>;

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

// Saturating, and silent for the NaN a damaged float file may hold.
int16_t PcmSample(float value) {
    if (!(value == value)) return 0;
    const double scaled = std::round(double(value) * 32767.0);
    if (scaled >= 32767.0) return 32767;
    if (scaled <= -32767.0) return -32767;
    return int16_t(scaled);
}
}  // namespace

// What libsndfile does not decode (AAC, Opus, ...) ffmpeg may: its sound comes through
// a pipe as 32-bit float stereo at 44.1 kHz, the demo track's rate.
constexpr int kPipeRate = 44100;

struct AudioFileReader::File {
    SoundFile sound;
    int channels = 0;
    std::vector<float> chunk;  // the file's own frames, before they become stereo
    std::FILE* pipe = nullptr;
    std::vector<float> first;  // the pipe's first frames, read to learn whether it decodes
    size_t firstTaken = 0;
    ~File() {
        if (pipe) pclose(pipe);
    }
};

AudioFileReader::AudioFileReader() = default;
AudioFileReader::~AudioFileReader() = default;

namespace {
// Frames read from ffmpeg's pipe; fewer than asked only at its end.
size_t ReadPipe(std::FILE* pipe, float* interleaved, size_t frames) {
    return std::fread(interleaved, 2 * sizeof(float), frames, pipe);
}

// Whether ffmpeg ended well; its own messages are left out, the caller says what failed.
bool ClosePipe(std::FILE*& pipe) {
    const int status = pclose(pipe);
    pipe = nullptr;
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
}  // namespace

bool AudioFileReader::OpenThroughFfmpeg() {
    // "file:" keeps a name that looks like one of ffmpeg's protocols a plain file.
    const std::string command = "ffmpeg -hide_banner -loglevel quiet -nostdin -i " + ShellQuote("file:" + path) +
                                " -vn -f f32le -ac 2 -ar " + std::to_string(kPipeRate) + " pipe:1 2>/dev/null";
    auto opened = std::make_unique<File>();
    opened->pipe = popen(command.c_str(), "r");
    if (!opened->pipe) return false;
    opened->first.resize(2 * 4096);
    opened->first.resize(2 * ReadPipe(opened->pipe, opened->first.data(), 4096));
    if (opened->first.empty()) {
        ClosePipe(opened->pipe);
        return false;
    }
    file = std::move(opened);
    rate = kPipeRate;
    claimed = 0;
    return true;
}

bool AudioFileReader::Open(const std::string& name, std::string& error) {
    file.reset();
    path = name;
    std::error_code code;
    if (!std::filesystem::exists(path, code)) {
        error = "cannot open " + Quoted(path) + ": no such file";
        return false;
    }
    if (!std::filesystem::is_regular_file(path, code)) {
        error = "cannot read " + Quoted(path) + ": not a regular file";
        return false;
    }
    SF_INFO info{};
    SoundFile sound(sf_open(path.c_str(), SFM_READ, &info));
    if (!sound) {
        // The file exists, so whatever the library's own text says, it is damaged or not
        // a format it decodes. Its check of what the header gave has an internal name
        // only; the usual cause is a sample rate or channel count of 0.
        std::string reason = sf_strerror(nullptr);
        if (!reason.empty() && reason.back() == '.') reason.pop_back();
        if (reason.find("SF_INFO") != std::string::npos) {
            error = "cannot read " + Quoted(path) + " as audio: its header gives a sample rate, channel count or "
                    "format that no sound can have (such as 0 Hz)";
            return false;
        }
        const bool ffmpeg = FindOnPath("ffmpeg");
        if (ffmpeg && OpenThroughFfmpeg()) return true;
        error = "cannot read " + Quoted(path) + " as audio: damaged or " +
                (ffmpeg ? std::string("in no format that libsndfile or ffmpeg decodes")
                        : "not a format this build decodes (" + reason +
                              "; with ffmpeg installed AAC, Opus and more are read too)");
        return false;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        error = Quoted(path) + " has no usable channels or sample rate";
        return false;
    }
    file = std::make_unique<File>();
    file->sound = std::move(sound);
    file->channels = info.channels;
    rate = info.samplerate;
    claimed = info.frames;
    return true;
}

int64_t AudioFileReader::Read(float* interleaved, int64_t frames, std::string& error) {
    if (!file || frames <= 0) return 0;
    // A bounded piece at a time, whatever the caller asks for and the file has.
    const size_t wanted = size_t(std::min<int64_t>(frames, 4096));
    if (file->pipe) {
        const size_t waiting = (file->first.size() - file->firstTaken) / 2;
        if (waiting > 0) {
            const size_t count = std::min(waiting, wanted);
            std::copy_n(file->first.data() + file->firstTaken, 2 * count, interleaved);
            file->firstTaken += 2 * count;
            return int64_t(count);
        }
        const size_t got = ReadPipe(file->pipe, interleaved, wanted);
        if (got > 0) return int64_t(got);
        if (ClosePipe(file->pipe)) return 0;
        error = "cannot decode " + Quoted(path) + ": ffmpeg stopped part-way";
        return -1;
    }
    const size_t channels = size_t(file->channels);
    file->chunk.resize(wanted * channels);
    const sf_count_t got = sf_readf_float(file->sound.get(), file->chunk.data(), sf_count_t(wanted));
    if (got <= 0) {
        if (sf_error(file->sound.get()) == SF_ERR_NO_ERROR) return 0;
        error = "cannot decode " + Quoted(path) + ": " + sf_strerror(file->sound.get());
        return -1;
    }
    for (sf_count_t i = 0; i < got; ++i) {
        const float* frame = &file->chunk[size_t(i) * channels];
        interleaved[2 * i] = frame[0];
        interleaved[2 * i + 1] = channels > 1 ? frame[1] : frame[0];
    }
    return int64_t(got);
}

struct WavWriter::Sound {
    SoundFile file;
    std::vector<int16_t> pcm;
};

WavWriter::WavWriter() = default;
WavWriter::~WavWriter() = default;

bool WavWriter::Open(const std::string& name, int sampleRate, std::string& error) {
    path = name;
    sound.reset();
    if (sampleRate < 1) {
        error = "cannot write " + Quoted(path) + ": the sample rate is not positive";
        return false;
    }
    // Through a temporary beside the target: a failed write leaves an existing file as it was.
    if (!output.Open(path, error)) return false;
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SoundFile file(sf_open(output.writingPath().c_str(), SFM_WRITE, &info));
    if (!file) {
        error = "cannot create " + Quoted(path) + ": " + sf_strerror(nullptr);
        return false;
    }
    sound = std::make_unique<Sound>();
    sound->file = std::move(file);
    return true;
}

bool WavWriter::Write(const float* interleaved, size_t frames, std::string& error) {
    if (!sound) {
        error = "cannot write " + Quoted(path) + ": it was not opened";
        return false;
    }
    sound->pcm.resize(2 * frames);
    for (size_t i = 0; i < 2 * frames; ++i) sound->pcm[i] = PcmSample(interleaved[i]);
    if (sf_writef_short(sound->file.get(), sound->pcm.data(), sf_count_t(frames)) != sf_count_t(frames)) {
        error = "cannot write " + Quoted(path) + ": " + sf_strerror(sound->file.get());
        sound.reset();
        return false;
    }
    return true;
}

bool WavWriter::Finish(std::string& error) {
    if (!sound) {
        error = "cannot write " + Quoted(path) + ": it was not opened";
        return false;
    }
    const bool closed = sf_close(sound->file.release()) == 0;
    sound.reset();
    if (!closed) {
        error = "cannot finish " + Quoted(path);
        return false;
    }
    return output.Commit(error);
}
