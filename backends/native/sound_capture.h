#pragma once
#include <memory>
#include <string>
#include <vector>

// Live sound from the desktop's sound server: what the default output plays (its
// monitor), or any named source such as a microphone.
class SoundCapture {
public:
    virtual ~SoundCapture() = default;
    // Waits until that many stereo frames have arrived and stores them interleaved (left,
    // right) in -1..1; false, with the reason, once the stream is broken.
    virtual bool Read(float* interleaved, int frames, std::string& error) = 0;
    // Once Read has failed: connects to the server again, if the connection was lost, and
    // opens the same source; false, with the reason, while the server or the source is not
    // there (within seconds).
    virtual bool Reopen(std::string& error) = 0;
    // From another thread: a Read or Reopen waiting there, and every later one, returns
    // false at once, whatever the server does.
    virtual void Interrupt() = 0;
    virtual int sampleRate() const = 0;
};

// The monitor of the default output: what a user hears.
constexpr char kDefaultCaptureSource[] = "@DEFAULT_MONITOR@";

// Opens source at the given rate, delivering about framesPerRead frames at a time so that
// each read returns as soon as its block is there. Null, with a one-line reason, when no
// sound server answers (within seconds) or the source does not exist.
std::unique_ptr<SoundCapture> OpenSoundCapture(const std::string& source, int sampleRate, int framesPerRead,
                                               std::string& error);

struct SoundSource {
    std::string name, description;
    bool defaultMonitor = false;  // the monitor of the default output
};
// The server's sources; false, with a one-line reason, when no sound server answers.
bool ListSoundSources(std::vector<SoundSource>& sources, std::string& error);
