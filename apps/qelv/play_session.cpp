#include "apps/qelv/play_session.h"

#include <algorithm>

#include "apps/qelv/play_keys.h"
#include "engine/lockstep_renderer.h"

namespace {
class PlaySession {
public:
    PlaySession(Engine& engine, PlayerWindow& window, PlaybackClock& clock, const std::vector<SampleBlock>& blocks,
                const PlaySettings& settings)
        : window(window), clock(clock), blocks(blocks), settings(settings),
          count(std::min<int64_t>(settings.blockCount, int64_t(blocks.size()))), pacer(count),
          wanted(settings.fixedSize ? settings.frameSize : InsideFrameSize()),
          renderer(engine, wanted.width, wanted.height) {}

    PlayResult Run() {
        const int rate = clock.sampleRate();
        const int64_t end = PositionOfBlock(count, rate, settings.fps);
        PlayResult result;
        clock.SetPaused(false);
        while (HandleEvents()) {
            if (paused) {
                if (repaint || window.Animating()) ShowFrame();
                clock.WaitFor(rate);  // returns within milliseconds, to look at events again
                continue;
            }
            const int64_t position = clock.Position();
            const BlockPacer::Span span = pacer.Take(BlocksDueAt(position, rate, settings.fps, count));
            if (!span.empty()) {
                for (int64_t block = span.first; block < span.end; ++block)
                    renderer.FeedBlock(blocks[size_t(block)].bytes);
                // A new size takes effect with the next frame, so a paused picture stays.
                if (FrameSize{renderer.width(), renderer.height()} != wanted) renderer.Resize(wanted.width, wanted.height);
                const bool beat = renderer.DrawFrame() != 0;
                ++result.framesShown;
                if (settings.frameDrawn) settings.frameDrawn(renderer.width(), renderer.height());
                repaint = true;
                // The new chain draws from the next frame on: the beat's frame is the old one's.
                if (beat && ShuffleDue()) ChangePreset(PlayAction::RandomPreset);
            }
            if (repaint || window.Animating()) ShowFrame();
            if (pacer.allFed() && position >= end) {
                result.finished = true;
                break;
            }
            const int64_t next = pacer.allFed() ? end : PositionOfBlock(pacer.fed(), rate, settings.fps);
            clock.WaitFor(next - position);
        }
        clock.SetPaused(true);
        result.blocksFed = pacer.fed();
        return result;
    }

private:
    FrameSize InsideFrameSize() const {
        int32_t width = 0, height = 0;
        window.InsideSize(width, height);
        return FrameSizeForWindow(width, height);
    }

    bool ShuffleDue() const {
        return settings.shuffleBlocks > 0 && settings.randomPreset && pacer.fed() - lastChange >= settings.shuffleBlocks;
    }

    // Any change of preset, by key or by the shuffle, starts the shuffle's wait again.
    void ChangePreset(PlayAction action) {
        if (action == PlayAction::RandomPreset) {
            if (!settings.randomPreset) return;
            settings.randomPreset();
        } else {
            if (!settings.stepPreset) return;
            settings.stepPreset(action == PlayAction::NextPreset ? 1 : -1);
        }
        lastChange = pacer.fed();
    }

    void ShowFrame() {
        window.Show(renderer.frame().data(), renderer.width(), renderer.height());
        repaint = false;
    }

    // False once the user has asked to stop.
    bool HandleEvents() {
        PlayerEvent event;
        while (window.NextEvent(event)) {
            switch (event.kind) {
                case PlayerEvent::Kind::Close: return false;
                case PlayerEvent::Kind::Resized:
                    if (!settings.fixedSize) wanted = FrameSizeForWindow(event.width, event.height);
                    repaint = true;
                    break;
                case PlayerEvent::Kind::Key:
                    if (!Act(ActionForKey(event.key, window.Fullscreen()))) return false;
                    break;
            }
        }
        return true;
    }

    bool Act(PlayAction action) {
        switch (action) {
            case PlayAction::Quit: return false;
            case PlayAction::TogglePause:
                paused = !paused;
                clock.SetPaused(paused);
                break;
            case PlayAction::ToggleFullscreen: window.SetFullscreen(!window.Fullscreen()); break;
            case PlayAction::LeaveFullscreen: window.SetFullscreen(false); break;
            case PlayAction::NextPreset:
            case PlayAction::PreviousPreset:
            case PlayAction::RandomPreset: ChangePreset(action); break;
            case PlayAction::TogglePanel:
                if (settings.togglePanel) settings.togglePanel();
                break;
            case PlayAction::None: break;
        }
        return true;
    }

    PlayerWindow& window;
    PlaybackClock& clock;
    const std::vector<SampleBlock>& blocks;
    const PlaySettings& settings;
    const int64_t count;
    BlockPacer pacer;
    FrameSize wanted;
    LockstepRenderer renderer;
    int64_t lastChange = 0;  // blocks fed when the preset last changed
    bool paused = false, repaint = true;
};
}  // namespace

PlayResult PlayInWindow(Engine& engine, PlayerWindow& window, PlaybackClock& clock, const std::vector<SampleBlock>& blocks,
                        const PlaySettings& settings) {
    return PlaySession(engine, window, clock, blocks, settings).Run();
}
