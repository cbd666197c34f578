#pragma once
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

// Sound in the containers and codecs that libavformat and libavcodec read (AAC in MP4,
// Opus, Matroska, WMA, ...), decoded in this process from a file already open. Nothing
// else is ever opened: the bytes come only through the descriptor given, only audio
// containers are accepted (a playlist or a concatenation script is refused), and a call
// that stops making progress gives up. The sound comes out as interleaved stereo float
// at the file's own sample rate: mono goes to both sides, more channels are mixed down.
class MediaDecoder {
public:
    static constexpr std::chrono::seconds kNoProgressLimit{10};
    // Headers beyond these are refused as damaged.
    static constexpr int kMaxChannels = 64;
    static constexpr int kMaxSampleRate = 768000;

    // noProgressLimit: how long one call may go without reading new bytes or decoding
    // new sound before it gives up.
    explicit MediaDecoder(std::chrono::steady_clock::duration noProgressLimit = kNoProgressLimit);
    ~MediaDecoder();
    MediaDecoder(const MediaDecoder&) = delete;
    MediaDecoder& operator=(const MediaDecoder&) = delete;

    // descriptor: a regular file open for reading, read from its start and left open;
    // path names it in messages, and its extension helps to tell formats apart. Decodes
    // the first sound, which settles the sample rate.
    bool Open(int descriptor, const std::string& path, std::string& error);
    int sampleRate() const;
    // What the container claims, 0 when it does not say.
    int64_t claimedFrames() const;
    // Up to `frames` interleaved stereo frames; 0 at the end, -1 with a message when the
    // file is damaged part-way or a read is stuck.
    int64_t Read(float* interleaved, int64_t frames, std::string& error);

private:
    struct State;
    std::unique_ptr<State> state;
    std::chrono::steady_clock::duration noProgressLimit;
};
