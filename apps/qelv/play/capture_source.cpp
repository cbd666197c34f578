#include "apps/qelv/play/capture_source.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "player/audio.h"

namespace {
// The longest wait before the session looks at the window's events again.
constexpr auto kLongestWait = std::chrono::milliseconds(10);
}  // namespace

CaptureSource::CaptureSource(std::unique_ptr<SoundCapture> capture, int32_t fps, int64_t count)
    : capture(std::move(capture)), fps(fps), count(count), reader([this] { Capture(); }) {}

CaptureSource::~CaptureSource() {
    {
        const std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    // A read in progress would wait for the server, which may never answer again.
    capture->Interrupt();
    reader.join();
}

void CaptureSource::Capture() {
    const int rate = capture->sampleRate();
    StreamAnalyser analyser;
    std::vector<float> samples;
    int64_t read = 0;
    for (int64_t block = 0;; ++block) {
        // Block k shows the stream up to its time, k / fps seconds, as a track's block does.
        const int64_t wanted = NewestSampleOfBlock(block, rate, fps) + 1 - read;
        samples.resize(size_t(2 * std::max<int64_t>(wanted, 0)));
        std::string problem;
        const bool ok = wanted <= 0 || capture->Read(samples.data(), int(wanted), problem);
        const std::lock_guard<std::mutex> guard(lock);
        if (stopping) return;
        if (!ok) {
            broken = true;
            failure = problem;
            arrived.notify_all();
            return;
        }
        read += std::max<int64_t>(wanted, 0);
        analyser.Append(samples.data(), samples.size() / 2);
        if (paused) continue;
        analyser.Analyse(waiting.emplace_back());
        ++delivered;
        arrived.notify_all();
    }
}

int64_t CaptureSource::Due() {
    const std::lock_guard<std::mutex> guard(lock);
    return std::min(delivered, count);
}

const SampleBlock& CaptureSource::Block(int64_t index) {
    const std::lock_guard<std::mutex> guard(lock);
    // Blocks before this one have been fed; a deque keeps the others where they are while
    // the thread appends.
    while (first < index) {
        waiting.pop_front();
        ++first;
    }
    return waiting.front();
}

bool CaptureSource::Ended(int64_t taken) {
    const std::lock_guard<std::mutex> guard(lock);
    return taken >= count || (broken && taken >= delivered);
}

void CaptureSource::WaitForNext(int64_t taken) {
    std::unique_lock<std::mutex> guard(lock);
    arrived.wait_for(guard, kLongestWait, [&] { return delivered > taken || broken; });
}

void CaptureSource::SetPaused(bool pause) {
    const std::lock_guard<std::mutex> guard(lock);
    paused = pause;
}

void CaptureSource::WaitPaused() { std::this_thread::sleep_for(kLongestWait); }

std::string CaptureSource::error() {
    const std::lock_guard<std::mutex> guard(lock);
    return failure;
}
