#include "apps/qelv/play/play_session.h"

#include <algorithm>
#include <memory>

#include "apps/qelv/play/play_keys.h"
#include "apps/qelv/render/render_options.h"
#include "host/pixel_size.h"
#include "host/preset_transition.h"
#include "engine/engine.h"
#include "engine/lockstep_renderer.h"
#include "output/frame_surface.h"
#include "output/output_window.h"
#include "ui/control_panel.h"

namespace {
class PlaySession {
public:
    PlaySession(Engine& engine, PlayerWindow& window, BlockSource& source, const PlaySettings& settings)
        : window(window), source(source), settings(settings), pacer(settings.blockCount), inside(InsideFrameSize()),
          drawn(WantedLook()), renderer(engine, drawn.frame.width, drawn.frame.height),
          transition(settings.transitionBlocks) {}

    PlayResult Run() {
        RequestDisplayMode(0, 0, 0, 0);
        source.SetPaused(false);
        window.SetModalTurn([this] { ModalTurn(); });
        while (HandleEvents()) {
            FollowFullscreenRequest();
            if (paused) {
                if (repaint || window.Animating()) ShowFrame();
                source.WaitPaused();
                continue;
            }
            DrawDueFrame(true);
            if (repaint || window.Animating()) ShowFrame();
            if (source.Ended(pacer.fed())) {
                result.finished = true;
                break;
            }
            source.WaitForNext(pacer.fed());
        }
        window.SetModalTurn({});
        RequestDisplayMode(0, 0, 0, 0);
        FollowFullscreenRequest();
        source.SetPaused(true);
        result.blocksFed = pacer.fed();
        return result;
    }

private:
    // The picture to show, and the frame the chain draws for it.
    struct Look {
        FrameSize picture, frame;
        int32_t pixelSize;
    };

    FrameSize InsideFrameSize() const {
        int32_t width = 0, height = 0;
        window.InsideSize(width, height);
        return FrameSizeForWindow(width, height);
    }

    // The window's picture, or in full screen the display settings' one.
    Look WantedLook() const {
        Look look{settings.fixedSize ? settings.frameSize : inside, {}, std::max(settings.pixelSize, 1)};
        if (fullscreen) {
            const FullscreenLook wanted = settings.fullscreenLook ? settings.fullscreenLook() : FullscreenLook{};
            look.picture = wanted.mode.width > 0 && wanted.mode.height > 0
                               ? FrameSizeForWindow(wanted.mode.width, wanted.mode.height)
                               : inside;
            look.pixelSize = std::clamp(wanted.pixelSize, 1, kLargestPixelSize);
        }
        // Each side at least what the effects take; the picture is cut from its blocks.
        look.frame = {std::max(DrawnSide(look.picture.width, look.pixelSize), kMinimumSide),
                      std::max(DrawnSide(look.picture.height, look.pixelSize), kMinimumSide)};
        return look;
    }

    // A switch that fails withdraws its request, as the plug-in's does.
    void FollowFullscreenRequest() {
        const bool requested = IsFullscreen() != 0;
        if (requested == fullscreen) return;
        fullscreen = window.SetFullscreen(requested) && requested;
        if (requested && !fullscreen) RequestDisplayMode(0, 0, 0, 0);
        repaint = true;
    }

    // Feeds the blocks that came due and draws a frame from them, if any did.
    void DrawDueFrame(bool mayChangePreset) {
        const BlockPacer::Span span = pacer.Take(source.Due());
        if (span.empty()) return;
        for (int64_t block = span.first; block < span.end; ++block) renderer.FeedBlock(source.Block(block).bytes);
        // A new size takes effect with the next frame, so a paused picture stays.
        const Look wanted = WantedLook();
        if (wanted.frame != drawn.frame) renderer.Resize(wanted.frame.width, wanted.frame.height);
        drawn = wanted;
        const bool beat = renderer.DrawFrame() != 0;
        transition.Draw(renderer.samples(), beat, span.end - span.first, renderer.frame(), renderer.width(),
                        renderer.height());
        ++result.framesShown;
        result.beats += beat;
        if (settings.frameDrawn) settings.frameDrawn(renderer.width(), renderer.height());
        repaint = true;
        // The new chain draws from the next frame on: the beat's frame is the old one's.
        if (beat && mayChangePreset && ShuffleDue()) ChangePreset(PlayAction::RandomPreset);
    }

    // A turn while a chooser waits inside ShowFrame: playback goes on and every turn is
    // shown, for the chooser is drawn over the frame. No keys are acted on and no preset
    // changes, since the chooser's caller is in the middle of its own work on the panel.
    void ModalTurn() {
        if (!paused) DrawDueFrame(false);
        ShowFrame();
        if (paused || source.Ended(pacer.fed()))
            source.WaitPaused();
        else
            source.WaitForNext(pacer.fed());
    }

    bool ShuffleDue() const {
        return settings.shuffleBlocks > 0 && settings.randomPreset && pacer.fed() - lastChange >= settings.shuffleBlocks;
    }

    // Any change of preset, by key or by the shuffle, starts the shuffle's wait again, even
    // one that fails: a damaged file is not tried again at every beat. The preset is read
    // into a spare chain, so that one that fails leaves the picture alone, and the shown
    // engine stays the same object: the panel edits it throughout.
    void ChangePreset(PlayAction action) {
        const bool random = action == PlayAction::RandomPreset;
        if (random ? !settings.randomPreset : !settings.stepPreset) return;
        lastChange = pacer.fed();
        incoming->ClearChain();
        if (!(random ? settings.randomPreset(*incoming)
                     : settings.stepPreset(action == PlayAction::NextPreset ? 1 : -1, *incoming)))
            return;
        EffectChain& shown = renderer.engine().chain;
        // The panel lets go of the old effects before they move, and shows the new ones.
        ReplaceChainInPanel([&] {
            transition.Begin(shown, renderer.frame(), renderer.width(), renderer.height());
            shown.TakeEffects(*incoming);
            return true;
        });
    }

    void ShowFrame() {
        const FrameSize& picture = drawn.picture;
        window.Show(enlarger.Enlarge(transition.Picture(renderer.frame()), renderer.width(), drawn.pixelSize,
                                     picture.width, picture.height),
                    picture.width, picture.height);
        repaint = false;
    }

    // False once the user has asked to stop.
    bool HandleEvents() {
        PlayerEvent event;
        while (window.NextEvent(event)) {
            switch (event.kind) {
                case PlayerEvent::Kind::Close: return false;
                case PlayerEvent::Kind::Resized:
                    inside = FrameSizeForWindow(event.width, event.height);
                    repaint = true;
                    break;
                case PlayerEvent::Kind::Key:
                    if (!Act(ActionForKey(event.key, IsFullscreen() != 0))) return false;
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
                source.SetPaused(paused);
                break;
            // The display settings page's mode and doubling, as its Fullscreen button asks.
            case PlayAction::ToggleFullscreen:
                if (IsFullscreen())
                    RequestDisplayMode(0, 0, 0, 0);
                else
                    RequestDisplayMode(1, windowSettings.fsW, windowSettings.fsH, windowSettings.fsD);
                break;
            case PlayAction::LeaveFullscreen: RequestDisplayMode(0, 0, 0, 0); break;
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
    BlockSource& source;
    const PlaySettings& settings;
    BlockPacer pacer;
    bool fullscreen = false;  // what the window was last told
    FrameSize inside;         // the window's inside size, as a frame size
    Look drawn;               // of the frame in the renderer
    LockstepRenderer renderer;
    PixelEnlarger enlarger;
    PresetTransition transition;
    const std::unique_ptr<EffectChain> incoming = std::make_unique<EffectChain>();
    PlayResult result;
    int64_t lastChange = 0;  // blocks fed when the preset last changed
    bool paused = false, repaint = true;
};

// Block k is due once the clock has played up to its time; the end is the time after the
// last block's.
class TrackSource final : public BlockSource {
public:
    TrackSource(PlaybackClock& clock, const std::vector<SampleBlock>& blocks, int32_t fps, int64_t count)
        : clock(clock), blocks(blocks), fps(fps), count(std::min<int64_t>(count, int64_t(blocks.size()))),
          end(PositionOfBlock(this->count, clock.sampleRate(), fps)) {}

    int64_t Due() override { return BlocksDueAt(clock.Position(), clock.sampleRate(), fps, count); }
    const SampleBlock& Block(int64_t index) override { return blocks[size_t(index)]; }
    bool Ended(int64_t taken) override { return taken == count && clock.Position() >= end; }
    void WaitForNext(int64_t taken) override {
        const int64_t next = taken == count ? end : PositionOfBlock(taken, clock.sampleRate(), fps);
        clock.WaitFor(next - clock.Position());
    }
    void SetPaused(bool paused) override { clock.SetPaused(paused); }
    void WaitPaused() override { clock.WaitFor(clock.sampleRate()); }  // within milliseconds

private:
    PlaybackClock& clock;
    const std::vector<SampleBlock>& blocks;
    const int32_t fps;
    const int64_t count, end;
};
}  // namespace

PlayResult PlayInWindow(Engine& engine, PlayerWindow& window, BlockSource& source, const PlaySettings& settings) {
    return PlaySession(engine, window, source, settings).Run();
}

PlayResult PlayInWindow(Engine& engine, PlayerWindow& window, PlaybackClock& clock, const std::vector<SampleBlock>& blocks,
                        const PlaySettings& settings) {
    TrackSource track(clock, blocks, settings.fps, settings.blockCount);
    return PlayInWindow(engine, window, track, settings);
}
