#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "apps/qelv/play/play_session.h"
#include "backends/native/sound_capture.h"

// Live sound as a play session's blocks. A thread of its own reads the capture one block's
// worth at a time and analyses each block the moment it is in, so a block is due as soon
// as its sound has arrived. Live sound cannot wait: blocks that arrive while paused are
// dropped. When the capture breaks (the sound server or the source has gone away), blocks
// of silence come due in real time instead, so the picture goes on, while the thread tries
// every second to capture again. So they do when sound that flowed stops coming for
// `stallAfter` (a server that hangs), until it comes again.
class CaptureSource final : public BlockSource {
public:
    struct Hooks {
        // It broke or stalled, with the reason (on the capture's thread, or on the session's
        // for a stall); it runs again (on the capture's thread).
        std::function<void(const std::string& reason)> lost;
        std::function<void()> back;
    };
    // Ends after count blocks.
    CaptureSource(std::unique_ptr<SoundCapture> capture, int32_t fps, int64_t count, Hooks hooks = {},
                  std::chrono::milliseconds stallAfter = std::chrono::seconds(3));
    ~CaptureSource() override;
    CaptureSource(const CaptureSource&) = delete;
    CaptureSource& operator=(const CaptureSource&) = delete;

    int64_t Due() override;
    const SampleBlock& Block(int64_t index) override;
    bool Ended(int64_t taken) override;
    void WaitForNext(int64_t taken) override;
    void SetPaused(bool paused) override;
    void WaitPaused() override;

private:
    using Clock = std::chrono::steady_clock;
    void Capture();
    // Silence until the capture opens again; false once stopping.
    bool Recapture(const std::string& reason);
    // With the lock held: the silent blocks due by now, and when the next one is.
    void SilenceFrom(Clock::time_point start);
    void AddDueSilence();
    // With the lock held: true when sound that flowed has just been found stalled, and
    // silence now comes due instead.
    bool NoticeStall();
    Clock::time_point NextSilence() const;

    const std::unique_ptr<SoundCapture> capture;
    const int32_t fps;
    const int64_t count;
    const Hooks hooks;
    const std::chrono::milliseconds stallAfter;
    std::mutex lock;  // guards all below but the thread
    std::condition_variable arrived, stop;
    std::deque<SampleBlock> waiting;  // blocks from `first` on, not yet taken
    int64_t first = 0, delivered = 0;
    bool paused = true, stopping = false;
    // While the capture is away: blocks of silence come due from `silenceStart` on, the
    // first of them being block `silenceBase`.
    bool silent = false;
    Clock::time_point silenceStart;
    int64_t silenceBase = 0;
    // When the last sound arrived; a stall is looked for only once sound has flowed.
    Clock::time_point lastSound;
    bool flowing = false;
    std::thread reader;
};
