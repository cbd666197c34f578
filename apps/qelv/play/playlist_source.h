#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "apps/qelv/play/play_session.h"
#include "apps/qelv/play/track_finder.h"
#include "backends/native/playback_clock.h"
#include "player/audio.h"

// The blocks of a list of tracks played one after another, each against its own clock.
// The next track that loads is looked for on a thread of its own while one plays, so one
// follows the other without a wait; until it is found (at the start, or after a row of
// files that do not play) silence plays, so the picture goes on. A track that cannot be
// loaded is reported when it is passed over and is not tried again. At the end of the
// list it starts again (loop), ends, or goes on with silence for as long as the window
// stays open, as a player's window does. A list none of whose entries plays ends.
class PlaylistSource final : public BlockSource {
public:
    enum class AtEnd { Loop, Stop, Silence };
    struct Hooks {
        // Loads entry i; false with a message. Called on the finder's thread.
        TrackFinder::Load load;
        // The clock a loaded track plays against, or silence against when it is null; the
        // track outlives it.
        std::function<std::unique_ptr<PlaybackClock>(const PlaylistTrack& track)> openClock;
        // Entry i starts playing, or was passed over with the message (in a list of more
        // than one: the message of a list of one is problem()).
        std::function<void(size_t index)> started;
        std::function<void(size_t index, const std::string& error)> failed;
        // Entry i was damaged part-way and ended there.
        std::function<void(size_t index, const std::string& error)> cut;
    };
    // limit: the most blocks played in all.
    PlaylistSource(size_t entries, int32_t fps, AtEnd atEnd, int64_t limit, Hooks hooks);
    ~PlaylistSource() override;

    // Starts looking for the first entry that loads; silence plays meanwhile.
    void Start();

    int64_t Due() override;
    const SampleBlock& Block(int64_t index) override;
    bool Ended(int64_t taken) override;
    void WaitForNext(int64_t taken) override;
    void SetPaused(bool paused) override;
    void WaitPaused() override;

    int64_t tracksStarted() const { return started; }
    // Why the list ended before its end: none of its entries could be played (a list of
    // one gives its entry's message); empty otherwise.
    const std::string& problem() const { return trouble; }

private:
    enum class Phase { Finding, Playing, Silence, Finished };
    // Looks for the next track from `from` on, `count` entries at most, round the list.
    void Find(size_t from, size_t count);
    void ReportFailures();
    // The search has ended: plays what it found, or ends the list.
    void TakeFound();
    void Play(PlaylistTrack track, size_t index);
    // Silence, while a track is looked for or for good.
    void PlaySilence(Phase phase);
    // The clock's position, less a block's time while finding: a track found within it
    // follows the one before without a block of silence between.
    int64_t Played();
    int64_t EndOfBlocks(int64_t blocks) const;
    // How many blocks of the current track there are (endless until a stream has been
    // decoded to its end), and how many have been made.
    void CountBlocks();

    const size_t entries;
    const int32_t fps;
    const AtEnd atEnd;
    const int64_t limit;
    Hooks hooks;

    std::vector<bool> failing;  // entries found not to load, not tried again
    std::string lastFailure;
    PlaylistTrack current;
    std::unique_ptr<PlaybackClock> clock;
    Phase phase = Phase::Finding;
    size_t index = 0;   // the entry playing
    int64_t base = 0;   // blocks before the current track or silence
    int64_t count = 0;  // blocks of the current one
    int64_t ready = 0;  // of which made so far
    bool paused = true;
    int64_t started = 0;
    std::string trouble;
    TrackFinder finder;  // last: its thread loads through the hooks, and stops first
};
