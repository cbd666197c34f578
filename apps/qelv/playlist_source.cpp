#include "apps/qelv/playlist_source.h"

#include <algorithm>
#include <limits>

namespace {
// The silence after the list: as many blocks as any session can play.
constexpr int64_t kEndless = std::numeric_limits<int64_t>::max() / 4;
constexpr int kSilenceRate = 44100;

// What the analysis makes of silence, the one block the picture goes on with.
const SampleBlock& SilentBlock() {
    static const SampleBlock block = [] {
        StereoAudio quiet;
        quiet.sampleRate = kSilenceRate;
        quiet.left.assign(1, 0.0f);
        quiet.right = quiet.left;
        return AnalyzeAudio(quiet, 50).front();
    }();
    return block;
}
}  // namespace

PlaylistSource::PlaylistSource(size_t entries, int32_t fps, AtEnd atEnd, int64_t limit, Hooks hooks)
    : entries(entries), fps(fps), atEnd(atEnd), limit(limit), hooks(std::move(hooks)) {}

PlaylistSource::~PlaylistSource() {
    if (next.valid()) next.wait();
}

PlaylistSource::Loaded PlaylistSource::Load(size_t entry) {
    Loaded loaded;
    loaded.ok = hooks.load(entry, loaded.track, loaded.error);
    return loaded;
}

bool PlaylistSource::Start(std::string& error) {
    for (size_t entry = 0; entry < entries; ++entry) {
        Loaded loaded = Load(entry);
        if (loaded.ok) {
            Play(std::move(loaded.track), entry);
            return true;
        }
        error = loaded.error;
        if (entries > 1 && hooks.failed) hooks.failed(entry, loaded.error);
    }
    return false;
}

void PlaylistSource::Play(PlaylistTrack track, size_t entry) {
    clock.reset();  // before the track it plays
    current = std::move(track);
    index = entry;
    CountBlocks();
    clock = hooks.openClock(current);
    clock->SetPaused(paused);
    anyLoaded = true;
    ++started;
    if (hooks.started) hooks.started(entry);
    Preload();
}

void PlaylistSource::Preload() {
    nextIndex = index + 1;
    if (nextIndex == entries) {
        if (atEnd != AtEnd::Loop) return;
        nextIndex = 0;
    }
    next = std::async(std::launch::async, [this, entry = nextIndex] { return Load(entry); });
}

void PlaylistSource::Advance() {
    base += count;
    if (hooks.cut) {
        const std::string damage = current->damage();
        if (!damage.empty()) hooks.cut(index, damage);
    }
    while (next.valid()) {
        // The loading thread is joined only once its track is due: usually long done.
        Loaded loaded = next.get();
        const size_t entry = nextIndex;
        if (entry == 0) {
            if (!anyLoaded) break;  // a whole pass failed: looping would only fail again
            anyLoaded = false;
        }
        if (loaded.ok) {
            Play(std::move(loaded.track), entry);
            return;
        }
        if (hooks.failed) hooks.failed(entry, loaded.error);
        index = entry;
        Preload();
    }
    if (atEnd != AtEnd::Silence) {
        finished = true;
        return;
    }
    clock.reset();
    current.reset();
    silence = true;
    count = ready = kEndless;
    clock = hooks.openClock(current);
    clock->SetPaused(paused);
}

int64_t PlaylistSource::EndOfBlocks(int64_t blocks) const { return PositionOfBlock(blocks, clock->sampleRate(), fps); }

void PlaylistSource::CountBlocks() {
    // Whether it is done first: then the blocks counted after it are all there are.
    const bool done = current->finished();
    ready = current->blocksMade();
    count = done ? ready : kEndless;
}

int64_t PlaylistSource::Due() {
    if (finished) return base;
    if (!silence) CountBlocks();
    const int64_t due = base + BlocksDueAt(clock->Position(), clock->sampleRate(), fps, count);
    return std::min({due, base + ready, limit});
}

const SampleBlock& PlaylistSource::Block(int64_t index) {
    if (silence) return SilentBlock();
    return current->Block(index - base);
}

bool PlaylistSource::Ended(int64_t taken) {
    if (finished) return true;
    if (!silence) CountBlocks();
    // The last block's time is played out before the end, as at a track's end.
    if (taken >= limit && clock->Position() >= EndOfBlocks(limit - base)) return true;
    if (silence || taken < base + count || clock->Position() < EndOfBlocks(count)) return false;
    Advance();
    return finished;
}

void PlaylistSource::WaitForNext(int64_t taken) {
    if (finished) return;
    // A stream that has fallen behind its clock is waited for a little at a time.
    if (taken >= base + ready && ready < count) {
        clock->WaitFor(clock->sampleRate() / 500);
        return;
    }
    const int64_t inTrack = std::min(taken - base, count);
    clock->WaitFor(EndOfBlocks(inTrack) - clock->Position());
}

void PlaylistSource::SetPaused(bool pause) {
    paused = pause;
    if (clock) clock->SetPaused(pause);
}

void PlaylistSource::WaitPaused() {
    if (clock) clock->WaitFor(clock->sampleRate());  // within milliseconds
}
