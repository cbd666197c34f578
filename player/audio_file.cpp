#include <fcntl.h>
#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "player/audio_file_reader.h"
#include "player/input_file.h"
#include "player/media_decoder.h"
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

struct AudioFileReader::File {
    InputFile input;
    SoundFile sound;
    int channels = 0;
    std::vector<float> chunk;  // the file's own frames, before they become stereo
    MediaDecoder media;        // what libsndfile does not read
};

AudioFileReader::AudioFileReader() = default;
AudioFileReader::~AudioFileReader() = default;

bool AudioFileReader::Open(const std::string& name, std::string& error) {
    file.reset();
    path = name;
    auto opened = std::make_unique<File>();
    if (!opened->input.Open(path, error)) return false;
    // libsndfile first, so that what it reads comes out as it always has; both read the
    // descriptor opened here and nothing else.
    // libsndfile 1.2 closes a descriptor it fails to read, whatever it is told, so it
    // gets a copy of its own to close.
    const int copy = fcntl(opened->input.descriptor(), F_DUPFD_CLOEXEC, 0);
    if (copy < 0) {
        error = "cannot read " + Quoted(path) + ": " + std::strerror(errno);
        return false;
    }
    SF_INFO info{};
    opened->sound.reset(sf_open_fd(copy, SFM_READ, &info, SF_TRUE));
    if (!opened->sound) {
        // Its check of what the header gave has an internal name only; the usual cause is
        // a sample rate or channel count of 0.
        if (std::string(sf_strerror(nullptr)).find("SF_INFO") != std::string::npos) {
            error = "cannot read " + Quoted(path) + " as audio: its header gives a sample rate, channel count or "
                    "format that no sound can have (such as 0 Hz)";
            return false;
        }
        if (!opened->media.Open(opened->input.descriptor(), path, error)) return false;
        rate = opened->media.sampleRate();
        claimed = opened->media.claimedFrames();
        file = std::move(opened);
        return true;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        error = Quoted(path) + " has no usable channels or sample rate";
        return false;
    }
    opened->channels = info.channels;
    rate = info.samplerate;
    claimed = info.frames;
    file = std::move(opened);
    return true;
}

int64_t AudioFileReader::Read(float* interleaved, int64_t frames, std::string& error) {
    if (!file || frames <= 0) return 0;
    if (!file->sound) return file->media.Read(interleaved, frames, error);
    // A bounded piece at a time, whatever the caller asks for and the file has.
    const size_t wanted = size_t(std::min<int64_t>(frames, 4096));
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
