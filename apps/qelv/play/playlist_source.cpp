#include "apps/qelv/play/playlist_source.h"

#include <algorithm>
#include <limits>

namespace {
// Silence: as many blocks as any session can play.
constexpr int64_t kEndless = std::numeric_limits<int64_t>::max() / 4;
}  // namespace

PlaylistSource::PlaylistSource(size_t entries, int32_t fps, AtEnd atEnd, int64_t limit, Hooks hooks)
    : entries(entries), fps(fps), atEnd(atEnd), limit(limit), hooks(std::move(hooks)), failing(entries, false),
      finder(this->hooks.load) {}

PlaylistSource::~PlaylistSource() = default;

void PlaylistSource::Start() {
    PlaySilence(Phase::Finding);
    Find(0, entries);
}

void PlaylistSource::Find(size_t from, size_t most) {
    std::vector<size_t> candidates;
    for (size_t n = 0; n < most; ++n) {
        const size_t entry = (from + n) % entries;
        if (!failing[entry]) candidates.push_back(entry);
    }
    finder.Search(std::move(candidates));
}

void PlaylistSource::ReportFailures() {
    for (const TrackFinder::Failure& failure : finder.TakeFailures()) {
        failing[failure.entry] = true;
        lastFailure = failure.error;
        if (entries > 1 && hooks.failed) hooks.failed(failure.entry, failure.error);
    }
}

void PlaylistSource::TakeFound() {
    ReportFailures();
    size_t entry = 0;
    PlaylistTrack track = finder.TakeFound(entry);
    if (track) {
        Play(std::move(track), entry);
        return;
    }
    // A loop's search goes round the whole list: nothing found there means every entry
    // has failed by now.
    if (started == 0 || atEnd == AtEnd::Loop) {
        trouble = entries == 1    ? lastFailure
                  : started == 0 ? "none of the files could be played"
                                 : "none of the files can be played any more";
        phase = Phase::Finished;
    } else if (atEnd == AtEnd::Stop) {
        phase = Phase::Finished;
    } else {
        PlaySilence(Phase::Silence);
    }
}

void PlaylistSource::Play(PlaylistTrack track, size_t entry) {
    clock.reset();  // before the track it plays
    current = std::move(track);
    index = entry;
    phase = Phase::Playing;
    CountBlocks();
    clock = hooks.openClock(current);
    clock->SetPaused(paused);
    ++started;
    if (hooks.started) hooks.started(entry);
    // The next, round the list to this one again when looping.
    Find(entry + 1, atEnd == AtEnd::Loop ? entries : entries - entry - 1);
}

void PlaylistSource::PlaySilence(Phase silence) {
    clock.reset();
    current.reset();
    phase = silence;
    count = ready = kEndless;
    clock = hooks.openClock(current);
    clock->SetPaused(paused);
}

int64_t PlaylistSource::Played() {
    const int64_t position = clock->Position();
    return phase == Phase::Finding ? position - EndOfBlocks(1) : position;
}

int64_t PlaylistSource::EndOfBlocks(int64_t blocks) const { return PositionOfBlock(blocks, clock->sampleRate(), fps); }

void PlaylistSource::CountBlocks() {
    // Whether it is done first: then the blocks counted after it are all there are.
    const bool done = current->finished();
    ready = current->blocksMade();
    count = done ? ready : kEndless;
}

int64_t PlaylistSource::Due() {
    if (phase == Phase::Finished) return base;
    if (phase == Phase::Playing) CountBlocks();
    const int64_t due = base + BlocksDueAt(Played(), clock->sampleRate(), fps, count);
    return std::min({due, base + ready, limit});
}

const SampleBlock& PlaylistSource::Block(int64_t index) {
    if (phase != Phase::Playing) return SilentBlock();
    return current->Block(index - base);
}

bool PlaylistSource::Ended(int64_t taken) {
    if (phase == Phase::Finished) return true;
    if (phase == Phase::Playing) CountBlocks();
    // The last block's time is played out before the end, as at a track's end.
    if (taken >= limit && Played() >= EndOfBlocks(limit - base)) return true;
    switch (phase) {
        case Phase::Finding:
            if (!finder.Ended()) {
                ReportFailures();  // as they are found
                return false;
            }
            base = taken;
            break;
        case Phase::Playing:
            if (taken < base + count || Played() < EndOfBlocks(count)) return false;
            base += count;
            if (hooks.cut) {
                const std::string damage = current->damage();
                if (!damage.empty()) hooks.cut(index, damage);
            }
            // Usually found long before; if not, silence until it is.
            if (!finder.Ended()) {
                PlaySilence(Phase::Finding);
                return false;
            }
            break;
        default: return false;
    }
    TakeFound();
    return phase == Phase::Finished;
}

void PlaylistSource::WaitForNext(int64_t taken) {
    if (phase == Phase::Finished) return;
    // A stream that has fallen behind its clock is waited for a little at a time.
    if (taken >= base + ready && ready < count) {
        clock->WaitFor(std::max(1, clock->sampleRate() / 500));
        return;
    }
    const int64_t inTrack = std::min(taken - base, count);
    clock->WaitFor(EndOfBlocks(inTrack) - Played());
}

void PlaylistSource::SetPaused(bool pause) {
    paused = pause;
    if (clock) clock->SetPaused(pause);
}

void PlaylistSource::WaitPaused() {
    if (clock) clock->WaitFor(clock->sampleRate());  // within milliseconds
}
