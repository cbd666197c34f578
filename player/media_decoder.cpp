#include "player/media_decoder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <vector>

#include "player/progress_deadline.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avstring.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace {
// Demuxers of audio files and of the video containers that carry music, by their
// libavformat names. Left out on purpose: playlists and scripts that name other files
// (hls, dash, concat, ...), network and device inputs, images, and containers whose
// streams only appear while they are read (MPEG-TS, MPEG-PS, FLV).
constexpr char kAudioContainers[] =
    "mov,matroska,ogg,mp3,aac,flac,wav,w64,aiff,au,caf,asf,ac3,eac3,dts,dtshd,truehd,mlp,tta,wv,ape,mpc,mpc8,"
    "tak,amr,amrnb,amrwb,avi,dsf";

// Samples (all channels together) in one decoded frame: 4 Mi is 5 s of 8 channels at
// 96 kHz, far beyond any codec's frame, and 16 MiB as float.
constexpr int64_t kMaxFrameSamples = int64_t(1) << 22;
// Packets in a row the decoder may reject (a damaged stretch is passed over) before the
// file is taken as damaged throughout.
constexpr int kMaxRejectedInRow = 64;
constexpr int kIoBufferBytes = 32768;
constexpr int kMaxStreams = 64;

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::string LibavReason(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    if (text[0]) text[0] = char(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

// Nested opens (a reference to media in another file) are never allowed: only the
// descriptor given is read.
int RefuseNestedOpen(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) { return AVERROR(EPERM); }
}  // namespace

struct MediaDecoder::State {
    explicit State(std::chrono::steady_clock::duration limit) : deadline(limit) {}
    ~State() {
        av_channel_layout_uninit(&inLayout);
        swr_free(&mixer);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
        if (io) av_freep(&io->buffer);
        avio_context_free(&io);
    }

    bool Stuck() {
        if (deadline.Expired()) expired = true;
        return expired;
    }
    bool Fail(const std::string& message, std::string& error) {
        error = message;
        return false;
    }
    bool FailStuck(std::string& error) {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(deadline.span()).count();
        return Fail("cannot read " + Quoted(path) + ": no progress in " + std::to_string(seconds) + " s, given up",
                    error);
    }
    bool FailOpen(int code, std::string& error) {
        if (expired) return FailStuck(error);
        return Fail("cannot read " + Quoted(path) + " as audio: damaged, or in no format this build decodes (" +
                        LibavReason(code) + ")",
                    error);
    }
    bool FailPartWay(int code, std::string& error) {
        if (expired) return FailStuck(error);
        return Fail("cannot decode " + Quoted(path) + ": damaged part-way (" + LibavReason(code) + ")", error);
    }

    // The library's callbacks, with the State as their opaque pointer.
    static int ReadBytes(void* opaque, uint8_t* buffer, int size);
    static int64_t SeekBytes(void* opaque, int64_t offset, int whence);
    static int Interrupt(void* opaque);

    bool OpenContainer(std::string& error);
    bool OpenDecoder(std::string& error);
    bool Refill(std::string& error);
    bool Convert(std::string& error);
    bool SetUpMixer(std::string& error);
    bool Mix(const uint8_t** in, int count, std::string& error);
    bool MixerMatches() const {
        return mixer && frame->format == inFormat && frame->sample_rate == inRate &&
               av_channel_layout_compare(&frame->ch_layout, &inLayout) == 0;
    }

    int fd = -1;
    std::string path;
    ProgressDeadline deadline;
    bool expired = false;
    int64_t position = 0;  // where the next read starts
    int64_t furthest = 0;  // how far into the file any read has come
    AVIOContext* io = nullptr;
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
    SwrContext* mixer = nullptr;
    // What the mixer was set up for; a stream may change it part-way (chained Ogg).
    int inFormat = -1;
    int inRate = 0;
    AVChannelLayout inLayout{};
    int rate = 0;
    int64_t claimed = 0;
    std::vector<float> pending;  // interleaved stereo, decoded and not yet read
    size_t taken = 0;            // floats of it already read
    bool flushing = false;       // the container has ended; what the decoder holds comes out
    bool ended = false;
    int rejected = 0;
};

int MediaDecoder::State::ReadBytes(void* opaque, uint8_t* buffer, int size) {
    auto* state = static_cast<State*>(opaque);
    if (state->Stuck()) return AVERROR_EXIT;
    ssize_t got;
    do got = read(state->fd, buffer, size_t(size));
    while (got < 0 && errno == EINTR);
    if (got < 0) return AVERROR(errno);
    if (got == 0) return AVERROR_EOF;
    state->position += got;
    // Reading the same bytes again is no progress: a demuxer going round in circles.
    if (state->position > state->furthest) {
        state->furthest = state->position;
        state->deadline.Reset();
    }
    return int(got);
}

int64_t MediaDecoder::State::SeekBytes(void* opaque, int64_t offset, int whence) {
    auto* state = static_cast<State*>(opaque);
    if (whence & AVSEEK_SIZE) {
        struct stat info {};
        return fstat(state->fd, &info) == 0 ? int64_t(info.st_size) : AVERROR(errno);
    }
    const off_t at = lseek(state->fd, off_t(offset), whence & ~AVSEEK_FORCE);
    if (at < 0) return AVERROR(errno);
    state->position = at;
    return at;
}

int MediaDecoder::State::Interrupt(void* opaque) { return static_cast<State*>(opaque)->Stuck() ? 1 : 0; }

bool MediaDecoder::State::OpenContainer(std::string& error) {
    if (lseek(fd, 0, SEEK_SET) != 0) return FailOpen(AVERROR(errno), error);
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
    if (!buffer) return FailOpen(AVERROR(ENOMEM), error);
    io = avio_alloc_context(buffer, kIoBufferBytes, 0, this, ReadBytes, nullptr, SeekBytes);
    if (!io) {
        av_free(buffer);
        return FailOpen(AVERROR(ENOMEM), error);
    }
    // The format is told by the first bytes (the extension only breaks ties), and must be
    // one of the audio containers.
    const AVInputFormat* kind = nullptr;
    const int probed = av_probe_input_buffer2(io, &kind, path.c_str(), nullptr, 0, 0);
    if (probed < 0 || !kind) {
        if (expired) return FailStuck(error);
        return Fail("cannot read " + Quoted(path) + " as audio: damaged, or in no format this build decodes", error);
    }
    if (av_match_list(kind->name, kAudioContainers, ',') <= 0) {
        const std::string what = kind->long_name ? std::string(" (") + kind->long_name + ")" : "";
        return Fail("cannot read " + Quoted(path) + " as audio: its bytes are in the '" + kind->name + "' format" +
                        what + ", which is not an audio container",
                    error);
    }
    format = avformat_alloc_context();
    if (!format) return FailOpen(AVERROR(ENOMEM), error);
    format->pb = io;
    format->interrupt_callback = {Interrupt, this};
    format->io_open = RefuseNestedOpen;
    // The same locks again through the library's own options. An empty protocol list
    // allows none (tried with 5.1: the descriptor's reads need no protocol, and a nested
    // open through the library's own io_open is refused).
    AVDictionary* options = nullptr;
    av_dict_set(&options, "format_whitelist", kAudioContainers, 0);
    av_dict_set(&options, "protocol_whitelist", "", 0);
    av_dict_set(&options, "enable_drefs", "0", 0);
    av_dict_set_int(&options, "max_streams", kMaxStreams, 0);
    const int opened = avformat_open_input(&format, path.c_str(), kind, &options);
    av_dict_free(&options);
    if (opened < 0) return FailOpen(opened, error);  // the library has freed the context
    return true;
}

bool MediaDecoder::State::OpenDecoder(std::string& error) {
    // The first sound marked as the one to play, else the first. The library's own choice
    // passes over streams whose channels and rate only their packets tell (MP3, ADTS).
    bool sound = false;
    const AVCodec* decoder = nullptr;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* candidate = format->streams[i];
        if (candidate->codecpar->codec_type != AVMEDIA_TYPE_AUDIO) continue;
        sound = true;
        const AVCodec* found = avcodec_find_decoder(candidate->codecpar->codec_id);
        if (!found || found->type != AVMEDIA_TYPE_AUDIO) continue;
        if (stream < 0 || (candidate->disposition & AV_DISPOSITION_DEFAULT &&
                           !(format->streams[stream]->disposition & AV_DISPOSITION_DEFAULT))) {
            stream = int(i);
            decoder = found;
        }
    }
    if (!sound) return Fail("cannot read " + Quoted(path) + " as audio: it holds no sound", error);
    if (stream < 0)
        return Fail("cannot read " + Quoted(path) + " as audio: its sound is in a codec this build does not decode",
                    error);
    // Other streams (video, cover pictures, a second language) are not even read.
    for (unsigned i = 0; i < format->nb_streams; ++i)
        if (int(i) != stream) format->streams[i]->discard = AVDISCARD_ALL;
    const AVCodecParameters* given = format->streams[stream]->codecpar;
    // 0 is unknown until the sound is decoded; what is known must be sound.
    if (given->ch_layout.nb_channels < 0 || given->ch_layout.nb_channels > kMaxChannels ||
        given->sample_rate < 0 || given->sample_rate > kMaxSampleRate)
        return Fail("cannot read " + Quoted(path) + " as audio: its header gives " +
                        std::to_string(given->ch_layout.nb_channels) + " channels at " +
                        std::to_string(given->sample_rate) + " Hz (1 to " + std::to_string(kMaxChannels) +
                        " channels at 1 to " + std::to_string(kMaxSampleRate) + " Hz can be read)",
                    error);
    codec = avcodec_alloc_context3(decoder);
    if (!codec) return FailOpen(AVERROR(ENOMEM), error);
    int result = avcodec_parameters_to_context(codec, given);
    if (result < 0) return FailOpen(result, error);
    codec->pkt_timebase = format->streams[stream]->time_base;
    codec->thread_count = 1;
    AVDictionary* options = nullptr;
    av_dict_set_int(&options, "max_samples", kMaxFrameSamples, 0);
    result = avcodec_open2(codec, decoder, &options);
    av_dict_free(&options);
    if (result < 0) return FailOpen(result, error);
    packet = av_packet_alloc();
    frame = av_frame_alloc();
    if (!packet || !frame) return FailOpen(AVERROR(ENOMEM), error);
    return true;
}

bool MediaDecoder::State::SetUpMixer(std::string& error) {
    if (mixer && !Mix(nullptr, 0, error)) return false;
    swr_free(&mixer);
    const int channels = frame->ch_layout.nb_channels;
    AVChannelLayout in{};
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&in, channels);
    else
        av_channel_layout_copy(&in, &frame->ch_layout);
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    int result = swr_alloc_set_opts2(&mixer, &stereo, AV_SAMPLE_FMT_FLT, rate, &in, AVSampleFormat(frame->format),
                                     frame->sample_rate, 0, nullptr);
    // The library's downmix of a known layout (centre and surrounds at -3 dB), scaled
    // so that no mix goes past full scale. Mono goes to both sides whole; channels in
    // no known arrangement go to both sides equally.
    if (result >= 0) result = av_opt_set_double(mixer, "rematrix_maxval", 1.0, 0);
    if (result >= 0 && (channels == 1 || in.order != AV_CHANNEL_ORDER_NATIVE)) {
        const std::vector<double> matrix(size_t(2 * channels), channels == 1 ? 1.0 : 1.0 / channels);
        result = swr_set_matrix(mixer, matrix.data(), channels);
    }
    av_channel_layout_uninit(&in);
    if (result >= 0) result = swr_init(mixer);
    if (result < 0) return FailPartWay(result, error);
    inFormat = frame->format;
    inRate = frame->sample_rate;
    av_channel_layout_uninit(&inLayout);
    av_channel_layout_copy(&inLayout, &frame->ch_layout);
    return true;
}

// Converts `count` input samples (none: what the mixer still holds, which it does only
// while it resamples) onto the end of what is pending.
bool MediaDecoder::State::Mix(const uint8_t** in, int count, std::string& error) {
    const int room = swr_get_out_samples(mixer, count);
    if (room < 0) return FailPartWay(room, error);
    if (room == 0) return true;
    const size_t start = pending.size();
    pending.resize(start + 2 * size_t(room));
    auto* out = reinterpret_cast<uint8_t*>(pending.data() + start);
    const int made = swr_convert(mixer, &out, room, in, count);
    if (made < 0) return FailPartWay(made, error);
    pending.resize(start + 2 * size_t(made));
    return true;
}

bool MediaDecoder::State::Convert(std::string& error) {
    const int channels = frame->ch_layout.nb_channels;
    if (channels < 1 || channels > kMaxChannels || frame->sample_rate < 1 || frame->sample_rate > kMaxSampleRate ||
        frame->nb_samples < 0 || int64_t(frame->nb_samples) * channels > kMaxFrameSamples ||
        av_get_bytes_per_sample(AVSampleFormat(frame->format)) <= 0)
        return Fail("cannot decode " + Quoted(path) + ": it gives " + std::to_string(channels) + " channels at " +
                        std::to_string(frame->sample_rate) + " Hz (1 to " + std::to_string(kMaxChannels) +
                        " channels at 1 to " + std::to_string(kMaxSampleRate) + " Hz can be read)",
                    error);
    // The first sound settles the rate; should it change part-way, the rest is resampled to it.
    if (rate == 0) rate = frame->sample_rate;
    if (!MixerMatches() && !SetUpMixer(error)) return false;
    return Mix(const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples, error);
}

// Decodes until some sound is pending or the sound ends.
bool MediaDecoder::State::Refill(std::string& error) {
    pending.clear();
    taken = 0;
    while (pending.empty() && !ended) {
        if (Stuck()) return FailStuck(error);
        const int received = avcodec_receive_frame(codec, frame);
        if (received == 0) {
            deadline.Reset();
            rejected = 0;
            const bool converted = Convert(error);
            av_frame_unref(frame);
            if (!converted) return false;
            continue;
        }
        if (received == AVERROR_EOF || (received == AVERROR(EAGAIN) && flushing)) {
            ended = true;
            if (mixer && !Mix(nullptr, 0, error)) return false;
            continue;
        }
        if (received != AVERROR(EAGAIN)) {
            if (++rejected > kMaxRejectedInRow) return FailPartWay(received, error);
            continue;
        }
        const int read = av_read_frame(format, packet);
        if (read == AVERROR_EOF) {
            flushing = true;
            avcodec_send_packet(codec, nullptr);
            continue;
        }
        if (read < 0) return FailPartWay(read, error);
        if (packet->stream_index == stream) {
            const int sent = avcodec_send_packet(codec, packet);
            if (sent < 0 && ++rejected > kMaxRejectedInRow) {
                av_packet_unref(packet);
                return FailPartWay(sent, error);
            }
        }
        av_packet_unref(packet);
    }
    return true;
}

MediaDecoder::MediaDecoder(std::chrono::steady_clock::duration noProgressLimit) : noProgressLimit(noProgressLimit) {
    // The reasons come back in this class's messages; the library's own lines would
    // only repeat them on standard error.
    static const bool quiet = (av_log_set_level(AV_LOG_QUIET), true);
    (void)quiet;
}

MediaDecoder::~MediaDecoder() = default;

bool MediaDecoder::Open(int descriptor, const std::string& path, std::string& error) {
    state.reset();
    auto opened = std::make_unique<State>(noProgressLimit);
    opened->fd = descriptor;
    opened->path = path;
    opened->deadline.Reset();
    if (!opened->OpenContainer(error) || !opened->OpenDecoder(error) || !opened->Refill(error)) return false;
    if (opened->pending.empty())
        return opened->Fail("cannot read " + Quoted(path) + " as audio: it holds no sound", error);
    const AVStream* stream = opened->format->streams[opened->stream];
    const AVRational perFrame{1, opened->rate};
    if (stream->duration > 0)
        opened->claimed = av_rescale_q(stream->duration, stream->time_base, perFrame);
    else if (opened->format->duration > 0)
        opened->claimed = av_rescale_q(opened->format->duration, AV_TIME_BASE_Q, perFrame);
    state = std::move(opened);
    return true;
}

int MediaDecoder::sampleRate() const { return state ? state->rate : 0; }

int64_t MediaDecoder::claimedFrames() const { return state ? state->claimed : 0; }

int64_t MediaDecoder::Read(float* interleaved, int64_t frames, std::string& error) {
    if (!state || frames <= 0) return 0;
    state->deadline.Reset();
    if (state->taken == state->pending.size()) {
        if (state->ended) return 0;
        if (!state->Refill(error)) {
            state->ended = true;
            state->pending.clear();
            state->taken = 0;
            return -1;
        }
    }
    const size_t count = std::min((state->pending.size() - state->taken) / 2, size_t(frames));
    std::copy_n(state->pending.data() + state->taken, 2 * count, interleaved);
    state->taken += 2 * count;
    return int64_t(count);
}
