#include "apps/qelv/play/capture_source.h"

#include <algorithm>
#include <vector>

#include "player/audio.h"

namespace {
// The longest wait before the session looks at the window's events again.
constexpr auto kLongestWait = std::chrono::milliseconds(10);
// How often a broken capture is tried again: soon after a server restarts, and not so
// often that trying costs anything.
constexpr auto kRetryEvery = std::chrono::seconds(1);
// The reason a stall gives.
constexpr char kStalled[] = "the sound server stopped answering";
}  // namespace

CaptureSource::CaptureSource(std::unique_ptr<SoundCapture> capture, int32_t fps, int64_t count, Hooks hooks,
                             std::chrono::milliseconds stallAfter)
    : capture(std::move(capture)),
      fps(fps),
      count(count),
      hooks(std::move(hooks)),
      stallAfter(stallAfter),
      reader([this] { Capture(); }) {}

CaptureSource::~CaptureSource() {
    {
        const std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    stop.notify_all();
    // A read or reopening in progress would wait for the server, which may never answer.
    capture->Interrupt();
    reader.join();
}

void CaptureSource::Capture() {
    const int rate = capture->sampleRate();
    StreamAnalyser analyser;
    std::vector<float> samples;
    int64_t read = 0;
    for (int64_t block = 0;;) {
        // Block k shows the stream up to its time, k / fps seconds, as a track's block does.
        const int64_t wanted = NewestSampleOfBlock(block, rate, fps) + 1 - read;
        samples.resize(size_t(2 * std::max<int64_t>(wanted, 0)));
        std::string problem;
        if (wanted > 0 && !capture->Read(samples.data(), int(wanted), problem)) {
            if (!Recapture(problem)) return;
            continue;  // the same block, from the new stream
        }
        // Silence lasts until sound arrives again, not just until the stream opens; that is
        // said before the first block of sound is handed out, or just after when the session
        // found a stall in between.
        bool back;
        {
            const std::lock_guard<std::mutex> guard(lock);
            if (stopping) return;
            back = silent;
        }
        if (back && hooks.back) hooks.back();
        bool backLate = false;
        {
            const std::lock_guard<std::mutex> guard(lock);
            if (stopping) return;
            ++block;
            read += std::max<int64_t>(wanted, 0);
            analyser.Append(samples.data(), samples.size() / 2);
            lastSound = Clock::now();
            flowing = true;
            if (silent) {
                AddDueSilence();
                silent = false;
                backLate = !back;
            }
            if (!paused) {
                analyser.Analyse(waiting.emplace_back());
                ++delivered;
                arrived.notify_all();
            }
        }
        if (backLate && hooks.back) hooks.back();
    }
}

bool CaptureSource::Recapture(const std::string& reason) {
    bool wasSilent = false;
    {
        const std::lock_guard<std::mutex> guard(lock);
        if (stopping) return false;
        // A stream that opened and broke again before any sound came is the same loss.
        wasSilent = silent;
        if (!silent) SilenceFrom(Clock::now());
        silent = true;
    }
    if (!wasSilent && hooks.lost) hooks.lost(reason);
    for (;;) {
        {
            std::unique_lock<std::mutex> guard(lock);
            if (stop.wait_for(guard, kRetryEvery, [this] { return stopping; })) return false;
        }
        std::string error;
        if (capture->Reopen(error)) return true;
    }
}

void CaptureSource::SilenceFrom(Clock::time_point start) {
    silenceStart = start;
    silenceBase = delivered;
}

void CaptureSource::AddDueSilence() {
    if (!silent || paused) return;
    const double seconds = std::chrono::duration<double>(Clock::now() - silenceStart).count();
    const int64_t due = silenceBase + int64_t(seconds * fps);
    for (; delivered < due; ++delivered) waiting.push_back(SilentBlock());
}

CaptureSource::Clock::time_point CaptureSource::NextSilence() const {
    const std::chrono::duration<double> after(double(delivered + 1 - silenceBase) / fps);
    return silenceStart + std::chrono::duration_cast<Clock::duration>(after);
}

bool CaptureSource::NoticeStall() {
    const Clock::time_point now = Clock::now();
    if (silent || paused || !flowing || now - lastSound < stallAfter) return false;
    SilenceFrom(now);
    silent = true;
    return true;
}

int64_t CaptureSource::Due() {
    bool stalled;
    int64_t due;
    {
        const std::lock_guard<std::mutex> guard(lock);
        stalled = NoticeStall();
        AddDueSilence();
        due = std::min(delivered, count);
    }
    if (stalled && hooks.lost) hooks.lost(kStalled);
    return due;
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

bool CaptureSource::Ended(int64_t taken) { return taken >= count; }

void CaptureSource::WaitForNext(int64_t taken) {
    std::unique_lock<std::mutex> guard(lock);
    Clock::time_point until = Clock::now() + kLongestWait;
    if (silent && !paused) until = std::min(until, NextSilence());
    if (!silent && !paused && flowing)
        until = std::min(until, lastSound + std::chrono::duration_cast<Clock::duration>(stallAfter));
    arrived.wait_until(guard, until, [&] { return delivered > taken; });
}

void CaptureSource::SetPaused(bool pause) {
    const std::lock_guard<std::mutex> guard(lock);
    // Silence paused and resumed starts again from now, as live sound does.
    if (paused && !pause && silent) SilenceFrom(Clock::now());
    // Time paused is no stall.
    if (paused && !pause) lastSound = Clock::now();
    paused = pause;
}

void CaptureSource::WaitPaused() { std::this_thread::sleep_for(kLongestWait); }
