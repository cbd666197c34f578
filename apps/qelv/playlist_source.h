#pragma once
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "apps/qelv/play_session.h"
#include "backends/native/playback_clock.h"
#include "player/audio.h"
#include "player/track_stream.h"

// A track ready to play, read as it plays: an audio track with its sound, or a sample
// stream. Null only for the silence after the list.
using PlaylistTrack = std::unique_ptr<TrackStream>;

// The blocks of a list of tracks played one after another, each against its own clock.
// The next track is loaded on a thread of its own while one plays, so one follows the
// other without a wait. A track that cannot be loaded is reported and passed over. At
// the end of the list it starts again (loop), ends, or goes on with silence for as long
// as the window stays open, as a player's window does.
class PlaylistSource final : public BlockSource {
public:
    enum class AtEnd { Loop, Stop, Silence };
    struct Hooks {
        // Loads entry i; false with a message. Called on the loading thread.
        std::function<bool(size_t index, PlaylistTrack& track, std::string& error)> load;
        // The clock a loaded track plays against; the track outlives it.
        std::function<std::unique_ptr<PlaybackClock>(const PlaylistTrack& track)> openClock;
        // Entry i starts playing, or was passed over with the message.
        std::function<void(size_t index)> started;
        std::function<void(size_t index, const std::string& error)> failed;
        // Entry i was damaged part-way and ended there.
        std::function<void(size_t index, const std::string& error)> cut;
    };
    // limit: the most blocks played in all.
    PlaylistSource(size_t entries, int32_t fps, AtEnd atEnd, int64_t limit, Hooks hooks);
    ~PlaylistSource() override;

    // Loads the first track that loads; false with the last message when none does.
    bool Start(std::string& error);

    int64_t Due() override;
    const SampleBlock& Block(int64_t index) override;
    bool Ended(int64_t taken) override;
    void WaitForNext(int64_t taken) override;
    void SetPaused(bool paused) override;
    void WaitPaused() override;

    int64_t tracksStarted() const { return started; }

private:
    struct Loaded {
        bool ok = false;
        PlaylistTrack track;
        std::string error;
    };
    Loaded Load(size_t index);
    void Preload();
    // After the current track: the next one that loads, or the list's end.
    void Advance();
    void Play(PlaylistTrack track, size_t index);
    int64_t EndOfBlocks(int64_t blocks) const;
    // How many blocks of the current track there are (endless until a stream has been
    // decoded to its end), and how many have been made.
    void CountBlocks();

    const size_t entries;
    const int32_t fps;
    const AtEnd atEnd;
    const int64_t limit;
    Hooks hooks;

    size_t index = 0;           // the entry playing
    size_t nextIndex = 0;       // the entry being preloaded
    std::future<Loaded> next;   // its loading
    PlaylistTrack current;
    std::unique_ptr<PlaybackClock> clock;
    int64_t base = 0;           // blocks of the tracks before the current one
    int64_t count = 0;          // blocks of the current one
    int64_t ready = 0;          // of which made so far
    bool silence = false, finished = false, paused = true;
    int64_t started = 0;
    bool anyLoaded = false;     // this pass over the list: a loop of failures stops
};
