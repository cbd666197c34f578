#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Where rendered frames go. Each frame is width x height words 0x00RRGGBB.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    // False with a message when the frame could not be written.
    virtual bool Write(const uint32_t* pixels, std::string& error) = 0;
    // Completes the output; false with a message when that failed.
    virtual bool Finish(std::string& error) = 0;
};

// Frames back to back as little-endian words, exactly as the frame buffer holds them.
std::unique_ptr<FrameSink> OpenRawFrames(const std::string& path, int32_t width, int32_t height, std::string& error);
// frame-000000.png, frame-000001.png, ... in the directory, which is created if needed.
// They appear there at Finish, replacing an earlier run's frames; until then, and when
// the run fails, the directory stays as it was.
std::unique_ptr<FrameSink> OpenPngFrames(const std::string& directory, int32_t width, int32_t height,
                                         std::string& error);

// Passes the frames on to inner from a thread of its own through a queue of depth
// frames, so that the caller waits only while the queue is full. An error of inner shows
// at the next Write or at Finish.
std::unique_ptr<FrameSink> QueueFrames(std::unique_ptr<FrameSink> inner, int32_t width, int32_t height,
                                       int depth);

// How much time the encoder may spend on a frame: draft keeps up with real time even on
// a small machine, best takes its time for the smallest file at the best picture.
enum class VideoQuality { Draft, Good, Best };

struct VideoSettings {
    std::string path;  // .mp4, .webm or .gif
    int32_t width, height, fps;
    std::string soundPath;  // a WAV file to put beside the pictures, or empty
    int64_t frames = 0;     // to be written: a shorter sound goes on in silence to their end
    VideoQuality quality = VideoQuality::Good;
};
// Pipes the frames to ffmpeg, which must be on PATH.
std::unique_ptr<FrameSink> OpenVideo(const VideoSettings& settings, std::string& error);
// Creates the directories above a file about to be written.
bool CreateParentDirectories(const std::string& path, std::string& error);
