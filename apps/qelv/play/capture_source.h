#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "apps/qelv/play/play_session.h"
#include "backends/native/sound_capture.h"

// Live sound as a play session's blocks. A thread of its own reads the capture one block's
// worth at a time and analyses each block the moment it is in, so a block is due as soon
// as its sound has arrived. Live sound cannot wait: blocks that arrive while paused are
// dropped.
class CaptureSource final : public BlockSource {
public:
    // Ends after count blocks, or when the capture breaks.
    CaptureSource(std::unique_ptr<SoundCapture> capture, int32_t fps, int64_t count);
    ~CaptureSource() override;
    CaptureSource(const CaptureSource&) = delete;
    CaptureSource& operator=(const CaptureSource&) = delete;

    int64_t Due() override;
    const SampleBlock& Block(int64_t index) override;
    bool Ended(int64_t taken) override;
    void WaitForNext(int64_t taken) override;
    void SetPaused(bool paused) override;
    void WaitPaused() override;
    // Why the capture broke off; empty while it runs.
    std::string error();

private:
    void Capture();

    const std::unique_ptr<SoundCapture> capture;
    const int32_t fps;
    const int64_t count;
    std::mutex lock;  // guards all below but the thread
    std::condition_variable arrived;
    std::deque<SampleBlock> waiting;  // blocks from `first` on, not yet taken
    int64_t first = 0, delivered = 0;
    bool paused = true, stopping = false, broken = false;
    std::string failure;
    std::thread reader;
};
